#include "app/AboutDlg.h"

#include <wx/button.h>
#include <wx/stattext.h>

#include "platform/ResourceModule.h"

namespace {
constexpr int kIdOk = 1;
constexpr int kIdVersion = 1078;
constexpr unsigned kAboutTemplate = 147;
}  // namespace

CAboutDlg::CAboutDlg(wxWindow* parent) {
    created_ = platform::ResourceModule::LoadDialog(this, parent, kAboutTemplate);
    if (!created_) return;
    if (auto* version = dynamic_cast<wxStaticText*>(FindWindow(kIdVersion))) version->SetLabel("1.0.1.38");
    else if (auto* any = FindWindow(kIdVersion)) any->SetLabel("1.0.1.38");
    // The template's OK button carries ID 1; Enter and Esc both end the box through it.
    SetAffirmativeId(kIdOk);
    SetEscapeId(kIdOk);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { EndModal(wxID_OK); }, kIdOk);
}

int CAboutDlg::DoModal() { return created_ ? ShowModal() : wxID_CANCEL; }
