// A second Murmelo process started with a file while this process's main window runs: the second
// start finds the window by its title and hands its command line over. The first instance is the
// window in this test process, which also holds the single-instance lock, so the state of the
// running window can be looked at directly.
#include "mainwnd/TransportLogic.h"
#include "platform/DesktopWindows.h"
#include "platform/SingleInstance.h"
#include "tests/mainwnd/MainWindowFixture.h"

namespace fs = std::filesystem;
using namespace mainwndtest;

namespace {

class SecondInstance : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        if (IsSkipped()) return;
        lock.emplace("QuarnetMurmelo");
        ASSERT_FALSE(lock->AlreadyExists()) << "a Murmelo runs already";
    }
    // Runs Murmelo with the arguments, pumping our events (the hand-over waits for our window)
    // until it ends; its exit status, -1 when it did not end.
    int StartSecond(const std::vector<std::string>& args) {
        std::vector<std::string> all = {(harness::BinDir() / "Murmelo").string()};
        all.insert(all.end(), args.begin(), args.end());
        harness::Process second(all, config.path() / "second.err");
        if (!second.started() || !second.Wait(20s)) return -1;
        harness::PumpFor(100ms);
        return second.ExitCode().value_or(-1);
    }
    void OpenAndWaitForTitle() {
        Open();
        ASSERT_TRUE(harness::PumpUntil([] { return platform::FindTopLevelWindow("Murmelo") != 0; }, 5s));
    }

    std::optional<platform::SingleInstanceLock> lock;
    harness::TempDir music;
};

TEST_F(SecondInstance, AFileHandedOverWhileRecordingIsNotOpenedAndTheRecordingGoesOn) {
    const fs::path file = music / "handed.wav";
    ASSERT_TRUE(harness::MakeToneFile(file, 22050, 1, 16, 2.0));
    OpenAndWaitForTitle();
    harness::ToneFeeder tone(440.0);
    Click(dlg->Control(CRecorderDlg::IDC_RECORD));
    ASSERT_EQ(dlg->GetRecorderState(), StateRecording);
    const std::string recording = dlg->OutputPath();

    EXPECT_EQ(StartSecond({file.string()}), 0);
    EXPECT_EQ(dlg->GetRecorderState(), StateRecording);
    EXPECT_NE(dlg->Player().m_strFile, file.string());
    EXPECT_TRUE(TakeMessages().empty());
    harness::PumpFor(1000ms);
    EXPECT_EQ(dlg->GetRecorderState(), StateRecording);
    EXPECT_EQ(dlg->OutputPath(), recording);

    Click(dlg->Control(CRecorderDlg::IDC_STOP));
    EXPECT_EQ(dlg->LastRecordedPath(), recording);
    const harness::MediaInfo info = harness::Probe(recording);
    ASSERT_TRUE(info.ok);
    EXPECT_GE(info.duration, 1.0) << "the recording was cut by the hand-over";
    EXPECT_NE(dlg->EditorFile(), file.string());
}

TEST_F(SecondInstance, AFileHandedOverWhileIdleOpensAndPlays) {
    // Arguments are joined with one blank: a name with a blank may come as two arguments.
    const fs::path file = music / "hand over.wav";
    ASSERT_TRUE(harness::MakeToneFile(file, 22050, 1, 16, 3.0));
    OpenAndWaitForTitle();
    EXPECT_EQ(StartSecond({(music / "hand").string(), "over.wav"}), 0);
    EXPECT_EQ(dlg->GetRecorderState(), StatePlaying);
    EXPECT_EQ(dlg->Player().m_strFile, file.string());
    EXPECT_EQ(dlg->Player().m_nState, mainwnd::kEngineRunning);
    EXPECT_EQ(dlg->EditorFile(), file.string());
}

TEST_F(SecondInstance, AMissingFileIsReportedOnce) {
    OpenAndWaitForTitle();
    const std::string missing = (music / "gone.wav").string();
    EXPECT_EQ(StartSecond({missing}), 0);
    const std::vector<std::string> messages = TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "File " + missing + " non trovato");
    EXPECT_EQ(dlg->GetRecorderState(), StateIdle);
}

}  // namespace
