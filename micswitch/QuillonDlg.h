// Quillon's main dialog (template 102): turns the microphone switch on and closes at once, or shows
// why it could not and stays open until OK.
#pragma once
#include <wx/dialog.h>
#include <wx/icon.h>

#include "micswitch/MixerSwitch.h"

class wxCheckBox;

class CQuillonDlg : public wxDialog {
public:
    explicit CQuillonDlg(wxWindow* parent = nullptr);

    // What the start found (for the log of tests; the dialog shows only the error texts).
    quillon::MixerStatus Status() const { return m_status; }

private:
    void OnInitDialog(wxInitDialogEvent& event);
    void OnSysCommand(wxCommandEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);
    void OnShowSystemMenu(wxCommandEvent& event);
    void OnCheckExtMic(wxCommandEvent& event);
    void OnOK(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);
    void ShowSystemMenu(const wxPoint& where);

    wxIcon m_hIcon;
    wxCheckBox* m_chkExtMic = nullptr;
    quillon::CMixerSwitch m_mixer;
    quillon::MixerStatus m_status = quillon::MixerStatus::NoMixer;
};

// Shows one of the error texts with only an OK button (answered from MURMELO_UI_ANSWERS and logged
// to MURMELO_UI_LOG when those are set, like the recorder's message boxes).
void QuillonMessageBox(wxWindow* parent, const wxString& text);
