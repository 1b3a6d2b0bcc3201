// Devices and drives that come and go while the real main window runs: capture devices of the
// private sound server loaded and unloaded with pactl, a tmpfs save folder and playback folder
// unmounted under the window.
#include <sys/mount.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

#include "audio/SampleBuffer.h"
#include "mainwnd/RecordingFiles.h"
#include "mainwnd/TransportLogic.h"
#include "tests/mainwnd/MainWindowFixture.h"

namespace fs = std::filesystem;
using namespace mainwndtest;

namespace {

// A capture device of the sound server: a null sink and a source recording its monitor, with
// the given description; unloaded when it goes out of scope (if not before).
class PulseDevice {
public:
    explicit PulseDevice(const std::string& name) : name_(name) {
        sinkModule_ = Load({"module-null-sink", "sink_name=" + name + "_feed",
                            "sink_properties=device.description=" + name + "_Feed"});
        sourceModule_ = Load({"module-remap-source", "master=" + name + "_feed.monitor", "source_name=" + name,
                              "source_properties=device.description=" + name});
    }
    ~PulseDevice() { Unload(); }
    bool ok() const { return !sinkModule_.empty() && !sourceModule_.empty(); }
    std::string feed() const { return name_ + "_feed"; }
    void Unload() {
        for (std::string* m : {&sourceModule_, &sinkModule_}) {
            if (!m->empty()) harness::Run({"pactl", "unload-module", *m});
            m->clear();
        }
    }

private:
    static std::string Load(std::vector<std::string> args) {
        args.insert(args.begin(), {"pactl", "load-module"});
        harness::RunResult r = harness::Run(args);
        std::string id = r.out;
        id.erase(std::remove_if(id.begin(), id.end(), [](char c) { return c < '0' || c > '9'; }), id.end());
        return r.status == 0 ? id : std::string();
    }
    std::string name_;
    std::string sinkModule_, sourceModule_;
};

bool Lists(CRecorderDlg* dlg, const std::string& device) {
    const auto& names = dlg->GeneralPage().m_astrDeviceNames;
    return std::find(names.begin(), names.end(), device) != names.end();
}

// A tmpfs mounted at /mnt/<name> for the test; skipped when mounting is refused.
class TmpfsMount {
public:
    explicit TmpfsMount(const std::string& name) : path_("/mnt/" + name + "-" + std::to_string(::getpid())) {
        fs::create_directories(path_);
        if (::mount("tmpfs", path_.c_str(), "tmpfs", 0, "size=300m") != 0) {
            error_ = std::strerror(errno);
            fs::remove(path_);
            return;
        }
        mounted_ = true;
    }
    ~TmpfsMount() {
        Detach();
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    bool mounted() const { return mounted_; }
    const std::string& error() const { return error_; }
    const fs::path& path() const { return path_; }
    // umount -l: the file system leaves the tree at once; open files keep working.
    void Detach() {
        if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
        mounted_ = false;
    }

private:
    fs::path path_;
    bool mounted_ = false;
    std::string error_;
};

class DeviceChange : public MainWindowTest {};

TEST_F(DeviceChange, RemovingTheDeviceInUseFinishesTheRecordingWithWhatWasRecorded) {
    PulseDevice usb("USB_Microphone");
    ASSERT_TRUE(usb.ok());
    Set("InputDevice", "USB_Microphone");
    Set("InputSource", "0");
    Open();
    ASSERT_TRUE(dlg->IsWatchingDevices());
    ASSERT_EQ(dlg->GeneralPage().m_CaptureGraph.SourceName(), "USB_Microphone");

    SinkTone tone(usb.feed(), 660.0);
    Click(dlg->Control(CRecorderDlg::IDC_RECORD));
    ASSERT_EQ(dlg->GetRecorderState(), StateRecording);
    const std::string recording = dlg->OutputPath();
    harness::PumpFor(2000ms);
    usb.Unload();
    ASSERT_TRUE(harness::PumpUntil([&] { return dlg->GetRecorderState() != StateRecording; }, 5s))
        << "the recording went on without its device";
    EXPECT_EQ(dlg->GetRecorderState(), StateRecorded);
    EXPECT_EQ(dlg->LastRecordedPath(), recording);
    const harness::MediaInfo info = harness::Probe(recording);
    ASSERT_TRUE(info.ok) << "the file was not finished";
    EXPECT_GE(info.duration, 1.5);
    EXPECT_LE(info.duration, 3.5);
    EXPECT_NEAR(harness::DominantFrequency(recording), 660.0, 20.0);
    EXPECT_FALSE(Lists(dlg, "USB_Microphone"));
    // The next recording takes what is there.
    EXPECT_EQ(dlg->GeneralPage().m_CaptureGraph.SourceName(), dlg->GeneralPage().m_strCurrentDevice);
}

TEST_F(DeviceChange, AnotherDeviceComingAndGoingLeavesTheRecordingRunning) {
    Set("InputDevice", "Virtual_Microphone");
    Set("InputSource", "0");
    Open();
    harness::ToneFeeder tone(440.0);

    // While idle a new device is listed.
    {
        PulseDevice other("Headset_Microphone");
        ASSERT_TRUE(other.ok());
        EXPECT_TRUE(harness::PumpUntil([&] { return Lists(dlg, "Headset_Microphone"); }, 5s));
        EXPECT_EQ(dlg->GeneralPage().m_CaptureGraph.SourceName(), "Virtual_Microphone") << "the choice stays";

        Click(dlg->Control(CRecorderDlg::IDC_RECORD));
        ASSERT_EQ(dlg->GetRecorderState(), StateRecording);
        harness::PumpFor(800ms);
        other.Unload();
        harness::PumpFor(1500ms);
        EXPECT_EQ(dlg->GetRecorderState(), StateRecording) << "another device's removal ended the recording";
    }
    const std::string recording = dlg->OutputPath();
    Click(dlg->Control(CRecorderDlg::IDC_STOP));
    EXPECT_EQ(dlg->GetRecorderState(), StateRecorded);
    const harness::MediaInfo info = harness::Probe(recording);
    ASSERT_TRUE(info.ok);
    EXPECT_GE(info.duration, 2.0);
    EXPECT_FALSE(Lists(dlg, "Headset_Microphone"));
}

TEST_F(DeviceChange, VanishedSaveDriveFinishesTheRecordingAndLaterOnesGoToTheDefaultFolder) {
    TmpfsMount drive("murmelo-save");
    if (!drive.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here: " << drive.error();
    fs::create_directories(drive.path() / "rec");
    Set("FolderPath", (drive.path() / "rec").string() + "/");
    Open();
    ASSERT_EQ(dlg->SaveFolder(), (drive.path() / "rec").string() + "/");

    harness::ToneFeeder tone;
    Click(dlg->Control(CRecorderDlg::IDC_RECORD));
    ASSERT_EQ(dlg->GetRecorderState(), StateRecording);
    harness::PumpFor(1000ms);
    drive.Detach();
    ASSERT_TRUE(harness::PumpUntil([&] { return dlg->GetRecorderState() != StateRecording; }, 5s))
        << "the recording went on into a vanished drive";
    const std::string defaultFolder = DefaultSaveFolder().string() + "/";
    EXPECT_EQ(dlg->SaveFolder(), defaultFolder);

    Click(dlg->Control(CRecorderDlg::IDC_RECORD));
    ASSERT_EQ(dlg->GetRecorderState(), StateRecording);
    EXPECT_EQ(mainwnd::FolderOf(dlg->OutputPath()), defaultFolder);
    harness::PumpFor(800ms);
    Click(dlg->Control(CRecorderDlg::IDC_STOP));
    EXPECT_EQ(dlg->GetRecorderState(), StateRecorded);
    EXPECT_EQ(mainwnd::FolderOf(dlg->LastRecordedPath()), defaultFolder);
    EXPECT_TRUE(harness::Probe(dlg->LastRecordedPath()).ok);
}

TEST_F(DeviceChange, VanishedPlaybackDriveStopsAndIdles) {
    TmpfsMount drive("murmelo-play");
    if (!drive.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here: " << drive.error();
    const fs::path file = drive.path() / "long.wav";
    ASSERT_TRUE(harness::MakeToneFile(file, 22050, 1, 16, 10.0));
    Open({file.string()});
    ASSERT_EQ(dlg->GetRecorderState(), StatePlaying);
    harness::PumpFor(500ms);
    drive.Detach();
    ASSERT_TRUE(harness::PumpUntil([&] { return dlg->GetRecorderState() == StateIdle; }, 5s));
    EXPECT_EQ(dlg->Player().m_nState, mainwnd::kEngineStopped);
    EXPECT_EQ(dlg->Player().m_strFile, "");
    EXPECT_EQ(dlg->EditorFile(), "");
    EXPECT_EQ(dlg->TitleLineText(), " ");
    EXPECT_TRUE(TakeMessages().empty()) << "no message for a vanished playback drive";
    // The save folder was elsewhere and stays.
    EXPECT_EQ(dlg->SaveFolder(), save.string() + "/");
}

}  // namespace
