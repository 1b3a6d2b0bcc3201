// Which files the main window works on: recording paths, file sizes, the folder's list of
// recordings with next and previous, the dialog filters, drop acceptance and the first file.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "mainwnd/TransportLogic.h"

namespace mainwnd {

// Size in bytes of the file at `path` (the whole size, beyond 4 GB too); 0 when there is no such
// file or it is not a regular file.
std::uint64_t GetFileSize32(const std::string& path);

// "wav", "mp3", "wma".
std::string FormatExtension(RecordFormat format);
// save folder (ends in '/') + name + "." + extension.
std::string MakeRecordingPath(const std::string& saveFolder, const std::string& name, RecordFormat format);

// The folder of a path with its trailing '/', empty for a bare name; the name with extension; the
// extension without its dot as it stands (empty when none).
std::string FolderOf(const std::string& path);
std::string FileNameOf(const std::string& path);
std::string ExtensionOf(const std::string& path);
bool EndsWithNoCase(const std::string& text, const std::string& suffix);

// A manually named recording waits here, hidden, while the save dialog is open.
constexpr const char* kTempRecordingName = ".q_m.tmp";
std::string TempRecordingPath(const std::string& saveFolder);

// Moves a file, replacing the target, copying across file systems. False (source left in place)
// on failure.
bool MoveFileReplacing(const std::string& from, const std::string& to);

// The recordings of the current file's folder: its .wav files and its .wma files (extensions in
// any letter case), sorted by full path without regard to case. Folders are not listed.
class FileList {
public:
    // Makes the path's folder current and rebuilds the list; the index is the path's entry
    // (case-sensitive match), the last entry when it is not listed, −1 when the list is empty.
    void SetCurrentFile(const std::string& path);
    // Rescans the folder around the current entry (or the path last made current).
    void Rescan();
    // With at least two entries: moves the index one step, wrapping, and returns the new entry;
    // nullopt (index unchanged) when there is no other file.
    std::optional<std::string> Step(bool forward);

    const std::vector<std::string>& Entries() const { return entries_; }
    int Count() const { return static_cast<int>(entries_.size()); }
    int Index() const { return index_; }
    const std::string& Folder() const { return folder_; }
    // The entry at the index, else the path last made current.
    std::string Current() const;
    void Clear();

private:
    void Build(const std::string& extension);

    std::vector<std::string> entries_;
    int index_ = -1;
    std::string folder_;
    std::string currentPath_;
};
// The one program-wide list.
FileList& TheFileList();

// Filters of the open and save dialogs (wx wildcards).
std::string OpenDialogFilter();
std::string SaveDialogFilter(const std::string& extension);

// A drag is accepted when its first file ends in .wav or .wma (any letter case).
bool IsAcceptedDropFile(const std::vector<std::string>& files);

// The command-line arguments after the program, joined with single blanks.
std::string JoinArguments(const std::vector<std::string>& arguments);

// The file the window opens at start-up: the joined command line (played), else the stored last
// file when it is a non-empty file (shown, not played), else none.
struct FirstFile {
    enum Kind { None, CommandLine, LastFile } kind = None;
    std::string path;
};
FirstFile ChooseFirstFile(const std::vector<std::string>& arguments, const std::optional<std::string>& lastFile);

}  // namespace mainwnd
