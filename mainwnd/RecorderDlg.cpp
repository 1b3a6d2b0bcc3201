#include "mainwnd/RecorderDlg.h"

#include <wx/menu.h>

#include "app/AboutDlg.h"
#include "app/HandOver.h"
#include "app/SettingsStore.h"
#include "platform/DesktopWindows.h"
#include "platform/ResourceModule.h"

namespace {
constexpr unsigned kMainTemplate = 102;
constexpr unsigned kAboutString = 101;
// Fixed dialog base units, so that template 102 gives a 331 x 236 client whatever font stands in.
constexpr int kBaseUnitX = 7;
constexpr int kBaseUnitY = 16;
}  // namespace

CRecorderDlg::CRecorderDlg(wxWindow* parent) {}

CRecorderDlg::~CRecorderDlg() { OnDestroyWindow(); }

bool CRecorderDlg::Create(wxWindow* parent) {
    if (!platform::ResourceModule::LoadDialog(this, parent, kMainTemplate, kBaseUnitX, kBaseUnitY)) return false;
    created_ = true;
    return OnInitDialog();
}

int CRecorderDlg::DoModal() { return created_ ? ShowModal() : wxID_CANCEL; }

bool CRecorderDlg::OnInitDialog() {
    target_.Attach(this);
    AppendAboutToContextMenu();
    SetWindowIcons();
    RegisterDeviceNotification();
    SetOptionsSheetTitle();
    SetWindowStyles();
    RegisterDropTarget();
    ComputeDefaultSaveFolder();
    FillProgramFolder();
    RegisterMp3Encoder();
    BuildSkinAndControls();
    GiveGeneralPageWindow();
    DecideMicConfiguration();
    ShowSpecialRecordingMode();
    if (!ListCaptureDevices()) return false;
    LoadSettings();
    ChooseFirstFile();
    CheckSaveFolder();
    WriteEncoderDefaults();
    PrepareFirstRecording();

    Bind(wxEVT_CHAR_HOOK, &CRecorderDlg::OnCharHook, this);
    Bind(wxEVT_CONTEXT_MENU, [this](wxContextMenuEvent& e) {
        wxPoint at = e.GetPosition();
        ShowContextMenu(at == wxDefaultPosition ? wxPoint(0, 0) : ScreenToClient(at));
    });
    Bind(wxEVT_RIGHT_UP, [this](wxMouseEvent& e) { ShowContextMenu(e.GetPosition()); });
    for (auto type : {wxEVT_BUTTON, wxEVT_MENU}) {
        Bind(type, [this](wxCommandEvent&) { OnCloseCommand(); }, IDC_CLOSE);
        Bind(type, [this](wxCommandEvent&) { OnHelp(); }, IDC_HELP);
        Bind(type, [this](wxCommandEvent&) { OnOpenFile(); }, IDC_OPEN_FILE);
        Bind(type, [this](wxCommandEvent&) { OnSettings(); }, IDC_SETTINGS);
        Bind(type, [this](wxCommandEvent&) { OnEditFile(); }, IDC_EDIT_FILE);
        Bind(type, [this](wxCommandEvent&) { Iconize(true); }, IDC_MINIMIZE);
    }
    // A dialog's own close (window manager, Alt+F4) takes the close command's path.
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { OnCloseCommand(); });
    InstallCopyDataReceiver();
    return true;
}

// 2: the context menu stands for the system menu; it ends with a separator and About.
void CRecorderDlg::AppendAboutToContextMenu() { m_strAboutText = platform::ResourceModule::LoadString(kAboutString); }

void CRecorderDlg::SetWindowIcons() {}
void CRecorderDlg::RegisterDeviceNotification() {}
void CRecorderDlg::SetOptionsSheetTitle() {}
void CRecorderDlg::SetWindowStyles() {}
void CRecorderDlg::RegisterDropTarget() {}
void CRecorderDlg::ComputeDefaultSaveFolder() {}
void CRecorderDlg::FillProgramFolder() {}
void CRecorderDlg::RegisterMp3Encoder() {}

void CRecorderDlg::BuildSkinAndControls() {
    // The title is what a second instance looks for.
    SetTitle("Murmelo");
}

void CRecorderDlg::GiveGeneralPageWindow() {}
void CRecorderDlg::DecideMicConfiguration() {}
void CRecorderDlg::ShowSpecialRecordingMode() {}
bool CRecorderDlg::ListCaptureDevices() { return true; }

void CRecorderDlg::LoadSettings() {
    app::StartupSettings s = app::LoadStartupSettings();
    if (s.playVolume) m_nPlayVolume = *s.playVolume;
    if (s.muted) m_bMuted = *s.muted;
}

void CRecorderDlg::ChooseFirstFile() {}
void CRecorderDlg::CheckSaveFolder() {}
void CRecorderDlg::WriteEncoderDefaults() {}
void CRecorderDlg::PrepareFirstRecording() {}

void CRecorderDlg::InstallCopyDataReceiver() {
    platform::DesktopMessageHandlers handlers;
    handlers.onCopyData = [this](std::uintptr_t, const std::vector<std::uint8_t>& data) {
        const std::string line = app::DecodeHandOverRecord(data);
        app::LogReceivedCommandLine(line);
        OnCopyDataCommandLine(line);
    };
    platform::InstallDesktopMessageReceiver(this, std::move(handlers));
}

bool CRecorderDlg::OnCopyDataCommandLine(const std::string& commandLine) { return true; }

// --- destruction -----------------------------------------------------------------------------

void CRecorderDlg::OnDestroyWindow() {
    if (!created_ || destroyed_) return;
    destroyed_ = true;
    platform::RemoveDesktopMessageReceiver(this);
    CloseOpenedWindows();
    SaveSettings();
    StopEverything();
    ReleaseCaptureDevices();
    FreeSampleBuffer();
    EmptyFileList();
    DeleteKeptImages();
    UnregisterDeviceNotification();
    target_.Reset();
}

void CRecorderDlg::CloseOpenedWindows() {
    for (const char* title : {"Quarnet Murmelo", "Recording Control", "Volume Control", "Master Volume"}) {
        if (auto w = platform::FindTopLevelWindow(title)) platform::PostCloseRequest(w);
    }
}

void CRecorderDlg::SaveSettings() {
    app::CloseTimeSettings values;
    values.lastFile = m_strLastFile;
    values.playVolume = m_nPlayVolume;
    values.muted = m_bMuted;
    const wxPoint at = GetPosition();
    values.xPos = at.x;
    values.yPos = at.y;
    app::SaveCloseTimeSettings(values);
}

void CRecorderDlg::SaveSettingsForLostDisplay() {
    if (!created_ || destroyed_) return;
    destroyed_ = true;
    SaveSettings();
}

void CRecorderDlg::StopEverything() { OnStop(); }
void CRecorderDlg::ReleaseCaptureDevices() {}
void CRecorderDlg::FreeSampleBuffer() {}
void CRecorderDlg::EmptyFileList() {}
void CRecorderDlg::DeleteKeptImages() {}
void CRecorderDlg::UnregisterDeviceNotification() {}

// --- commands --------------------------------------------------------------------------------

void CRecorderDlg::OnCloseCommand() {
    OnStop();
    ReleaseCaptureDevices();
    if (IsModal()) EndModal(wxID_OK);
}

void CRecorderDlg::OnStop() {}
void CRecorderDlg::OnHelp() {}
void CRecorderDlg::OnOpenFile() {}
void CRecorderDlg::OnSettings() {}
void CRecorderDlg::OnEditFile() {}

void CRecorderDlg::OnSysCommand(int id) {
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about(this);
        about.DoModal();
    } else if (id == SC_MINIMIZE) {
        Iconize(true);
    } else if (id == SC_CLOSE) {
        OnCloseCommand();
    }
}

void CRecorderDlg::ShowContextMenu(const wxPoint& at) {
    wxMenu menu;
    menu.Append(SC_MINIMIZE, "Minimize");
    menu.Append(SC_CLOSE, "Close");
    if (!m_strAboutText.empty()) {
        menu.AppendSeparator();
        menu.Append(IDM_ABOUTBOX, wxString::FromUTF8(m_strAboutText));
    }
    const int chosen = GetPopupMenuSelectionFromUser(menu, at);
    if (chosen != wxID_NONE) OnSysCommand(chosen);
}

void CRecorderDlg::OnCharHook(wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    if (key == WXK_ESCAPE || key == WXK_RETURN || key == WXK_NUMPAD_ENTER) return;  // never close through them
    if (key == WXK_F1) {
        OnHelp();
        return;
    }
    if (key == WXK_SPACE && event.GetModifiers() == wxMOD_ALT) {
        ShowContextMenu(wxPoint(0, 0));
        return;
    }
    event.Skip();
}
