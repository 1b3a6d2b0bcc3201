#include "options/OptionsPage.h"

#include <wx/checkbox.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include "options/Options.h"
#include "platform/ResourceModule.h"

COptionsPage::COptionsPage(unsigned templateId) : m_nTemplateId(templateId) {}

COptionsPage::~COptionsPage() {
    // The sheet normally destroys the window first; a page that dies with its window still shown
    // must not leave a handler pointing at it.
    *m_alive = false;
    m_target.Reset();
}

std::string COptionsPage::Caption() const { return platform::ResourceModule::TemplateCaption(m_nTemplateId); }

bool COptionsPage::CreatePageWindow(wxWindow* parent) {
    if (m_pWnd) return true;
    OnCreate();
    auto* panel = new wxPanel();
    if (!platform::ResourceModule::LoadPanel(panel, parent, m_nTemplateId)) {
        delete panel;
        return false;
    }
    m_pWnd = panel;
    m_bModified = false;
    m_target.Attach(panel);
    panel->Bind(wxEVT_DESTROY, [this, panel, alive = m_alive](wxWindowDestroyEvent& event) {
        event.Skip();
        if (*alive && event.GetEventObject() == panel) HandleDestroy(panel);
    });
    OnInitDialog();
    return true;
}

void COptionsPage::HandleDestroy(wxWindow* window) {
    if (window != m_pWnd) return;
    m_target.Reset();
    OnDestroy();
    m_pWnd = nullptr;
    m_bModified = false;
}

void COptionsPage::SetModified(bool changed) {
    m_bModified = changed;
    if (m_pSheet) m_pSheet->PageModifiedChanged();
}

wxWindow* COptionsPage::Item(int id) const { return m_pWnd ? m_pWnd->FindWindow(id) : nullptr; }

void COptionsPage::ShowItem(int id, bool show) {
    if (wxWindow* w = Item(id)) w->Show(show);
}

void COptionsPage::EnableItem(int id, bool enable) {
    if (wxWindow* w = Item(id)) w->Enable(enable);
}

void COptionsPage::CheckItem(int id, bool check) {
    if (auto* radio = ItemAs<wxRadioButton>(id)) {
        radio->SetValue(check);
    } else if (auto* box = ItemAs<wxCheckBox>(id)) {
        box->SetValue(check);
    }
}

bool COptionsPage::IsItemChecked(int id) const {
    if (auto* radio = ItemAs<wxRadioButton>(id)) return radio->GetValue();
    if (auto* box = ItemAs<wxCheckBox>(id)) return box->GetValue();
    return false;
}

void COptionsPage::SetItemText(int id, const std::string& text) {
    if (auto* edit = ItemAs<wxTextCtrl>(id)) {
        edit->ChangeValue(wxString::FromUTF8(text));
    } else if (wxWindow* w = Item(id)) {
        w->SetLabel(wxString::FromUTF8(text));
    }
}

std::string COptionsPage::GetItemText(int id) const {
    if (auto* edit = ItemAs<wxTextCtrl>(id)) return edit->GetValue().utf8_string();
    if (wxWindow* w = Item(id)) return w->GetLabel().utf8_string();
    return {};
}
