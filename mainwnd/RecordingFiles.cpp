#include "mainwnd/RecordingFiles.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace mainwnd {

std::uint64_t GetFileSize32(const std::string& path) {
    if (path.empty()) return 0;
    std::error_code ec;
    fs::file_status st = fs::status(path, ec);
    if (ec || !fs::is_regular_file(st)) return 0;
    std::uintmax_t size = fs::file_size(path, ec);
    return ec ? 0 : static_cast<std::uint64_t>(size);
}

std::string FormatExtension(RecordFormat format) {
    switch (format) {
        case RecordFormat::Wav: return "wav";
        case RecordFormat::Mp3: return "mp3";
        case RecordFormat::Wma: return "wma";
    }
    return "wav";
}

std::string MakeRecordingPath(const std::string& saveFolder, const std::string& name, RecordFormat format) {
    return saveFolder + name + "." + FormatExtension(format);
}

std::string FolderOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string FileNameOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExtensionOf(const std::string& path) {
    std::string name = FileNameOf(path);
    auto dot = name.find_last_of('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

namespace {
char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool LessNoCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return Lower(x) < Lower(y); });
}
}  // namespace

bool EndsWithNoCase(const std::string& text, const std::string& suffix) {
    if (suffix.size() > text.size()) return false;
    return std::equal(suffix.begin(), suffix.end(), text.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                      [](char x, char y) { return Lower(x) == Lower(y); });
}

std::string TempRecordingPath(const std::string& saveFolder) { return saveFolder + kTempRecordingName; }

bool MoveFileReplacing(const std::string& from, const std::string& to) {
    std::error_code ec;
    fs::rename(from, to, ec);
    if (!ec) return true;
    if (ec != std::errc::cross_device_link) return false;
    // Another file system: copy beside the target, then swap it in, so the target is never torn.
    std::string partial = FolderOf(to) + ".q_m.part";
    if (!fs::copy_file(from, partial, fs::copy_options::overwrite_existing, ec)) {
        fs::remove(partial, ec);
        return false;
    }
    fs::rename(partial, to, ec);
    if (ec) {
        fs::remove(partial, ec);
        return false;
    }
    fs::remove(from, ec);
    return true;
}

void FileList::SetCurrentFile(const std::string& path) {
    std::string full = path;
    if (!full.empty() && full[0] != '/') {
        std::error_code ec;
        fs::path abs = fs::absolute(full, ec);
        if (!ec) full = abs.lexically_normal().string();
    }
    currentPath_ = full;
    std::string folder = FolderOf(full);
    if (folder.empty()) return;
    folder_ = folder;
    entries_.clear();
    index_ = -1;
    Build("wav");
    Build("wma");
    if (entries_.empty()) return;
    std::stable_sort(entries_.begin(), entries_.end(), LessNoCase);
    auto it = std::find(entries_.begin(), entries_.end(), full);
    index_ = it == entries_.end() ? Count() - 1 : static_cast<int>(it - entries_.begin());
}

void FileList::Build(const std::string& extension) {
    std::error_code ec;
    std::vector<std::string> found;
    for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (!EndsWithNoCase(name, "." + extension)) continue;
        std::error_code sec;
        if (!fs::is_regular_file(it->status(sec))) continue;
        found.push_back(folder_ + name);
    }
    entries_.insert(entries_.end(), found.begin(), found.end());
}

std::string FileList::Current() const {
    if (index_ >= 0 && index_ < Count()) return entries_[static_cast<std::size_t>(index_)];
    return currentPath_;
}

void FileList::Rescan() {
    std::string current = Current();
    if (!current.empty()) SetCurrentFile(current);
}

std::optional<std::string> FileList::Step(bool forward) {
    if (Count() < 2 || index_ < 0) return std::nullopt;
    index_ = forward ? (index_ + 1) % Count() : (index_ + Count() - 1) % Count();
    return entries_[static_cast<std::size_t>(index_)];
}

void FileList::Clear() {
    entries_.clear();
    index_ = -1;
    folder_.clear();
    currentPath_.clear();
}

FileList& TheFileList() {
    static FileList list;
    return list;
}

std::string OpenDialogFilter() {
    return "All Audio Files (*.wma ; *.wav)|*.wma;*.wav;*.WMA;*.WAV|WMA (*.wma)|*.wma;*.WMA|WAV (*.wav)|*.wav;*.WAV";
}

std::string SaveDialogFilter(const std::string& extension) {
    return "(*." + extension + ")|*." + extension;
}

bool IsAcceptedDropFile(const std::vector<std::string>& files) {
    if (files.empty()) return false;
    std::string name = FileNameOf(files.front());
    return EndsWithNoCase(name, ".wav") || EndsWithNoCase(name, ".wma");
}

std::string JoinArguments(const std::vector<std::string>& arguments) {
    std::string joined;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i) joined += ' ';
        joined += arguments[i];
    }
    return joined;
}

FirstFile ChooseFirstFile(const std::vector<std::string>& arguments, const std::optional<std::string>& lastFile) {
    if (!arguments.empty()) return {FirstFile::CommandLine, JoinArguments(arguments)};
    if (lastFile && !lastFile->empty() && GetFileSize32(*lastFile) != 0) return {FirstFile::LastFile, *lastFile};
    return {};
}

}  // namespace mainwnd
