// Devices and drives that come and go while the real main window runs: capture devices of the
// private sound server loaded and unloaded with pactl, a tmpfs save folder and playback folder
// unmounted under the window.
#include <sys/mount.h>

#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/panel.h>
#include <wx/timer.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>

#include "audio/SampleBuffer.h"
#include "options/OptionsIds.h"
#include "platform/Registry.h"
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

// Drives the options sheet from its own modal loop: the window opens it (Ctrl+S, which returns
// once it has closed) and every 50 ms `step` runs with the sheet shown, until it returns the
// button that ends the sheet (wxID_OK, wxID_CANCEL; 0 to go on) or the time is up (Cancel).
class SheetDriver : public wxTimer {
public:
    SheetDriver(CRecorderDlg* dlg, std::function<int()> step, std::chrono::milliseconds timeout)
        : dlg_(dlg), step_(std::move(step)), deadline_(std::chrono::steady_clock::now() + timeout) {}
    // Returns whether the steps ended the sheet themselves.
    bool Run() {
        Start(50);
        Command(dlg_, CRecorderDlg::IDC_SETTINGS);
        Stop();
        return finished_;
    }
    void Notify() override {
        COptions& sheet = dlg_->OptionsSheet();
        if (!sheet.IsShown()) return;
        int button = step_();
        finished_ = button != 0;
        if (!finished_ && std::chrono::steady_clock::now() < deadline_) return;
        if (!finished_) button = wxID_CANCEL;
        Stop();
        wxWindow* w = sheet.GetWindow()->FindWindow(button);
        wxCommandEvent press(wxEVT_BUTTON, button);
        press.SetEventObject(w);
        w->ProcessWindowEvent(press);
    }

private:
    CRecorderDlg* dlg_;
    std::function<int()> step_;
    std::chrono::steady_clock::time_point deadline_;
    bool finished_ = false;
};

wxChoice* PageChoice(COptionsPage& page, int id) {
    return page.GetWindow() ? dynamic_cast<wxChoice*>(page.GetWindow()->FindWindow(id)) : nullptr;
}

std::string PageText(COptionsPage& page, int id) {
    wxWindow* w = page.GetWindow() ? page.GetWindow()->FindWindow(id) : nullptr;
    return w ? w->GetLabel().utf8_string() : std::string();
}

std::vector<std::string> Items(wxChoice* choice) {
    std::vector<std::string> items;
    for (unsigned i = 0; choice && i < choice->GetCount(); ++i) items.push_back(choice->GetString(i).utf8_string());
    return items;
}

// With the General page open the user picks a device other than the stored one; then a device
// listed before it (the list is sorted) is plugged in or removed. The page must list what is there
// and keep the user's device chosen, and OK must store that device, not the one now at its index.
class OpenPageDeviceChange : public DeviceChange {
protected:
    void PickThenChange(bool plugIn) {
        PulseDevice other("Zebra_Microphone");
        ASSERT_TRUE(other.ok());
        std::optional<PulseDevice> aardvark;
        if (!plugIn) {
            aardvark.emplace("Aardvark_Microphone");
            ASSERT_TRUE(aardvark->ok());
        }
        Set("InputDevice", "Virtual_Microphone");
        Set("InputSource", "0");
        Open();
        ASSERT_TRUE(Lists(dlg, "Zebra_Microphone"));
        ASSERT_EQ(Lists(dlg, "Aardvark_Microphone"), !plugIn);
        CFileFormat& general = dlg->GeneralPage();
        const std::string chosen = "Zebra_Microphone";
        int phase = 0;
        SheetDriver driver(dlg, [&]() -> int {
            wxChoice* devices = PageChoice(general, options::general::kDevice);
            wxChoice* inputs = PageChoice(general, options::general::kInput);
            if (!devices || !inputs) return 0;
            if (phase == 0) {
                EXPECT_EQ(devices->GetStringSelection().utf8_string(), "Virtual_Microphone");
                EXPECT_TRUE(devices->SetStringSelection(wxString::FromUTF8(chosen)));
                wxCommandEvent pick(wxEVT_CHOICE, options::general::kDevice);
                pick.SetEventObject(devices);
                pick.SetInt(devices->GetSelection());
                devices->ProcessWindowEvent(pick);
                if (plugIn) {
                    aardvark.emplace("Aardvark_Microphone");
                    EXPECT_TRUE(aardvark->ok());
                } else {
                    aardvark.reset();
                }
                phase = 1;
                return 0;
            }
            const std::vector<std::string> listed = Items(devices);
            const bool aardvarkListed = std::find(listed.begin(), listed.end(), "Aardvark_Microphone") != listed.end();
            if (aardvarkListed != plugIn) return 0;
            EXPECT_EQ(listed, general.m_astrDeviceNames);
            EXPECT_EQ(devices->GetStringSelection().utf8_string(), chosen) << "the user's device lost its place";
            // The inputs are the chosen device's (a source without ports has one, named after it).
            EXPECT_EQ(Items(inputs), std::vector<std::string>{chosen});
            EXPECT_EQ(inputs->GetSelection(), 0);
            return wxID_OK;
        }, 15s);
        ASSERT_TRUE(driver.Run()) << "the open page never showed the change";
        platform::RegKey key;
        ASSERT_TRUE(key.OpenForQuery(platform::Hive::LocalMachine, "Software\\Murmelo"));
        EXPECT_EQ(key.QueryString("InputDevice"), chosen);
        EXPECT_EQ(general.m_CaptureGraph.SourceName(), chosen);
    }
};

TEST_F(OpenPageDeviceChange, ANewDeviceIsListedAndTheUsersChoiceKept) { PickThenChange(true); }

TEST_F(OpenPageDeviceChange, ARemovedDeviceLeavesTheListAndTheUsersChoiceIsKept) { PickThenChange(false); }

TEST_F(DeviceChange, OpenOptionsShowTheDefaultFolderWhenTheSaveDriveVanishes) {
    TmpfsMount drive("murmelo-sheet");
    if (!drive.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here: " << drive.error();
    const std::string folder = (drive.path() / "rec").string() + "/";
    fs::create_directories(folder);
    Set("FolderPath", folder);
    Open();
    const std::string defaultFolder = DefaultSaveFolder().string() + "/";
    std::string freeBefore;
    int phase = 0;
    SheetDriver driver(dlg, [&]() -> int {
        CFileFormat& general = dlg->GeneralPage();
        CFileSetUp& advanced = dlg->AdvancedPage();
        if (phase == 0) {
            EXPECT_EQ(PageText(general, options::general::kFolder), folder);
            EXPECT_TRUE(dlg->OptionsSheet().SetActivePage(1));  // the General page stays open behind it
            freeBefore = PageText(advanced, options::advanced::kFreeSpace);
            drive.Detach();
            phase = 1;
            return 0;
        }
        if (PageText(general, options::general::kFolder) != defaultFolder) return 0;
        const std::string freeAfter = PageText(advanced, options::advanced::kFreeSpace);
        EXPECT_NE(freeAfter, freeBefore) << "the Advanced page still shows the vanished drive's space";
        EXPECT_NEAR(std::atof(freeAfter.c_str()), general.GetSaveDriveFreeMB(), 64.0) << freeAfter;
        return wxID_CANCEL;
    }, 15s);
    ASSERT_TRUE(driver.Run()) << "the open page kept showing the vanished folder";
    // Cancel restores the stored folder, but not one on a vanished drive.
    EXPECT_EQ(dlg->SaveFolder(), defaultFolder);
}

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
