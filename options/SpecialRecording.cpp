#include "options/SpecialRecording.h"

#include <wx/button.h>
#include <wx/dialog.h>

#include "platform/ResourceModule.h"
#include "platform/Ui.h"

namespace {
constexpr int kOkButton = 1011;
}

int CSpecialRecording::DoModal(wxWindow* parent) {
    if (m_pDlg) return platform::IDCANCEL;
    wxDialog dlg;
    if (!platform::ResourceModule::LoadDialog(&dlg, parent, 152)) return platform::IDCANCEL;
    dlg.Bind(wxEVT_BUTTON, [&dlg](wxCommandEvent&) { dlg.EndModal(platform::IDOK); }, kOkButton);
    dlg.SetEscapeId(wxID_CANCEL);
    m_pDlg = &dlg;
    const int result = dlg.ShowModal();
    m_pDlg = nullptr;
    return result == platform::IDOK ? platform::IDOK : platform::IDCANCEL;
}
