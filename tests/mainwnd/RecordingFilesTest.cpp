#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "mainwnd/ManualNaming.h"
#include "mainwnd/RecordingFiles.h"
#include "platform/Ui.h"
#include "tests/harness/Harness.h"

using namespace mainwnd;
namespace fs = std::filesystem;

namespace {
void Write(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}
std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
std::string Folder(const harness::TempDir& d) { return d.path().string() + "/"; }
}  // namespace

TEST(FileSize, WholeSizeAndMissing) {
    harness::TempDir dir;
    EXPECT_EQ(GetFileSize32((dir / "none.wav").string()), 0u);
    EXPECT_EQ(GetFileSize32(dir.path().string()), 0u);
    EXPECT_EQ(GetFileSize32(""), 0u);
    Write(dir / "a.wav", "12345");
    EXPECT_EQ(GetFileSize32((dir / "a.wav").string()), 5u);
    // A sparse file just above 4 GB keeps its high part.
    {
        std::ofstream big(dir / "big.wav", std::ios::binary);
        big.seekp(4294967296LL + 9);
        big.put('x');
    }
    EXPECT_EQ(GetFileSize32((dir / "big.wav").string()), 4294967306ull);
}

TEST(Paths, RecordingPathAndParts) {
    EXPECT_EQ(MakeRecordingPath("/r/", "2007-05-01-10h-22m-05s", RecordFormat::Wav), "/r/2007-05-01-10h-22m-05s.wav");
    EXPECT_EQ(MakeRecordingPath("/r/", "n", RecordFormat::Mp3), "/r/n.mp3");
    EXPECT_EQ(MakeRecordingPath("/r/", "n", RecordFormat::Wma), "/r/n.wma");
    EXPECT_EQ(TempRecordingPath("/r/"), "/r/.q_m.tmp");
    EXPECT_EQ(FolderOf("/a/b/c.wav"), "/a/b/");
    EXPECT_EQ(FolderOf("c.wav"), "");
    EXPECT_EQ(FileNameOf("/a/b/c.wav"), "c.wav");
    EXPECT_EQ(ExtensionOf("/a.b/memo.WAV"), "WAV");
    EXPECT_EQ(ExtensionOf("/a.b/memo"), "");
}

TEST(FileListTest, SortedWalkWithWrap) {
    harness::TempDir dir;
    for (const char* n : {"b.wav", "a.WMA", "c.wav", "notes.txt", "d.mp3"}) Write(dir / n, "x");
    fs::create_directory(dir / "folder.wav");  // a folder is not a recording
    const std::string f = Folder(dir);
    FileList list;
    list.SetCurrentFile(f + "c.wav");
    ASSERT_EQ(list.Entries(), (std::vector<std::string>{f + "a.WMA", f + "b.wav", f + "c.wav"}));
    EXPECT_EQ(list.Index(), 2);
    EXPECT_EQ(list.Step(true).value(), f + "a.WMA");   // next from the last wraps to the first
    EXPECT_EQ(list.Step(false).value(), f + "c.wav");  // previous from the first wraps to the last
    EXPECT_EQ(list.Step(false).value(), f + "b.wav");
    EXPECT_EQ(list.Step(false).value(), f + "a.WMA");

    // Files added between steps are seen at the next rescan.
    Write(dir / "aa.wav", "x");
    list.Rescan();
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Current(), f + "a.WMA");
    EXPECT_EQ(list.Step(true).value(), f + "aa.wav");

    // A path differing in letter case from the entry puts the index on the last entry.
    list.SetCurrentFile(f + "B.WAV");
    EXPECT_EQ(list.Index(), 3);
}

TEST(FileListTest, OneFileOrNoneHasNoNeighbour) {
    harness::TempDir dir;
    Write(dir / "only.wav", "x");
    Write(dir / "song.ogg", "x");
    FileList list;
    list.SetCurrentFile(Folder(dir) + "only.wav");
    EXPECT_EQ(list.Index(), 0);
    EXPECT_FALSE(list.Step(true).has_value());

    // A file of another type in a folder without recordings: empty list, the file stays current.
    fs::remove(dir / "only.wav");
    list.SetCurrentFile(Folder(dir) + "song.ogg");
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Index(), -1);
    EXPECT_EQ(list.Current(), Folder(dir) + "song.ogg");
    list.Rescan();
    EXPECT_FALSE(list.Step(true).has_value());
    EXPECT_FALSE(list.Step(false).has_value());
}

TEST(Inputs, DropFilterArgumentsFirstFile) {
    EXPECT_TRUE(IsAcceptedDropFile({"/x/a.WAV"}));
    EXPECT_TRUE(IsAcceptedDropFile({"/x/a.wma", "/x/b.mp3"}));
    EXPECT_FALSE(IsAcceptedDropFile({"/x/a.mp3", "/x/b.wav"}));  // only the first one counts
    EXPECT_FALSE(IsAcceptedDropFile({"/x/wav"}));
    EXPECT_FALSE(IsAcceptedDropFile({}));
    EXPECT_EQ(JoinArguments({"a.wav", "b.wav"}), "a.wav b.wav");
    EXPECT_EQ(JoinArguments({}), "");
    EXPECT_EQ(SaveDialogFilter("wav"), "(*.wav)|*.wav");

    harness::TempDir dir;
    Write(dir / "last.wav", "data");
    Write(dir / "empty.wav", "");
    const std::string last = (dir / "last.wav").string();
    FirstFile a = ChooseFirstFile({"/m/my", "file.wav"}, last);
    EXPECT_EQ(a.kind, FirstFile::CommandLine);
    EXPECT_EQ(a.path, "/m/my file.wav");
    FirstFile b = ChooseFirstFile({}, last);
    EXPECT_EQ(b.kind, FirstFile::LastFile);
    EXPECT_EQ(b.path, last);
    EXPECT_EQ(ChooseFirstFile({}, (dir / "empty.wav").string()).kind, FirstFile::None);
    EXPECT_EQ(ChooseFirstFile({}, std::string()).kind, FirstFile::None);
    EXPECT_EQ(ChooseFirstFile({}, std::nullopt).kind, FirstFile::None);
}

class ManualNamingTest : public ::testing::Test {
protected:
    void TearDown() override { platform::SetUiAnswerer(nullptr); }

    // Answers the save dialog with `answer` and every message box with OK; records what was asked.
    void Answer(std::optional<std::string> answer) {
        platform::SetUiAnswerer([this, answer](const platform::UiRequest& r) -> std::optional<std::string> {
            if (r.kind == platform::UiKind::MessageBox) {
                messages.push_back(r.text);
                return std::string("ok");
            }
            saveRequests.push_back(r);
            tempExistedDuringDialog = fs::exists(dir / ".q_m.tmp");
            return answer ? *answer : std::string("cancel");
        });
    }
    ManualSaveRequest Request() {
        output = Folder(dir) + "2024-01-02-03h-04m-05s.wav";
        Write(output, "RIFFdata");
        return {nullptr, output, Folder(dir), "2024-01-02-03h-04m-05s", "wav", "Save"};
    }

    harness::TempDir dir;
    std::string output;
    std::vector<std::string> messages;
    std::vector<platform::UiRequest> saveRequests;
    bool tempExistedDuringDialog = false;
};

TEST_F(ManualNamingTest, ChosenNameWithOtherExtensionCase) {
    Write(dir / "memo.WAV", "old");
    Answer(Folder(dir) + "memo.WAV");
    ManualSaveResult r = FinishManualRecording(Request());
    EXPECT_EQ(r.outcome, ManualSaveResult::Saved);
    EXPECT_EQ(r.path, Folder(dir) + "memo.WAV.wav");
    EXPECT_EQ(Read(r.path), "RIFFdata");
    EXPECT_FALSE(fs::exists(dir / "memo.WAV"));
    EXPECT_FALSE(fs::exists(output));
    EXPECT_FALSE(fs::exists(dir / ".q_m.tmp"));
    EXPECT_TRUE(tempExistedDuringDialog);
    ASSERT_EQ(saveRequests.size(), 1u);
    EXPECT_EQ(saveRequests[0].fileName, "2024-01-02-03h-04m-05s");
    EXPECT_EQ(saveRequests[0].folder, Folder(dir));
    EXPECT_EQ(saveRequests[0].filter, "(*.wav)|*.wav");
    EXPECT_TRUE(messages.empty());
}

TEST_F(ManualNamingTest, ReplacesExistingAndAddsMissingExtension) {
    Write(dir / "talk.wav", "old recording");
    Answer(Folder(dir) + "talk.wav");
    ManualSaveResult r = FinishManualRecording(Request());
    EXPECT_EQ(r.outcome, ManualSaveResult::Saved);
    EXPECT_EQ(Read(dir / "talk.wav"), "RIFFdata");

    Answer(Folder(dir) + "plain");
    r = FinishManualRecording(Request());
    EXPECT_EQ(r.path, Folder(dir) + "plain.wav");
    EXPECT_EQ(Read(r.path), "RIFFdata");
}

TEST_F(ManualNamingTest, CancelDiscards) {
    Answer(std::nullopt);
    ManualSaveResult r = FinishManualRecording(Request());
    EXPECT_EQ(r.outcome, ManualSaveResult::Discarded);
    EXPECT_FALSE(fs::exists(output));
    EXPECT_FALSE(fs::exists(dir / ".q_m.tmp"));
}

TEST_F(ManualNamingTest, FailedSetAsideKeepsRecordingAtItsPath) {
    // The temporary name is taken by a non-empty folder: the rename fails.
    fs::create_directory(dir / ".q_m.tmp");
    Write(dir / ".q_m.tmp" / "x", "x");
    Answer(Folder(dir) + "memo.wav");
    ManualSaveResult r = FinishManualRecording(Request());
    EXPECT_EQ(r.outcome, ManualSaveResult::KeptAtOutputPath);
    EXPECT_EQ(r.path, output);
    EXPECT_EQ(Read(output), "RIFFdata");
    EXPECT_TRUE(saveRequests.empty());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(output), std::string::npos);
}

TEST_F(ManualNamingTest, UnwritableTargetKeepsRecordingAtItsPath) {
    fs::create_directory(dir / "busy.wav");
    Write(dir / "busy.wav" / "inside", "x");
    Answer(Folder(dir) + "busy.wav");
    ManualSaveResult r = FinishManualRecording(Request());
    EXPECT_EQ(r.outcome, ManualSaveResult::KeptAtOutputPath);
    EXPECT_EQ(Read(output), "RIFFdata");
    EXPECT_FALSE(fs::exists(dir / ".q_m.tmp"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Unable to overwrite. Saving the recorded file in " + output + ".");
}
