#include "options/Options.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/notebook.h>
#include <wx/panel.h>
#include <wx/sizer.h>

#include "options/OptionsPage.h"
#include "platform/ResourceModule.h"
#include "platform/Ui.h"

COptions::COptions(const std::string& caption) : m_strTitle(caption) {}

COptions::~COptions() {
    if (m_pDlg) {
        wxDialog* dlg = m_pDlg;
        m_pDlg = nullptr;
        delete dlg;
    }
}

void COptions::SetTitle(const std::string& title) {
    m_strTitle = title;
    if (m_pDlg) m_pDlg->SetTitle(wxString::FromUTF8(title));
}

void COptions::AddPage(COptionsPage* page) {
    if (!page || std::find(m_pages.begin(), m_pages.end(), page) != m_pages.end()) return;
    page->SetSheet(this);
    m_pages.push_back(page);
}

COptionsPage* COptions::GetPage(int index) const {
    return index >= 0 && index < GetPageCount() ? m_pages[static_cast<std::size_t>(index)] : nullptr;
}

bool COptions::Build(wxWindow* parent) {
    if (m_pDlg || m_pages.empty()) return false;
    m_nResult = 0;
    m_nActive = 0;
    m_pDlg = new wxDialog(parent, wxID_ANY, wxString::FromUTF8(m_strTitle), wxDefaultPosition, wxDefaultSize,
                          wxDEFAULT_DIALOG_STYLE);
    auto* top = new wxBoxSizer(wxVERTICAL);
    m_pBook = new wxNotebook(m_pDlg, wxID_ANY);

    // Every tab gets room for the largest template.
    wxSize pageSize(0, 0);
    for (COptionsPage* page : m_pages) {
        if (auto rect = platform::ResourceModule::TemplateSize(page->TemplateId())) {
            pageSize.IncTo(m_pDlg->ConvertDialogToPixels(wxSize(rect->width, rect->height)));
        }
    }
    m_containers.clear();
    for (COptionsPage* page : m_pages) {
        auto* container = new wxPanel(m_pBook, wxID_ANY);
        container->SetSizer(new wxBoxSizer(wxVERTICAL));
        container->SetMinSize(pageSize);
        m_containers.push_back(container);
        m_pBook->AddPage(container, wxString::FromUTF8(page->Caption()));
    }
    top->Add(m_pBook, 1, wxEXPAND | wxALL, 7);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    m_pOk = new wxButton(m_pDlg, wxID_OK);
    auto* cancel = new wxButton(m_pDlg, wxID_CANCEL);
    m_pApply = new wxButton(m_pDlg, wxID_APPLY);
    m_pApply->Disable();
    buttons->AddStretchSpacer();
    buttons->Add(m_pOk, 0, wxLEFT, 6);
    buttons->Add(cancel, 0, wxLEFT, 6);
    buttons->Add(m_pApply, 0, wxLEFT, 6);
    top->Add(buttons, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 7);
    m_pDlg->SetSizer(top);
    m_pOk->SetDefault();

    m_pBook->Bind(wxEVT_NOTEBOOK_PAGE_CHANGING, [this](wxBookCtrlEvent& event) {
        if (event.GetEventObject() != m_pBook || m_bChanging) return;
        if (event.GetSelection() == m_nActive) return;
        COptionsPage* page = GetActivePage();
        if (page && page->HasWindow() && !page->OnKillActive()) {
            event.Veto();
            // Keep the tab row on the page that refused to be left.
            m_pDlg->CallAfter([this] { ShowActiveTab(); });
        }
    });
    m_pBook->Bind(wxEVT_NOTEBOOK_PAGE_CHANGED, [this](wxBookCtrlEvent& event) {
        if (event.GetEventObject() != m_pBook || m_bChanging) return;
        if (event.GetSelection() != m_nActive) ActivatePage(event.GetSelection());
    });
    m_pDlg->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnOk(); }, wxID_OK);
    m_pDlg->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnCancel(); }, wxID_CANCEL);
    m_pDlg->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnApply(); }, wxID_APPLY);
    m_pDlg->Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { OnCancel(); });

    if (!ActivatePage(0)) {
        wxDialog* dlg = m_pDlg;
        m_pDlg = nullptr;
        delete dlg;
        return false;
    }
    m_pDlg->Fit();
    m_pDlg->CentreOnParent();
    return true;
}

bool COptions::ActivatePage(int index) {
    COptionsPage* page = GetPage(index);
    if (!page || !m_pDlg) return false;
    m_nActive = index;
    if (!page->HasWindow()) {
        wxWindow* container = m_containers[static_cast<std::size_t>(index)];
        if (!page->CreatePageWindow(container)) return false;
        container->GetSizer()->Add(page->GetWindow(), 1, wxEXPAND);
        container->Layout();
    }
    page->OnSetActive();
    return true;
}

bool COptions::SetActivePage(int index) {
    if (!m_pBook || !GetPage(index)) return false;
    if (index == m_nActive) return true;
    COptionsPage* page = GetActivePage();
    if (page && page->HasWindow() && !page->OnKillActive()) return false;
    ShowTab(index);
    return ActivatePage(index);
}

void COptions::ShowTab(int index) {
    if (!m_pBook || m_pBook->GetSelection() == index) return;
    m_bChanging = true;
    m_pBook->ChangeSelection(static_cast<std::size_t>(index));
    m_bChanging = false;
}

void COptions::ShowActiveTab() { ShowTab(m_nActive); }

int COptions::DoModal(wxWindow* parent) {
    if (!Build(parent)) return platform::IDCANCEL;
    m_bModal = true;
    m_pDlg->ShowModal();
    m_bModal = false;
    wxDialog* dlg = m_pDlg;
    m_pDlg = nullptr;
    m_pBook = nullptr;
    m_pOk = m_pApply = nullptr;
    delete dlg;  // the pages see their windows go before DoModal returns
    return m_nResult;
}

bool COptions::Create(wxWindow* parent) {
    if (!Build(parent)) return false;
    m_bModal = false;
    m_pDlg->Show();
    return true;
}

void COptions::EnableOk(bool enable) {
    if (m_pOk) m_pOk->Enable(enable);
}

bool COptions::IsOkEnabled() const { return m_pOk && m_pOk->IsEnabled(); }

bool COptions::IsApplyEnabled() const { return m_pApply && m_pApply->IsEnabled(); }

void COptions::PageModifiedChanged() {
    if (!m_pApply) return;
    bool any = false;
    for (COptionsPage* page : m_pages) any = any || (page->HasWindow() && page->IsModified());
    m_pApply->Enable(any);
}

bool COptions::ApplyPages() {
    COptionsPage* active = GetActivePage();
    if (active && active->HasWindow() && !active->OnKillActive()) return false;
    for (COptionsPage* page : m_pages) {
        if (page->HasWindow()) page->OnOK();
    }
    return true;
}

void COptions::OnOk() {
    if (!m_pDlg || !IsOkEnabled()) return;
    if (!ApplyPages()) return;
    End(platform::IDOK);
}

void COptions::OnApply() {
    if (!m_pDlg) return;
    if (!ApplyPages()) return;
    for (COptionsPage* page : m_pages) {
        if (page->HasWindow()) page->SetModified(false);
    }
}

void COptions::OnCancel() {
    if (!m_pDlg) return;
    for (COptionsPage* page : m_pages) {
        if (page->HasWindow()) page->OnCancel();
    }
    End(platform::IDCANCEL);
}

void COptions::End(int result) {
    m_nResult = result;
    if (m_bModal) {
        m_pDlg->EndModal(result);
        return;
    }
    wxDialog* dlg = m_pDlg;
    m_pDlg = nullptr;
    m_pBook = nullptr;
    m_pOk = m_pApply = nullptr;
    dlg->Destroy();
}
