// The options sheet with its real pages under the private display: the controls are driven with
// the events a user's clicks and choices send, the settings live in a temporary configuration
// folder, the array-microphone driver is the fake one on a real socket.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/notebook.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/slider.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/Messages.h"
#include "app/SettingsStore.h"
#include "audio/LameSettings.h"
#include "controls/VisualizerType.h"
#include "micarray/MicArrayDriver.h"
#include "micarray/MicConfiguration.h"
#include "options/FileFormat.h"
#include "options/FileSetUp.h"
#include "options/Options.h"
#include "options/OptionsIds.h"
#include "platform/DesktopWindows.h"
#include "platform/Drives.h"
#include "platform/Registry.h"
#include "platform/Spawn.h"
#include "platform/ResourceModule.h"
#include "platform/Ui.h"
#include "platform/WxMessageTarget.h"
#include "tests/harness/Harness.h"
#include "tests/micarray/FakeMicArrayDriver.h"

#include <X11/Xlib.h>  // last: its macros (None, Status ...) would clash with the headers above

using namespace std::chrono_literals;
namespace fs = std::filesystem;
namespace g = options::general;
namespace a = options::advanced;

namespace {

// --- what a user does ---------------------------------------------------------------------------

void Choose(wxWindow* page, int id, int index) {
    auto* choice = dynamic_cast<wxChoice*>(page->FindWindow(id));
    ASSERT_TRUE(choice) << id;
    choice->SetSelection(index);
    wxCommandEvent event(wxEVT_CHOICE, id);
    event.SetEventObject(choice);
    event.SetInt(index);
    choice->ProcessWindowEvent(event);
}

void Click(wxWindow* page, int id) {
    wxWindow* w = page->FindWindow(id);
    ASSERT_TRUE(w) << id;
    if (auto* radio = dynamic_cast<wxRadioButton*>(w)) {
        radio->SetValue(true);
        wxCommandEvent event(wxEVT_RADIOBUTTON, id);
        event.SetEventObject(radio);
        event.SetInt(1);
        radio->ProcessWindowEvent(event);
    } else {
        wxCommandEvent event(wxEVT_BUTTON, id);
        event.SetEventObject(w);
        w->ProcessWindowEvent(event);
    }
}

void PressSheetButton(COptions& sheet, int id) {
    ASSERT_TRUE(sheet.GetWindow());
    wxWindow* button = sheet.GetWindow()->FindWindow(id);
    ASSERT_TRUE(button);
    wxCommandEvent event(wxEVT_BUTTON, id);
    event.SetEventObject(button);
    button->ProcessWindowEvent(event);
}

std::string Text(wxWindow* page, int id) {
    wxWindow* w = page->FindWindow(id);
    if (auto* edit = dynamic_cast<wxTextCtrl*>(w)) return edit->GetValue().utf8_string();
    return w ? w->GetLabel().utf8_string() : std::string();
}

int Selection(wxWindow* page, int id) {
    auto* choice = dynamic_cast<wxChoice*>(page->FindWindow(id));
    return choice ? choice->GetSelection() : -2;
}

std::string SelectedText(wxWindow* page, int id) {
    auto* choice = dynamic_cast<wxChoice*>(page->FindWindow(id));
    return choice ? choice->GetStringSelection().utf8_string() : std::string();
}

bool Shown(wxWindow* page, int id) { return page->FindWindow(id) && page->FindWindow(id)->IsShown(); }
bool Enabled(wxWindow* page, int id) { return page->FindWindow(id) && page->FindWindow(id)->IsEnabled(); }
bool Checked(wxWindow* page, int id) {
    auto* radio = dynamic_cast<wxRadioButton*>(page->FindWindow(id));
    return radio && radio->GetValue();
}

std::string Stored(const char* name) {
    app::SettingsReader reader;
    return reader.Text(name).value_or("<absent>");
}

// --- fixture ------------------------------------------------------------------------------------

class OptionsSheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!harness::HaveDisplay()) GTEST_SKIP() << "no display";
        ASSERT_TRUE(platform::ResourceModule::Load((harness::BinDir() / "Lexel.so").string()));
        config_.emplace("MURMELO_CONFIG_DIR", (dir_ / "config").string());
        home_.emplace("HOME", dir_.path().string());
        fs::create_directories(dir_ / "rec");
        saveFolder_ = (dir_ / "rec").string() + "/";
        defaultFolder_ = (dir_ / "My Recorded Files").string() + "/";

        app::WriteSettings({{"Fileformatwav", "1"}, {"Fileformatwma", "0"}, {"Fileformatmp3", "0"},
                            {"WavFrequency", "0"}, {"WavMode", "0"}, {"WavBit", "0"}, {"WmaProfile", "1"},
                            {"Mp3Profile", "1"}, {"Mp3Mode", "0"}, {"Manual", "0"}, {"RecordVolume", "50"},
                            {"FolderPath", saveFolder_}, {"InputSource", "1"}, {"InputDevice", "virtual_mic"},
                            {"Pellow", "1"}, {"UnlimitedRecording", "0"}, {"Hour", "0"}, {"Minute", "0"},
                            {"VizState", "1"}},
                           true);

        main_ = new wxFrame(nullptr, wxID_ANY, "Murmelo test main window");
        mainRef_.Attach(main_);
        main_->Bind(platform::EVT_WINDOW_MESSAGE, [this](platform::WindowMessageEvent& e) {
            messages_.push_back(e.msg);
            if (e.msg == options::WM_INPUT_DEVICE_CHANGED) {
                // The main window binds the new device and lists its inputs.
                general_.m_astrInputNames = {};
                if (general_.m_nChosenDevice == 0) {
                    general_.m_astrInputNames[0] = "Monitor";
                } else {
                    general_.m_astrInputNames[0] = "Mic";
                    general_.m_astrInputNames[1] = "Line";
                }
            }
        });

        general_.m_astrDeviceNames = {"Monitor of Null Output", "virtual_mic"};
        general_.m_astrInputNames[0] = "Mic";
        general_.m_astrInputNames[1] = "Line";
        general_.m_nInputCount = 2;
        general_.m_InputLines.entries[0] = {0x1003, "Mic"};
        general_.m_InputLines.entries[1] = {0x1002, "Line"};
        general_.m_InputLines.count = 2;
        general_.m_nMicConfiguration = kMicConfigExternalOnly;
        general_.m_hMainWnd = mainRef_.get();
        general_.m_strDefaultSaveFolder = defaultFolder_;
        general_.m_startHelper = [this](const std::string& path) { helpers_.push_back(path); };

        absentDriver_.emplace((dir_ / "no-driver").string(), [] {});
        advanced_.SetDriver(&*absentDriver_);
        advanced_.m_nSpecialMode = kModeNoDriver;
        advanced_.m_strFreeSpace = "1234MB";
        advanced_.m_startProgram = [this](const std::string& program, const std::vector<std::string>& args) {
            std::string line = program;
            for (const std::string& arg : args) line += " " + arg;
            started_.push_back(line);
        };

        platform::SetUiAnswerer([this](const platform::UiRequest& r) -> std::optional<std::string> {
            if (r.kind == platform::UiKind::ChooseFolder) {
                folderRequests_.push_back(r.folder);
                return folderAnswer_;
            }
            boxes_.push_back(r);
            return std::string("ok");
        });

        sheet_.SetTitle(LoadResourceString(options::IDS_SHEET_TITLE));
        sheet_.AddPage(&general_);
        sheet_.AddPage(&advanced_);
    }

    void TearDown() override {
        platform::SetUiAnswerer(nullptr);
        if (sheet_.IsShown()) PressSheetButton(sheet_, wxID_CANCEL);
        harness::PumpUntil([this] { return !general_.HasWindow() && !advanced_.HasWindow(); }, 2s);
        mainRef_.Reset();
        if (main_) main_->Destroy();
        harness::PumpFor(20ms);
    }

    // The engine's fields as the main window loads them at start-up.
    void LoadEngineFromSettings() {
        app::StartupSettings s = app::LoadStartupSettings();
        CCaptureGraph& e = general_.m_CaptureGraph;
        e.m_bWav = s.format == app::StoredFormat::Wav;
        e.m_bWma = s.format == app::StoredFormat::Wma;
        e.m_bMp3 = s.format == app::StoredFormat::Mp3;
        if (s.wavFrequency) e.m_nFreqCode = *s.wavFrequency;
        if (s.wavMode) e.m_nChannelCode = *s.wavMode;
        if (s.wavBit) e.m_nBitCode = *s.wavBit;
        if (s.wmaProfile) e.m_nWmaProfile = *s.wmaProfile;
        if (s.mp3Profile) e.m_nMp3Profile = *s.mp3Profile;
        if (s.mp3Mode) general_.m_nMp3Mode = *s.mp3Mode;
        general_.m_strSaveFolder = saveFolder_;
    }

    wxWindow* Open(int page = 0) {
        LoadEngineFromSettings();
        EXPECT_TRUE(sheet_.Create(nullptr));
        if (page != 0) {
            EXPECT_TRUE(sheet_.SetActivePage(page));
        }
        harness::PumpFor(30ms);
        COptionsPage* p = sheet_.GetPage(page);
        return p ? static_cast<wxWindow*>(p->GetWindow()) : nullptr;
    }

    void WaitClosed() {
        ASSERT_TRUE(harness::PumpUntil([this] { return !general_.HasWindow() && !advanced_.HasWindow(); }, 2s));
    }

    harness::TempDir dir_;
    std::optional<harness::ScopedEnv> config_, home_;
    std::string saveFolder_, defaultFolder_;
    wxFrame* main_ = nullptr;
    platform::MessageTargetScope mainRef_;
    std::vector<std::uint32_t> messages_;
    std::vector<std::string> helpers_, started_, folderRequests_;
    std::vector<platform::UiRequest> boxes_;
    std::optional<std::string> folderAnswer_;
    std::optional<CMicArrayDriver> absentDriver_;
    CFileFormat general_;
    CFileSetUp advanced_;
    COptions sheet_;
};

// --- General page -------------------------------------------------------------------------------

TEST_F(OptionsSheetTest, StoredQualityShowsOnOpening) {
    struct Case {
        std::vector<std::pair<std::string, std::string>> stored;
        int radio;
        const char* estimate;
    };
    const Case cases[] = {
        {{{"Fileformatwav", "0"}, {"Fileformatwma", "1"}, {"WmaProfile", "4"}}, g::kRadioWma, "160 KB"},
        {{{"Fileformatwav", "1"}, {"Fileformatwma", "0"}, {"WavFrequency", "1"}, {"WavMode", "1"}, {"WavBit", "1"}},
         g::kRadioWav, "1320 KB"},
    };
    for (const Case& c : cases) {
        app::WriteSettings(c.stored, true);
        wxWindow* page = Open();
        ASSERT_TRUE(page);
        EXPECT_TRUE(Checked(page, c.radio));
        EXPECT_EQ(Text(page, g::kEstimate), c.estimate);
        if (c.radio == g::kRadioWma) {
            EXPECT_EQ(SelectedText(page, g::kWmaQuality), "Basso (22Khz-20kbps)");
            EXPECT_TRUE(Shown(page, g::kWmaMono));
            EXPECT_EQ(SelectedText(page, g::kWmaMono), "Mono");
            EXPECT_FALSE(Shown(page, g::kWmaStereo));
            EXPECT_FALSE(Shown(page, g::kWavRate));
            EXPECT_EQ(Text(page, g::kQualityCaption), LoadResourceString(options::IDS_QUALITY_WMA));
        } else {
            EXPECT_EQ(Selection(page, g::kWavRate), 1);
            EXPECT_EQ(Selection(page, g::kWavChannels), 1);
            EXPECT_EQ(Selection(page, g::kWavBits), 1);
            EXPECT_FALSE(Shown(page, g::kWmaQuality));
        }
        EXPECT_FALSE(Shown(page, g::kRadioMp3));
        EXPECT_FALSE(Shown(page, g::kMp3Quality));
        EXPECT_EQ(Text(page, g::kVolumeCaption), LoadResourceString(options::IDS_RECORD_VOLUME) + " 50%");
        EXPECT_EQ(Text(page, g::kFolder), saveFolder_);
        EXPECT_EQ(Text(page, g::kExampleName).rfind("Ex) 20", 0), 0u);
        PressSheetButton(sheet_, wxID_CANCEL);
        WaitClosed();
    }
}

TEST_F(OptionsSheetTest, WavAfterWmaStoresDefaultsAndExactlyTheTableValues) {
    app::WriteSettings({{"Fileformatwav", "0"}, {"Fileformatwma", "1"}, {"WmaProfile", "3"}, {"Mp3Profile", "4"},
                        {"Mp3Mode", "1"}},
                       true);
    wxWindow* page = Open();
    ASSERT_TRUE(page);
    EXPECT_EQ(Text(page, g::kEstimate), "258 KB");
    Click(page, g::kRadioWav);
    EXPECT_EQ(Text(page, g::kEstimate), "10320 KB");
    EXPECT_EQ(Selection(page, g::kWavRate), 0);
    EXPECT_TRUE(Shown(page, g::kWavRate) && Shown(page, g::kWavChannels) && Shown(page, g::kWavBits));
    EXPECT_FALSE(Shown(page, g::kWmaQuality) || Shown(page, g::kWmaStereo));
    EXPECT_TRUE(sheet_.IsApplyEnabled());

    PressSheetButton(sheet_, wxID_OK);
    EXPECT_EQ(sheet_.Result(), platform::IDOK);
    WaitClosed();

    const std::pair<const char*, const char*> expected[] = {
        {"Fileformatwav", "1"}, {"Fileformatwma", "0"}, {"Fileformatmp3", "0"}, {"WavFrequency", "0"},
        {"WavBit", "0"},        {"WavMode", "0"},       {"WmaProfile", "1"},    {"Mp3Profile", "1"},
        {"Mp3Mode", "0"},       {"InputSource", "1"},   {"InputDevice", "virtual_mic"},
        {"Manual", "0"},        {"RecordVolume", "50"}, {"Pellow", "1"},        {"DefaultMic", "0"}};
    for (const auto& [name, value] : expected) EXPECT_EQ(Stored(name), value) << name;
    EXPECT_EQ(Stored("FolderPath"), saveFolder_);

    // Every stored value is one the settings table lists, as a text value.
    std::ifstream hive(fs::path(platform::RegistryFolder()) / "HKLM.reg");
    std::string line;
    std::set<std::string> names;
    bool inKey = false;
    while (std::getline(hive, line)) {
        if (!line.empty() && line[0] == '[') inKey = line == "[Software\\Murmelo]";
        if (!inKey || line.empty() || line[0] != '"') continue;
        const auto close = line.find("\"=");
        ASSERT_NE(close, std::string::npos) << line;
        const std::string name = line.substr(1, close - 1);
        names.insert(name);
        EXPECT_NE(app::FindSetting(name), nullptr) << name;
        EXPECT_EQ(line[close + 2], '"') << "not a text value: " << line;
    }
    EXPECT_GE(names.size(), 16u);

    // The encoder got the MP3 defaults; the main window was told.
    platform::RegKey lame;
    ASSERT_TRUE(lame.OpenForQuery(platform::Hive::CurrentUser, kLameRegistryKey));
    EXPECT_EQ(lame.QueryDword("Sample Rate"), 44100u);
    EXPECT_EQ(lame.QueryDword("Bitrate"), 128u);
    EXPECT_EQ(lame.QueryDword("Stereo Mode"), 0u);
    EXPECT_EQ(lame.QueryDword("Force Mono"), 0u);
    harness::PumpUntil([this] { return !messages_.empty(); }, 1s);
    EXPECT_EQ(messages_, std::vector<std::uint32_t>{options::WM_OPTIONS_APPLIED});
    EXPECT_TRUE(general_.m_CaptureGraph.m_bWav);
    EXPECT_EQ(general_.m_CaptureGraph.m_nWmaProfile, 1);
}

TEST_F(OptionsSheetTest, Mp3StoredKeepsItsCodes) {
    app::WriteSettings({{"Fileformatwav", "0"}, {"Fileformatmp3", "1"}, {"Mp3Profile", "3"}, {"Mp3Mode", "1"},
                        {"WavFrequency", "2"}, {"WmaProfile", "2"}},
                       true);
    wxWindow* page = Open();
    ASSERT_TRUE(page);
    EXPECT_FALSE(Checked(page, g::kRadioWav));
    EXPECT_FALSE(Checked(page, g::kRadioWma));
    EXPECT_FALSE(Shown(page, g::kMp3Quality) || Shown(page, g::kMp3Channels) || Shown(page, g::kRadioMp3));
    PressSheetButton(sheet_, wxID_OK);
    WaitClosed();
    EXPECT_EQ(Stored("Fileformatmp3"), "1");
    EXPECT_EQ(Stored("Mp3Profile"), "3");
    EXPECT_EQ(Stored("Mp3Mode"), "1");
    EXPECT_EQ(Stored("WavFrequency"), "2");
    EXPECT_EQ(Stored("WmaProfile"), "2");
    platform::RegKey lame;
    ASSERT_TRUE(lame.OpenForQuery(platform::Hive::CurrentUser, kLameRegistryKey));
    EXPECT_EQ(lame.QueryDword("Sample Rate"), 22050u);
    EXPECT_EQ(lame.QueryDword("Force Mono"), 1u);
}

TEST_F(OptionsSheetTest, CancelRestoresFromTheSettings) {
    wxWindow* page = Open();
    ASSERT_TRUE(page);
    Click(page, g::kRadioWma);
    Choose(page, g::kWmaQuality, 4);
    EXPECT_TRUE(general_.m_CaptureGraph.m_bWma);
    Click(page, g::kRadioManual);
    EXPECT_TRUE(general_.m_bManual);
    PressSheetButton(sheet_, wxID_CANCEL);
    EXPECT_EQ(sheet_.Result(), platform::IDCANCEL);
    EXPECT_FALSE(general_.m_bPageOpen);
    WaitClosed();
    EXPECT_TRUE(general_.m_CaptureGraph.m_bWav);
    EXPECT_FALSE(general_.m_CaptureGraph.m_bWma);
    EXPECT_EQ(general_.m_CaptureGraph.m_nWmaProfile, 1);
    EXPECT_FALSE(general_.m_bManual);
    EXPECT_EQ(Stored("Fileformatwma"), "0");
    EXPECT_TRUE(messages_.empty());
}

TEST_F(OptionsSheetTest, MicrophoneOnAnUnknownDeviceRefusesOk) {
    wxWindow* page = Open();
    ASSERT_TRUE(page);
    EXPECT_EQ(Selection(page, g::kInput), 1);
    Choose(page, g::kInput, 0);  // "Mic", a microphone line on a device that is neither SoundMAX nor Realtek
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, "Use other Input source");
    EXPECT_FALSE(sheet_.IsOkEnabled());
    EXPECT_FALSE(Enabled(page, g::kMicBuiltIn) || Enabled(page, g::kMicExternal) || Enabled(page, g::kMicLabel));
    PressSheetButton(sheet_, wxID_OK);
    EXPECT_TRUE(sheet_.IsShown());
    Choose(page, g::kInput, 1);
    EXPECT_TRUE(sheet_.IsOkEnabled());
    EXPECT_EQ(boxes_.size(), 1u);
}

TEST_F(OptionsSheetTest, SoundMaxMicrophoneStartsTheHelper) {
    general_.m_astrDeviceNames = {"SoundMAX HD Audio", "virtual_mic"};
    general_.m_nMicConfiguration = kMicConfigBuiltInAndExternal;
    app::WriteSettings({{"InputDevice", "SoundMAX HD Audio"}, {"InputSource", "0"}, {"Pellow", "1"}}, true);
    wxWindow* page = Open();
    ASSERT_TRUE(page);
    EXPECT_TRUE(Enabled(page, g::kMicBuiltIn) && Enabled(page, g::kMicExternal));
    EXPECT_TRUE(Checked(page, g::kMicBuiltIn));
    ASSERT_EQ(helpers_.size(), 1u);
    EXPECT_EQ(fs::path(helpers_[0]).filename(), "Pellow");
    Click(page, g::kMicExternal);
    ASSERT_EQ(helpers_.size(), 2u);
    EXPECT_EQ(fs::path(helpers_[1]).filename(), "Quillon");
    PressSheetButton(sheet_, wxID_OK);
    WaitClosed();
    EXPECT_EQ(Stored("Pellow"), "0");
    EXPECT_EQ(Stored("InputDevice"), "SoundMAX HD Audio");
}

// The real Quillon: without a sound card it reports (answered here) and keeps its window open,
// which the page hides once it shows.
TEST_F(OptionsSheetTest, StartedHelpersWindowIsHidden) {
    { std::ofstream(dir_ / "answers") << "ok\n"; }
    harness::ScopedEnv answers("MURMELO_UI_ANSWERS", (dir_ / "answers").string());
    std::vector<int> started;
    general_.m_startHelper = [&](const std::string& path) {
        helpers_.push_back(path);
        if (const int pid = platform::StartProgram(path, {}); pid > 0) started.push_back(pid);
    };
    general_.m_astrDeviceNames = {"SoundMAX HD Audio", "virtual_mic"};
    general_.m_nMicConfiguration = kMicConfigBuiltInAndExternal;
    app::WriteSettings({{"InputDevice", "SoundMAX HD Audio"}, {"InputSource", "0"}, {"Pellow", "1"}}, true);
    wxWindow* page = Open();
    ASSERT_TRUE(page);
    Click(page, g::kMicExternal);
    ASSERT_EQ(helpers_.size(), 2u);
    ASSERT_EQ(fs::path(helpers_[1]), harness::BinDir() / "Quillon");
    ASSERT_EQ(started.size(), 1u) << "Quillon did not start";

    platform::DesktopWindow window = 0;
    EXPECT_TRUE(harness::PumpUntil(
        [&] { return (window = platform::FindTopLevelWindow(options::kMicHelperCaption)) != 0 && !general_.m_helperHider.IsWatching(); },
        15s));
    ASSERT_NE(window, 0u) << "Quillon's window never showed";
    harness::PumpFor(300ms);
    Display* d = XOpenDisplay(nullptr);
    ASSERT_TRUE(d);
    XWindowAttributes attrs{};
    const bool exists = XGetWindowAttributes(d, window, &attrs);
    XCloseDisplay(d);
    EXPECT_TRUE(exists);
    EXPECT_EQ(attrs.map_state, IsUnmapped) << "the helper's window is still on the screen";

    // Hidden, it still takes a close request, which ends it.
    platform::PostCloseRequest(window);
    if (!harness::PumpUntil([&] { return platform::FindTopLevelWindow(options::kMicHelperCaption) == 0; }, 10s)) {
        ADD_FAILURE() << "Quillon did not end on a close request";
        for (int pid : started) kill(pid, SIGKILL);
    }
}

TEST_F(OptionsSheetTest, DeviceChangeAsksTheMainWindowForInputs) {
    wxWindow* page = Open();
    ASSERT_TRUE(page);
    Choose(page, g::kDevice, 0);
    EXPECT_EQ(messages_, std::vector<std::uint32_t>{options::WM_INPUT_DEVICE_CHANGED});
    auto* inputs = dynamic_cast<wxChoice*>(page->FindWindow(g::kInput));
    ASSERT_TRUE(inputs);
    ASSERT_EQ(inputs->GetCount(), 1u);
    EXPECT_EQ(inputs->GetString(0), "Monitor");
    EXPECT_EQ(inputs->GetSelection(), 0);
    EXPECT_EQ(general_.m_strCurrentInput, "Monitor");
    PressSheetButton(sheet_, wxID_OK);
    WaitClosed();
    EXPECT_EQ(Stored("InputDevice"), "Monitor of Null Output");
    EXPECT_EQ(Stored("InputSource"), "0");
}

TEST_F(OptionsSheetTest, UnusableFoldersAreRefusedWhenLeaving) {
    struct Case {
        std::string folder;
        std::string text;
        bool fallsBackToDefault;
    };
    const std::string longFolder = saveFolder_ + std::string(231 - saveFolder_.size() - 1, 'x') + "/";
    ASSERT_EQ(longFolder.size(), 231u);
    const Case cases[] = {
        {longFolder, SystemErrorText(82), false},
        {saveFolder_ + "missing/", SystemErrorText(3), true},
        {"/sys/", SystemErrorText(5), false},
    };
    for (const Case& c : cases) {
        app::WriteSetting("FolderPath", c.folder, true);
        boxes_.clear();
        wxWindow* page = Open();
        ASSERT_TRUE(page);
        EXPECT_EQ(Text(page, g::kFolder), c.folder);
        PressSheetButton(sheet_, wxID_OK);
        EXPECT_TRUE(sheet_.IsShown()) << c.folder;
        ASSERT_EQ(boxes_.size(), 1u) << c.folder;
        EXPECT_EQ(boxes_[0].text, c.text);
        EXPECT_EQ(general_.m_strSaveFolder, c.fallsBackToDefault ? defaultFolder_ : c.folder);
        EXPECT_EQ(fs::is_directory(defaultFolder_), c.fallsBackToDefault);
        EXPECT_EQ(Stored("FolderPath"), c.folder);  // nothing stored while refused
        PressSheetButton(sheet_, wxID_CANCEL);
        WaitClosed();
        fs::remove_all(defaultFolder_);
    }
}

// A network drive: in a mount namespace of this thread's own (the main thread, whose view
// /proc/self/mountinfo shows), a FUSE file system of type "fuse.sshfs" mounted at /mnt/nas. Its
// connection is closed at once, so anything touching it fails instead of waiting.
class NetworkDrive {
public:
    NetworkDrive() {
        if (unshare(CLONE_NEWNS) != 0) { fail("unshare"); return; }
        if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) { fail("private /"); return; }
        if (mount("tmpfs", "/mnt", "tmpfs", 0, "size=64k") != 0) { fail("tmpfs /mnt"); return; }
        mntCovered_ = true;
        if (mkdir("/mnt/nas", 0755) != 0) { fail("mkdir"); return; }
        const int fd = open("/dev/fuse", O_RDWR | O_CLOEXEC);
        if (fd < 0) { fail("/dev/fuse"); return; }
        const std::string options = "fd=" + std::to_string(fd) + ",rootmode=40000,user_id=0,group_id=0";
        const int rc = mount("nas:/export", "/mnt/nas", "fuse.sshfs", MS_NOSUID | MS_NODEV, options.c_str());
        close(fd);
        if (rc != 0) { fail("mount fuse.sshfs"); return; }
        mounted_ = true;
    }
    ~NetworkDrive() {
        if (mounted_) umount2("/mnt/nas", MNT_DETACH);
        if (mntCovered_) umount2("/mnt", MNT_DETACH);
    }
    bool ok() const { return mounted_; }
    const std::string& why() const { return why_; }

private:
    void fail(const char* what) { why_ = std::string(what) + ": " + std::strerror(errno); }
    bool mntCovered_ = false;
    bool mounted_ = false;
    std::string why_;
};

TEST_F(OptionsSheetTest, NetworkFolderIsRefusedAtBrowse) {
    NetworkDrive nas;
    if (!nas.ok()) GTEST_SKIP() << "cannot mount a network file system here: " << nas.why();
    ASSERT_EQ(platform::GetDriveType("/mnt/nas/recordings/"), platform::DriveType::Remote);

    wxWindow* page = Open();
    ASSERT_TRUE(page);
    folderAnswer_ = "/mnt/nas/recordings";
    Click(page, g::kBrowse);
    ASSERT_EQ(folderRequests_.size(), 1u);
    EXPECT_EQ(folderRequests_[0], saveFolder_);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, GetLocalizedMessage(options::MSG_DRIVE_NOT_ACCESSIBLE));
    EXPECT_EQ(Text(page, g::kFolder), defaultFolder_);
    EXPECT_EQ(general_.m_strSaveFolder, defaultFolder_);

    // A folder on a fixed drive is taken, with its closing separator.
    folderAnswer_ = (dir_ / "rec").string();
    Click(page, g::kBrowse);
    EXPECT_EQ(Text(page, g::kFolder), saveFolder_);
    EXPECT_EQ(boxes_.size(), 1u);
}

TEST_F(OptionsSheetTest, RecordingVolumeAndNaming) {
    wxWindow* page = Open();
    ASSERT_TRUE(page);
    auto* slider = dynamic_cast<wxSlider*>(page->FindWindow(g::kVolumeSlider));
    ASSERT_TRUE(slider);
    EXPECT_EQ(slider->GetValue(), 50);
    slider->SetValue(80);
    wxCommandEvent moved(wxEVT_SLIDER, g::kVolumeSlider);
    moved.SetEventObject(slider);
    moved.SetInt(80);
    slider->ProcessWindowEvent(moved);
    EXPECT_EQ(Text(page, g::kVolumeCaption), LoadResourceString(options::IDS_RECORD_VOLUME) + " 80%");
    Click(page, g::kRadioManual);
    PressSheetButton(sheet_, wxID_APPLY);
    EXPECT_TRUE(sheet_.IsShown());
    EXPECT_FALSE(sheet_.IsApplyEnabled());
    EXPECT_EQ(Stored("RecordVolume"), "80");
    EXPECT_EQ(Stored("Manual"), "1");
    EXPECT_EQ(general_.m_nRecordVolume, 80);
}

// --- Advanced page ------------------------------------------------------------------------------

TEST_F(OptionsSheetTest, ZeroLimitIsRefusedAndOneMinuteStored) {
    app::WriteSettings({{"UnlimitedRecording", "1"}, {"Hour", "0"}, {"Minute", "0"}}, true);
    wxWindow* page = Open(1);
    ASSERT_TRUE(page);
    EXPECT_EQ(Text(page, a::kFreeSpace), "1234MB");
    EXPECT_TRUE(Checked(page, a::kRadioLimit));
    EXPECT_TRUE(Enabled(page, a::kHours));
    EXPECT_FALSE(sheet_.SetActivePage(0));
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, LoadResourceString(options::IDS_LIMIT_TOO_SHORT));
    EXPECT_EQ(boxes_[0].caption, LoadResourceString(options::IDS_WARNING));
    EXPECT_EQ(sheet_.GetActiveIndex(), 1);

    Choose(page, a::kMinutes, 1);
    EXPECT_TRUE(sheet_.SetActivePage(0));
    EXPECT_EQ(Stored("UnlimitedRecording"), "1");
    EXPECT_EQ(Stored("Hour"), "0");
    EXPECT_EQ(Stored("Minute"), "1");
    EXPECT_EQ(advanced_.m_nMinutes, 1);
}

TEST_F(OptionsSheetTest, LimitRadiosRestoreStoredTimes) {
    app::WriteSettings({{"UnlimitedRecording", "1"}, {"Hour", "2"}, {"Minute", "30"}}, true);
    wxWindow* page = Open(1);
    ASSERT_TRUE(page);
    EXPECT_EQ(Selection(page, a::kHours), 2);
    Choose(page, a::kHours, 5);
    Choose(page, a::kMinutes, 7);
    Click(page, a::kRadioNoLimit);
    EXPECT_FALSE(Enabled(page, a::kHours) || Enabled(page, a::kMinutes));
    EXPECT_EQ(Selection(page, a::kHours), 2);
    Click(page, a::kRadioLimit);
    EXPECT_TRUE(Enabled(page, a::kHours));
    EXPECT_EQ(Selection(page, a::kHours), 2);
    EXPECT_EQ(Selection(page, a::kMinutes), 30);
}

TEST_F(OptionsSheetTest, CancelRestoresTheVisualizerType) {
    app::WriteSettings({{"VizState", "3"}}, true);
    wxWindow* page = Open(1);
    ASSERT_TRUE(page);
    // The skin's previews sit to the right of the visualizer radios.
    const wxPoint anchor = page->FindWindow(a::kRadioEqualizer)->GetPosition();
    const int previewTops[] = {-6, 34, 75};
    const int previewIds[] = {a::kPreviewEqualizer, a::kPreviewSpectrum, a::kPreviewGraph};
    for (int i = 0; i < 3; ++i) {
        auto* preview = dynamic_cast<wxStaticBitmap*>(page->FindWindow(previewIds[i]));
        ASSERT_TRUE(preview) << previewIds[i];
        EXPECT_EQ(preview->GetPosition(), wxPoint(anchor.x + 127, anchor.y + previewTops[i]));
        EXPECT_TRUE(preview->GetBitmap().IsOk()) << previewIds[i];
    }
    EXPECT_TRUE(Checked(page, a::kRadioEqualizer));
    EXPECT_EQ(GetVisualizerType(), 3);
    Click(page, a::kRadioSpectrum);
    EXPECT_EQ(GetVisualizerType(), 2);
    PressSheetButton(sheet_, wxID_CANCEL);
    EXPECT_EQ(GetVisualizerType(), 3);
    EXPECT_FALSE(advanced_.m_bPageOpen);
    EXPECT_EQ(Stored("VizState"), "3");
}

class AdvancedWithDriverTest : public OptionsSheetTest {
protected:
    void SetUp() override {
        OptionsSheetTest::SetUp();
        if (IsSkipped()) return;
        fake_.emplace((dir_ / "MicArrayFilter").string());
        ASSERT_TRUE(fake_->listening());
    }
    void Connect() {
        driver_.emplace((dir_ / "MicArrayFilter").string(), [this] { ++announcements_; });
        ASSERT_TRUE(driver_->IsPresent());
        advanced_.SetDriver(&*driver_);
        const MicConfigurationChoice choice = DecideMicConfiguration(*driver_, false);
        advanced_.m_nSpecialMode = kModeNone;
        advanced_.m_bNoSpeakerPhone = choice.noSpeakerPhone;
    }
    void TearDown() override {
        OptionsSheetTest::TearDown();
        driver_.reset();
        fake_.reset();
    }
    std::optional<FakeMicArrayDriver> fake_;
    std::optional<CMicArrayDriver> driver_;
    int announcements_ = 0;
};

TEST_F(AdvancedWithDriverTest, LeavingAppliesTheModeEvenWhenCancelled) {
    fake_->SetFilter(0, true, true);
    fake_->SetFilter(1, true, true);  // voice recording is on
    Connect();
    wxWindow* page = Open(1);
    ASSERT_TRUE(page);
    EXPECT_TRUE(Checked(page, a::kRadioModeVoice));
    for (int id : {a::kRadioModeNone, a::kRadioModeVoice, a::kRadioModeDirectional, a::kRadioModeSpeakerPhone})
        EXPECT_TRUE(Enabled(page, id)) << id;
    Click(page, a::kRadioModeDirectional);
    Click(page, a::kRadioSpectrum);
    EXPECT_FALSE(fake_->Enabled(3));
    EXPECT_TRUE(sheet_.SetActivePage(0));
    EXPECT_TRUE(fake_->Enabled(3));
    EXPECT_FALSE(fake_->Enabled(0) || fake_->Enabled(1) || fake_->Enabled(2));
    EXPECT_EQ(announcements_, 1);
    PressSheetButton(sheet_, wxID_CANCEL);
    WaitClosed();
    EXPECT_TRUE(fake_->Enabled(3));
    EXPECT_EQ(Stored("VizState"), "2");
    EXPECT_EQ(GetVisualizerType(), 2);
}

TEST_F(AdvancedWithDriverTest, NoSpeakerPhoneDisablesDirectionalToo) {
    fake_->SetFilter(2, false, false);
    Connect();
    EXPECT_TRUE(advanced_.m_bNoSpeakerPhone);
    wxWindow* page = Open(1);
    ASSERT_TRUE(page);
    EXPECT_FALSE(Enabled(page, a::kRadioModeSpeakerPhone));
    EXPECT_FALSE(Enabled(page, a::kRadioModeDirectional));
    EXPECT_TRUE(Enabled(page, a::kRadioModeVoice));
    EXPECT_TRUE(Checked(page, a::kRadioModeNone));

    // A mode switched elsewhere shows without marking the page changed.
    advanced_.m_nDriverMode = kModeVoiceRecording;
    advanced_.SyncSpecialRecordingRadios();
    EXPECT_TRUE(Checked(page, a::kRadioModeVoice));
    EXPECT_EQ(advanced_.m_nSpecialMode, kModeVoiceRecording);
    EXPECT_FALSE(advanced_.IsModified());
}

TEST_F(OptionsSheetTest, WithoutDriverModeRadiosAreDisabledAndNothingIsSent) {
    wxWindow* page = Open(1);
    ASSERT_TRUE(page);
    for (int id : {a::kRadioModeNone, a::kRadioModeVoice, a::kRadioModeDirectional, a::kRadioModeSpeakerPhone})
        EXPECT_FALSE(Enabled(page, id)) << id;
    EXPECT_TRUE(sheet_.SetActivePage(0));
    EXPECT_EQ(advanced_.m_nSpecialMode, kModeNoDriver);
}

TEST_F(OptionsSheetTest, VolumeControlIsRaisedOrStarted) {
    wxWindow* page = Open(1);
    ASSERT_TRUE(page);
    Click(page, a::kRecordingVolume);
    Click(page, a::kPlaybackVolume);
    EXPECT_EQ(started_, (std::vector<std::string>{"pavucontrol -t 4", "pavucontrol"}));

    // An open volume control is left as it is.
    auto* control = new wxFrame(nullptr, wxID_ANY, "Volume Control");
    control->Show();
    ASSERT_TRUE(harness::PumpUntil([] { return platform::FindTopLevelWindow("Volume Control") != 0; }, 3s));
    Click(page, a::kRecordingVolume);
    Click(page, a::kPlaybackVolume);
    EXPECT_EQ(started_.size(), 2u);
    control->Destroy();
}

}  // namespace
