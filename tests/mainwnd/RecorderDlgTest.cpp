// The real main window under the private display and sound server, driven by the events a user
// causes: clicks on its buttons, drags on its bars, dropped files.
#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/event.h>

#include <filesystem>
#include <fstream>
#include <sys/mount.h>
#include <unistd.h>
#include <cstring>

#include "app/Messages.h"
#include "app/SettingsStore.h"
#include "audio/SampleBuffer.h"
#include "controls/SkinSlider.h"
#include "mainwnd/OleDrop.h"
#include "mainwnd/RecorderDlg.h"
#include "mainwnd/RecordingFiles.h"
#include "mainwnd/TransportLogic.h"
#include "platform/ResourceModule.h"
#include "platform/Ui.h"
#include "tests/harness/Harness.h"
#include "tests/mainwnd/MainWindowFixture.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using mainwndtest::Click;

void Screenshot(const std::string& name) {
    const fs::path out = harness::BinDir() / "artifacts";
    fs::create_directories(out);
    harness::PumpFor(300ms);
    harness::Run({"import", "-window", "root", "-crop", "600x400+0+0", (out / (name + ".png")).string()});
}

// The shared main-window fixture, with an answer for the save dialog and a record helper.
class RecorderWindow : public mainwndtest::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        if (IsSkipped()) return;
        platform::SetUiAnswerer([this](const platform::UiRequest& r) -> std::optional<std::string> {
            asked.push_back(r);
            if (r.kind == platform::UiKind::MessageBox) return std::string("ok");
            if (r.kind == platform::UiKind::SaveFile) return saveAnswer;
            return std::string("cancel");
        });
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        mainwnd::SetRecordedSizeCapForTesting(0);
    }

    void Record(std::chrono::milliseconds length) {
        Click(dlg->Control(CRecorderDlg::IDC_RECORD));
        ASSERT_EQ(dlg->GetRecorderState(), StateRecording);
        harness::PumpFor(length);
        Click(dlg->Control(CRecorderDlg::IDC_STOP));
    }

    std::optional<std::string> saveAnswer;
};

TEST_F(RecorderWindow, RecordStopPlayPauseSeekStop) {
    Open();
    ASSERT_EQ(dlg->GetClientSize(), wxSize(331, 236));
    EXPECT_EQ(dlg->GetRecorderState(), StateIdle);
    EXPECT_FALSE(dlg->Control(CRecorderDlg::IDC_PLAY)->IsEnabled());
    Screenshot("idle");

    harness::ToneFeeder tone(440.0);
    Click(dlg->Control(CRecorderDlg::IDC_RECORD));
    ASSERT_EQ(dlg->GetRecorderState(), StateRecording);
    EXPECT_TRUE(dlg->IsRecordTimerRunning());
    EXPECT_FALSE(dlg->Control(CRecorderDlg::IDC_OPEN_FILE)->IsEnabled());
    const std::string recording = dlg->OutputPath();
    EXPECT_EQ(mainwnd::FolderOf(recording), save.string() + "/");
    harness::PumpFor(2000ms);
    Screenshot("recording");
    EXPECT_NE(dlg->TitleLineText().find(".wav"), std::string::npos);
    Click(dlg->Control(CRecorderDlg::IDC_STOP));

    EXPECT_EQ(dlg->GetRecorderState(), StateRecorded);
    EXPECT_FALSE(dlg->IsRecordTimerRunning());
    EXPECT_EQ(dlg->LastRecordedPath(), recording);
    EXPECT_NE(dlg->OutputPath(), recording);  // the next recording's name
    const harness::MediaInfo info = harness::Probe(recording);
    ASSERT_TRUE(info.ok);
    EXPECT_EQ(info.sampleRate, 44100);
    EXPECT_EQ(info.channels, 2);
    // Two seconds plus the screenshot taken while recording.
    EXPECT_GE(info.duration, 1.8);
    EXPECT_LE(info.duration, 4.5);
    EXPECT_NEAR(harness::DominantFrequency(recording), 440.0, 20.0);
    const auto digits = dlg->ReadoutDigits();
    EXPECT_EQ((std::array<int, 4>{digits[0], digits[1], digits[2], digits[3]}), (std::array<int, 4>{0, 0, 0, 0}));
    EXPECT_NEAR(digits[4] * 10 + digits[5], static_cast<int>(info.duration), 1);
    const std::uint64_t kb = mainwnd::GetFileSize32(recording) / 1024;
    EXPECT_EQ(dlg->InfoLineText(), " 44 KHz / Stereo " + std::to_string(kb) + "KB");

    // Play the new recording, pause, resume, seek by dragging the bar, stop.
    Click(dlg->Control(CRecorderDlg::IDC_PLAY));
    ASSERT_EQ(dlg->GetRecorderState(), StatePlaying);
    EXPECT_EQ(dlg->Player().m_strFile, recording);
    EXPECT_TRUE(dlg->IsPlaybackTimerRunning());
    harness::PumpFor(400ms);
    Screenshot("playing");
    EXPECT_NE(dlg->FileInfoText().find("/ 00:00:0"), std::string::npos) << dlg->FileInfoText();
    Click(dlg->Control(CRecorderDlg::IDC_PLAY));
    EXPECT_EQ(dlg->Player().m_nState, mainwnd::kEnginePaused);
    EXPECT_EQ(dlg->GetRecorderState(), StatePlaying);
    Click(dlg->Control(CRecorderDlg::IDC_PLAY));
    EXPECT_EQ(dlg->Player().m_nState, mainwnd::kEngineRunning);

    CSkinSlider* bar = dlg->ProgressBar();
    ASSERT_TRUE(bar->IsEnabled());
    const auto& geo = bar->Geometry();
    bar->HandleLeftDown(geo.PixelOfPos(0));
    bar->HandleMouseMove(geo.PixelOfPos(50));
    harness::PumpFor(100ms);
    EXPECT_EQ(dlg->Player().m_nState, mainwnd::kEnginePaused);  // paused while dragging
    bar->HandleLeftUp();
    harness::PumpFor(100ms);
    EXPECT_EQ(dlg->Player().m_nState, mainwnd::kEngineRunning);  // resumed on release
    LONGLONG pos = 0;
    dlg->Player().GetCurrentPosition(&pos);
    EXPECT_GE(pos, 8000000);  // about half of two seconds

    Click(dlg->Control(CRecorderDlg::IDC_STOP));
    EXPECT_EQ(dlg->GetRecorderState(), StateFileReady);
    EXPECT_FALSE(dlg->IsPlaybackTimerRunning());

    // Played to the end, the file stops by itself.
    Click(dlg->Control(CRecorderDlg::IDC_PLAY));
    EXPECT_TRUE(harness::PumpUntil([&] { return dlg->GetRecorderState() == StateFileReady; }, 15s));
}

TEST_F(RecorderWindow, ManualNamingAndCancel) {
    Set("Manual", "1");
    Open();
    harness::ToneFeeder tone;
    std::ofstream(save / "memo.WAV") << "old";
    saveAnswer = (save / "memo.WAV").string();
    Record(1000ms);
    EXPECT_EQ(dlg->GetRecorderState(), StateRecorded);
    EXPECT_TRUE(fs::exists(save / "memo.WAV.wav"));
    EXPECT_FALSE(fs::exists(save / "memo.WAV"));
    EXPECT_FALSE(fs::exists(save / ".q_m.tmp"));
    EXPECT_EQ(dlg->LastRecordedPath(), (save / "memo.WAV.wav").string());
    EXPECT_TRUE(harness::Probe(save / "memo.WAV.wav").ok);

    saveAnswer = "cancel";
    const std::string discarded = dlg->OutputPath();
    Record(600ms);
    EXPECT_EQ(dlg->GetRecorderState(), StateIdle);
    EXPECT_FALSE(fs::exists(discarded));
    EXPECT_FALSE(fs::exists(save / ".q_m.tmp"));
    EXPECT_EQ(dlg->LastRecordedPath(), "");
}

TEST_F(RecorderWindow, LengthLimitStopsWavAtLimitPlusATenth) {
    Open();
    dlg->SetLengthLimit(true, 0, 0);
    // A limit at zero refuses to start.
    Click(dlg->Control(CRecorderDlg::IDC_RECORD));
    EXPECT_EQ(dlg->GetRecorderState(), StateRecorded);
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.back().flags, platform::MB_ICONWARNING);

    // One minute, reached by the elapsed time the tap reports.
    dlg->SetLengthLimit(true, 0, 1);
    harness::ToneFeeder tone;
    Click(dlg->Control(CRecorderDlg::IDC_RECORD));
    ASSERT_EQ(dlg->GetRecorderState(), StateRecording);
    harness::PumpFor(600ms);
    TheSampleBuffer().SetSampleTime(60.05);
    dlg->RecordTimerTick();
    EXPECT_EQ(dlg->GetRecorderState(), StateRecording);
    TheSampleBuffer().SetSampleTime(60.1);
    dlg->RecordTimerTick();
    EXPECT_EQ(dlg->GetRecorderState(), StateRecorded);
    EXPECT_FALSE(dlg->IsRecordTimerRunning());
}

TEST_F(RecorderWindow, SizeCapFinishesRecording) {
    Open();
    harness::ToneFeeder tone;
    mainwnd::SetRecordedSizeCapForTesting(50000);
    Click(dlg->Control(CRecorderDlg::IDC_RECORD));
    const std::string recording = dlg->OutputPath();
    EXPECT_TRUE(harness::PumpUntil([&] { return dlg->GetRecorderState() != StateRecording; }, 8s));
    EXPECT_EQ(dlg->GetRecorderState(), StateRecorded);
    EXPECT_GT(mainwnd::GetFileSize32(recording), 50000u);
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.back().text, LoadResourceString(1224));
}

TEST_F(RecorderWindow, EmptyFilesFolderWalkAndDrop) {
    harness::TempDir music;
    ASSERT_TRUE(harness::MakeToneFile(music / "b.wav", 22050, 1, 16, 1.0));
    ASSERT_TRUE(harness::MakeToneFile(music / "c.wav", 22050, 1, 16, 1.0));
    fs::copy_file(music / "b.wav", music / "a.WMA");  // listed by name; opening it is the player's affair
    std::ofstream(music / "empty.wav").close();
    Open({(music / "c.wav").string()});
    ASSERT_EQ(dlg->GetRecorderState(), StatePlaying);

    std::vector<std::string> walked;
    for (int i = 0; i < 3; ++i) {
        dlg->OnNextFile();
        walked.push_back(mainwnd::TheFileList().Current());
    }
    const std::string f = music.path().string() + "/";
    // The list holds a.WMA, b.wav, c.wav and empty.wav; from c.wav next goes on and wraps.
    EXPECT_EQ(walked, (std::vector<std::string>{f + "empty.wav", f + "a.WMA", f + "b.wav"}));
    dlg->OnPrevFile();
    EXPECT_EQ(mainwnd::TheFileList().Current(), f + "a.WMA");
    dlg->OnPrevFile();
    EXPECT_EQ(mainwnd::TheFileList().Current(), f + "empty.wav");

    // Dropping: a .mp3 is refused, a .wav plays.
    wxArrayString files;
    files.Add(wxString::FromUTF8((music / "x.mp3").string()));
    EXPECT_FALSE(dlg->DropTarget()->OnDropFiles(10, 10, files));
    files.Clear();
    files.Add(wxString::FromUTF8((music / "b.wav").string()));
    EXPECT_EQ(COleDrop::DragResultFor(files), wxDragCopy);
    ASSERT_TRUE(dlg->DropTarget()->OnDropFiles(10, 10, files));
    EXPECT_TRUE(harness::PumpUntil([&] { return dlg->Player().m_strFile == (music / "b.wav").string(); }, 3s));
    EXPECT_EQ(dlg->GetRecorderState(), StatePlaying);
}

TEST_F(RecorderWindow, FreeSpaceChecksOnSmallFileSystem) {
    const fs::path mnt = "/mnt/murmelo-test-" + std::to_string(::getpid());
    fs::create_directories(mnt);
    if (::mount("tmpfs", mnt.c_str(), "tmpfs", 0, "size=120m") != 0) {
        fs::remove(mnt);
        GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    }
    struct Unmount {
        fs::path p;
        ~Unmount() { ::umount2(p.c_str(), MNT_DETACH); std::error_code ec; fs::remove_all(p, ec); }
    } unmount{mnt};
    const fs::path folder = mnt / "rec";
    fs::create_directories(folder);
    Set("FolderPath", folder.string() + "/");
    Open();
    ASSERT_EQ(dlg->SaveFolder(), folder.string() + "/");

    // 120 MB free: recording starts; fill it to below 100 MB and the next check finishes it.
    harness::ToneFeeder tone;
    Click(dlg->Control(CRecorderDlg::IDC_RECORD));
    ASSERT_EQ(dlg->GetRecorderState(), StateRecording);
    {
        std::ofstream filler(mnt / "filler", std::ios::binary);
        std::string block(1 << 20, 'x');
        for (int i = 0; i < 30; ++i) filler << block;
    }
    EXPECT_TRUE(harness::PumpUntil([&] { return dlg->GetRecorderState() != StateRecording; }, 5s));
    EXPECT_EQ(dlg->GetRecorderState(), StateRecorded);

    // Now at most 100 MB are free: the record command refuses with message 1238.
    asked.clear();
    Click(dlg->Control(CRecorderDlg::IDC_RECORD));
    EXPECT_NE(dlg->GetRecorderState(), StateRecording);
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.back().flags, platform::MB_ICONWARNING);
}

}  // namespace
