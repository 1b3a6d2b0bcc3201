// The about box: template 147 of the resource module, with the program's version in control 1078.
#pragma once
#include <wx/dialog.h>

class CAboutDlg : public wxDialog {
public:
    explicit CAboutDlg(wxWindow* parent);
    // Runs the box modally; nothing happens when the template is missing.
    int DoModal();

private:
    bool created_ = false;
};
