// The main window's hand-offs to other programs, with real processes: the stand-in editor started
// by the window or already running, and the help file opened with the desktop's handler. This test
// program is built into testbin/murmelo, so "<program folder>/../Sonaplex/Sonaplex" is the
// stand-in editor; its skin comes from bin/res, its help file is put beside it when a test needs it.
#include <wx/frame.h>

#include <cstdlib>
#include <fstream>

#include "app/Messages.h"
#include "platform/DesktopWindows.h"
#include "platform/ProgramFolder.h"
#include "platform/SharedMemory.h"
#include "platform/Spawn.h"
#include "tests/mainwnd/MainWindowFixture.h"

namespace fs = std::filesystem;
using namespace mainwndtest;

namespace {

class EditorHandOff : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        if (IsSkipped()) return;
        ASSERT_EQ(platform::FindTopLevelWindow("Sonaplex"), 0u) << "an editor runs already";
        platform::SharedMemoryBlock::Remove();
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        if (auto w = platform::FindTopLevelWindow("Sonaplex")) platform::PostCloseRequest(w);
        harness::PumpUntil([] { return platform::FindTopLevelWindow("Sonaplex") == 0; }, 10s);
        platform::SharedMemoryBlock::Remove();
    }
    bool WaitFor(const std::string& text) {
        return harness::PumpUntil([&] { return harness::ReadFile(received).find(text) != std::string::npos; }, 20s);
    }
    void Edit() {
        Command(dlg, CRecorderDlg::IDC_EDIT_FILE);  // Ctrl+E
        harness::PumpFor(100ms);
    }

    fs::path received = config.path() / "received";
    harness::ScopedEnv receivedEnv{"SONAPLEX_RECEIVED", received.string()};
};

TEST_F(EditorHandOff, StartsTheEditorWithTheQuotedPathWhenNoneRuns) {
    // Blanks, quotes and what a shell would act on must all arrive as they stand.
    harness::TempDir music;
    const fs::path file = music / "it's \"a\" $(touch x) & b; c`d`.wav";
    ASSERT_TRUE(harness::MakeToneFile(file, 22050, 1, 16, 3.0));
    Open({file.string()});
    ASSERT_EQ(dlg->GetRecorderState(), StatePlaying);

    // While playing the command does nothing.
    Edit();
    harness::PumpFor(1000ms);
    EXPECT_EQ(platform::FindTopLevelWindow("Sonaplex"), 0u);
    EXPECT_FALSE(fs::exists(received));
    EXPECT_EQ(dlg->GetRecorderState(), StatePlaying);

    Click(dlg->Control(CRecorderDlg::IDC_STOP));
    Edit();
    ASSERT_TRUE(WaitFor("ready"));
    EXPECT_EQ(harness::ReadFile(received), "argument\t\"" + file.string() + "\"\nready\n");
    EXPECT_FALSE(platform::SharedMemoryBlock::Exists()) << "no block stays when the editor is started";
    EXPECT_FALSE(fs::exists(music / "x")) << "a shell ran the path";
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(EditorHandOff, HandsTheFileToARunningEditorThroughTheSharedBlock) {
    ASSERT_GT(platform::StartProgram((platform::GetProgramFolder() + "/../Sonaplex/Sonaplex"), {}), 0);
    ASSERT_TRUE(WaitFor("ready"));
    Open();
    harness::ToneFeeder tone;

    // While recording the command does nothing.
    Click(dlg->Control(CRecorderDlg::IDC_RECORD));
    ASSERT_EQ(dlg->GetRecorderState(), StateRecording);
    harness::PumpFor(800ms);
    Edit();
    EXPECT_EQ(dlg->GetRecorderState(), StateRecording);
    Click(dlg->Control(CRecorderDlg::IDC_STOP));
    const std::string recording = dlg->LastRecordedPath();
    ASSERT_FALSE(recording.empty());
    EXPECT_EQ(dlg->EditorFile(), recording);

    Edit();
    ASSERT_TRUE(WaitFor("mapping"));
    EXPECT_EQ(harness::ReadFile(received), "ready\nmapping\t" + recording + "\n");
    EXPECT_TRUE(platform::SharedMemoryBlock::Exists()) << "the block stays while the recorder runs";

    // A path the block cannot hold is refused with a message; the editor gets nothing.
    harness::TempDir deep;
    fs::path longPath = deep.path();
    while (longPath.string().size() < 2100) longPath /= std::string(240, 'd');
    fs::create_directories(longPath);
    longPath /= "long.wav";
    ASSERT_TRUE(harness::MakeToneFile(longPath, 22050, 1, 16, 1.0));
    ASSERT_TRUE(dlg->OnCopyDataCommandLine(longPath.string()));
    ASSERT_EQ(dlg->EditorFile(), longPath.string());
    Click(dlg->Control(CRecorderDlg::IDC_STOP));
    TakeMessages();
    Edit();
    harness::PumpFor(1000ms);
    EXPECT_EQ(TakeMessages(), std::vector<std::string>{SystemErrorText(82)});
    EXPECT_EQ(harness::ReadFile(received), "ready\nmapping\t" + recording + "\n");

    Close();
    EXPECT_FALSE(platform::SharedMemoryBlock::Exists()) << "the recorder removes its block when it ends";
}

TEST_F(EditorHandOff, WithoutAFileTheEditorStartsEmpty) {
    Open();
    ASSERT_TRUE(dlg->EditorFile().empty());
    Edit();
    ASSERT_TRUE(WaitFor("ready"));
    EXPECT_EQ(harness::ReadFile(received), "ready\n");
}

class HelpHandOff : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        if (IsSkipped()) return;
        // A desktop handler that notes what it was asked to open.
        const fs::path bin = config.path() / "handler";
        fs::create_directories(bin);
        std::ofstream(bin / "xdg-open") << "#!/bin/sh\nprintf '%s\\n' \"$@\" >> \"" << opened.string() << "\"\n";
        fs::permissions(bin / "xdg-open", fs::perms::owner_all);
        path.emplace("PATH", bin.string() + ":" + std::getenv("PATH"));
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        std::error_code ec;
        fs::remove(help, ec);
    }
    fs::path help = fs::path(platform::GetProgramFolder()) / "Dizavadar.chm";
    fs::path opened = config.path() / "opened";
    std::optional<harness::ScopedEnv> path;
};

TEST_F(HelpHandOff, MissingHelpFileShowsItsMessage) {
    std::error_code ec;
    fs::remove(help, ec);
    Open();
    Key(dlg, WXK_F1);
    EXPECT_EQ(TakeMessages(), std::vector<std::string>{LoadResourceString(1227)});
    Click(dlg->Control(CRecorderDlg::IDC_HELP));
    EXPECT_EQ(TakeMessages(), std::vector<std::string>{LoadResourceString(1227)});
    harness::PumpFor(300ms);
    EXPECT_FALSE(fs::exists(opened));
}

TEST_F(HelpHandOff, OpensTheHelpOnceAndLeavesAnOpenViewerAlone) {
    ASSERT_TRUE(fs::exists(harness::BinDir() / "Dizavadar.chm"));
    fs::copy_file(harness::BinDir() / "Dizavadar.chm", help, fs::copy_options::overwrite_existing);
    Open();
    Key(dlg, WXK_F1);
    Key(dlg, WXK_F1);  // quickly again: the viewer has no window yet, no second one starts
    ASSERT_TRUE(harness::PumpUntil([&] { return fs::exists(opened); }, 5s));
    harness::PumpFor(500ms);
    EXPECT_EQ(harness::ReadFile(opened), help.string() + "\n");

    // With the viewer's window open, F1 only restores it (it is not minimized: nothing happens).
    harness::PumpFor(1000ms);
    auto* viewer = new wxFrame(nullptr, wxID_ANY, "Quarnet Murmelo", wxPoint(400, 0), wxSize(200, 100));
    viewer->Show();
    ASSERT_TRUE(harness::PumpUntil([] { return platform::FindTopLevelWindow("Quarnet Murmelo") != 0; }, 5s));
    Key(dlg, WXK_F1);
    harness::PumpFor(500ms);
    EXPECT_EQ(harness::ReadFile(opened), help.string() + "\n");
    EXPECT_TRUE(TakeMessages().empty());

    // Closing the recorder closes the help window.
    Close();
    EXPECT_TRUE(harness::PumpUntil([] { return platform::FindTopLevelWindow("Quarnet Murmelo") == 0; }, 5s));
}

}  // namespace
