#include "micswitch/QuillonDlg.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/statbmp.h>
#include <wx/xrc/xmlres.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "micswitch/QuillonResources.h"

using namespace quillon;

namespace {

constexpr int kShowSystemMenuId = 0x7F00;

// Dialog 100, the About box.
class CAboutDlg : public wxDialog {
public:
    explicit CAboutDlg(wxWindow* parent) {
        LoadDialogResources();
        if (!wxXmlResource::Get()->LoadDialog(this, parent, "100")) return;
        SetClientSize(ConvertDialogToPixels(wxSize(182, 34)));
        if (auto* icon = dynamic_cast<wxStaticBitmap*>(FindWindow(IDR_MAINFRAME)))
            icon->SetBitmap(wxBitmap(ProgramIcon()));
        SetAffirmativeId(IDOK);
        Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { EndModal(IDOK); }, IDOK);
    }
};

std::size_t g_answerLine = 0;

}  // namespace

void QuillonMessageBox(wxWindow* parent, const wxString& text) {
    if (const char* log = std::getenv("MURMELO_UI_LOG"); log && *log) {
        std::ofstream out(log, std::ios::app);
        out << "message\t" << kAppTitle << '\t' << text.utf8_string() << '\n';
    }
    if (const char* answers = std::getenv("MURMELO_UI_ANSWERS"); answers && *answers) {
        // Only OK can be answered here; the line is taken so later boxes get later lines.
        ++g_answerLine;
        return;
    }
    wxMessageBox(text, kAppTitle, wxOK, parent);
}

CQuillonDlg::CQuillonDlg(wxWindow* parent) {
    LoadDialogResources();
    wxXmlResource::Get()->LoadDialog(this, parent, wxString::Format("%d", IDD_QUILLON_DIALOG));
    SetClientSize(ConvertDialogToPixels(wxSize(82, 39)));
    m_hIcon = ProgramIcon();
    m_chkExtMic = dynamic_cast<wxCheckBox*>(FindWindow(IDC_CHECK_EXTMIC));
    SetAffirmativeId(IDOK);

    Bind(wxEVT_INIT_DIALOG, &CQuillonDlg::OnInitDialog, this);
    Bind(wxEVT_MENU, &CQuillonDlg::OnSysCommand, this, IDM_ABOUTBOX, IDM_ABOUTBOX + 0xF);
    Bind(wxEVT_MENU, &CQuillonDlg::OnShowSystemMenu, this, kShowSystemMenuId);
    Bind(wxEVT_CONTEXT_MENU, &CQuillonDlg::OnContextMenu, this);
    Bind(wxEVT_CHECKBOX, &CQuillonDlg::OnCheckExtMic, this, IDC_CHECK_EXTMIC);
    Bind(wxEVT_BUTTON, &CQuillonDlg::OnOK, this, IDOK);
    Bind(wxEVT_CLOSE_WINDOW, &CQuillonDlg::OnClose, this);

    // Alt+Space opens the window menu, as the system menu would.
    wxAcceleratorEntry accel(wxACCEL_ALT, WXK_SPACE, kShowSystemMenuId);
    SetAcceleratorTable(wxAcceleratorTable(1, &accel));
}

void CQuillonDlg::OnInitDialog(wxInitDialogEvent& event) {
    event.Skip();
    SetIcon(m_hIcon);

    m_status = m_mixer.Open();
    switch (m_status) {
    case MixerStatus::NoMixer: QuillonMessageBox(this, kNoMixerText); return;
    case MixerStatus::OpenFailed: QuillonMessageBox(this, kOpenFailedText); return;
    case MixerStatus::CapsFailed: QuillonMessageBox(this, kCapsFailedText); return;
    case MixerStatus::NoSources:
    case MixerStatus::NoMicrophoneLine:
    case MixerStatus::NoSwitch: return;
    case MixerStatus::SwitchFound: break;
    }

    if (m_chkExtMic) m_chkExtMic->SetValue(true);
    if (!m_mixer.SetSwitch(1)) {
        // The card refused: leave the dialog open rather than end as though the switch were on.
        if (m_chkExtMic) m_chkExtMic->SetValue(m_mixer.SwitchValue() != 0);
        return;
    }
    if (m_chkExtMic) m_chkExtMic->SetValue(true);
    // Close as if OK had been pressed, once the dialog's loop runs.
    wxCommandEvent ok(wxEVT_BUTTON, IDOK);
    ok.SetEventObject(this);
    wxPostEvent(this, ok);
}

void CQuillonDlg::OnSysCommand(wxCommandEvent& event) {
    if ((event.GetId() & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about(this);
        about.ShowModal();
    } else {
        event.Skip();
    }
}

void CQuillonDlg::ShowSystemMenu(const wxPoint& where) {
    const wxString about = LoadResourceString(IDS_ABOUTBOX);
    if (about.empty()) return;
    wxMenu menu;
    menu.AppendSeparator();
    menu.Append(IDM_ABOUTBOX, about);
    PopupMenu(&menu, where);
}

void CQuillonDlg::OnContextMenu(wxContextMenuEvent& event) {
    wxPoint where = event.GetPosition();
    ShowSystemMenu(where == wxDefaultPosition ? wxDefaultPosition : ScreenToClient(where));
}

void CQuillonDlg::OnShowSystemMenu(wxCommandEvent&) { ShowSystemMenu(wxPoint(0, 0)); }

void CQuillonDlg::OnCheckExtMic(wxCommandEvent&) {
    if (!m_mixer.HasSwitch()) {
        if (m_chkExtMic) m_chkExtMic->SetValue(false);
        return;
    }
    const long value = m_mixer.ToggleSwitch();
    if (m_chkExtMic) m_chkExtMic->SetValue(value != 0);
}

void CQuillonDlg::OnOK(wxCommandEvent&) {
    if (IsModal()) EndModal(IDOK);
}

void CQuillonDlg::OnClose(wxCloseEvent&) {
    if (IsModal()) EndModal(wxID_CANCEL);
    m_mixer.Close();
}
