// A real main window in the test process, under the private display and sound server, with its own
// settings, home folder and save folder; message boxes and dialogs are answered and remembered.
// Shared by the main window's device-change tests and the hand-off tests.
#pragma once
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wx/event.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/SettingsStore.h"
#include "mainwnd/RecorderDlg.h"
#include "platform/ResourceModule.h"
#include "platform/Ui.h"
#include "tests/harness/Harness.h"

namespace mainwndtest {

using namespace std::chrono_literals;

// A click as the mouse makes it: press and release over the control's middle.
inline void Click(wxWindow* w) {
    ASSERT_TRUE(w);
    ASSERT_TRUE(w->IsEnabled()) << "control " << w->GetId() << " is disabled";
    const wxPoint mid(w->GetSize().x / 2, w->GetSize().y / 2);
    for (wxEventType type : {wxEVT_ENTER_WINDOW, wxEVT_MOTION, wxEVT_LEFT_DOWN, wxEVT_LEFT_UP}) {
        wxMouseEvent e(type);
        e.SetPosition(mid);
        e.SetEventObject(w);
        e.m_leftDown = type == wxEVT_LEFT_DOWN;
        w->GetEventHandler()->ProcessEvent(e);
    }
    harness::PumpFor(std::chrono::milliseconds(50));
}

// A command as an accelerator delivers it (Ctrl+E, Ctrl+O, ...).
inline void Command(wxWindow* w, int id) {
    wxCommandEvent e(wxEVT_MENU, id);
    e.SetEventObject(w);
    w->GetEventHandler()->ProcessEvent(e);
}

// A key as the dialog's key hook sees it.
inline void Key(wxWindow* w, int keyCode) {
    wxKeyEvent e(wxEVT_CHAR_HOOK);
    e.m_keyCode = keyCode;
    e.SetEventObject(w);
    w->GetEventHandler()->ProcessEvent(e);
}

// A sine played into a sound-server sink (a null sink whose monitor some source records).
class SinkTone {
public:
    SinkTone(const std::string& sink, double frequencyHz) {
        const std::string freq = "freq=" + std::to_string(static_cast<int>(frequencyHz));
        const std::string device = "device=" + sink;
        pid_ = fork();
        if (pid_ == 0) {
            execlp("gst-launch-1.0", "gst-launch-1.0", "-q", "audiotestsrc", "is-live=true", freq.c_str(),
                   "volume=0.5", "!", "audio/x-raw,rate=44100,channels=2", "!", "pulsesink", device.c_str(),
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        harness::PumpFor(std::chrono::milliseconds(600));
    }
    ~SinkTone() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    SinkTone(const SinkTone&) = delete;
    SinkTone& operator=(const SinkTone&) = delete;

private:
    pid_t pid_ = -1;
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!harness::HaveDisplay() || !harness::HaveSoundServer()) GTEST_SKIP() << "needs the private session";
        ASSERT_TRUE(platform::ResourceModule::IsLoaded() ||
                    platform::ResourceModule::Load((harness::BinDir() / "Lexel.so").string()));
        save = config.path() / "rec";
        std::filesystem::create_directories(save);
        settings = {{"FolderPath", save.string() + "/"}, {"Fileformatwav", "1"}, {"Fileformatwma", "0"},
                    {"Fileformatmp3", "0"}, {"WavFrequency", "0"}, {"WavMode", "0"}, {"WavBit", "0"},
                    {"Manual", "0"}, {"DefaultMic", "0"}, {"XPos", "0"}, {"YPos", "0"},
                    {"UnlimitedRecording", "0"}, {"LastFile", ""}, {"PlayVolume", "-1000"}, {"RecorderMute", "0"},
                    // The level reaches the session's default source, which every recording test uses.
                    {"RecordVolume", "100"}};
        platform::SetUiAnswerer([this](const platform::UiRequest& r) -> std::optional<std::string> {
            asked.push_back(r);
            return std::string(r.kind == platform::UiKind::MessageBox ? "ok" : "cancel");
        });
    }
    void TearDown() override {
        Close();
        platform::SetUiAnswerer(nullptr);
    }

    void Set(const std::string& name, const std::string& value) {
        for (auto& [k, v] : settings)
            if (k == name) {
                v = value;
                return;
            }
        settings.emplace_back(name, value);
    }
    void Open(std::vector<std::string> args = {}) {
        ASSERT_TRUE(app::WriteSettings(settings, true));
        dlg = new CRecorderDlg(nullptr);
        dlg->SetCommandLineArguments(std::move(args));
        ASSERT_TRUE(dlg->Create(nullptr));
        dlg->Show();
        harness::PumpFor(std::chrono::milliseconds(300));
    }
    void Close() {
        if (!dlg) return;
        dlg->OnCloseCommand();
        dlg->Destroy();
        dlg = nullptr;
        harness::PumpFor(std::chrono::milliseconds(100));
    }
    // Message boxes asked since the last call.
    std::vector<std::string> TakeMessages() {
        std::vector<std::string> texts;
        for (const auto& r : asked)
            if (r.kind == platform::UiKind::MessageBox) texts.push_back(r.text);
        asked.clear();
        return texts;
    }
    std::filesystem::path DefaultSaveFolder() const { return config.path() / "My Recorded Files"; }

    harness::TempDir config;
    harness::ScopedEnv configEnv{"MURMELO_CONFIG_DIR", config.path().string()};
    harness::ScopedEnv homeEnv{"HOME", config.path().string()};
    std::filesystem::path save;
    std::vector<std::pair<std::string, std::string>> settings;
    std::vector<platform::UiRequest> asked;
    CRecorderDlg* dlg = nullptr;
};

}  // namespace mainwndtest
