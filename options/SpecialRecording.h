// The small dialog that explains the four special recording modes (template 152); its button 1011
// closes it.
#pragma once

class wxDialog;
class wxWindow;

class CSpecialRecording {
public:
    CSpecialRecording() = default;
    CSpecialRecording(const CSpecialRecording&) = delete;
    CSpecialRecording& operator=(const CSpecialRecording&) = delete;

    // Shows the dialog modally; IDOK when closed with its button, IDCANCEL otherwise (also when the
    // template is missing).
    int DoModal(wxWindow* parent);
    // The dialog while it is shown (null otherwise).
    wxDialog* GetWindow() const { return m_pDlg; }

private:
    wxDialog* m_pDlg = nullptr;
};
