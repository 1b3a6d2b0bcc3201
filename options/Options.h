// The options sheet: a dialog with a notebook of pages and the buttons OK, Cancel and Apply. The
// sheet object lives for the whole program; its window exists while it is shown. As a property
// sheet does, it asks the active page's OnKillActive before another page, OK or Apply; OK and
// Apply then run OnOK of every page created during this showing, Cancel their OnCancel.
#pragma once
#include <string>
#include <vector>

class wxButton;
class wxDialog;
class wxNotebook;
class wxWindow;
class COptionsPage;

class COptions {
public:
    explicit COptions(const std::string& caption = " ");
    ~COptions();
    COptions(const COptions&) = delete;
    COptions& operator=(const COptions&) = delete;

    void SetTitle(const std::string& title);
    const std::string& GetTitle() const { return m_strTitle; }

    // Pages stay added; the sheet does not own them.
    void AddPage(COptionsPage* page);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    COptionsPage* GetPage(int index) const;

    // Shows the sheet modally; IDOK (1) or IDCANCEL (2).
    int DoModal(wxWindow* parent);
    // Shows it without a modal loop (the same buttons and pages); Result() tells how it ended.
    bool Create(wxWindow* parent);
    bool IsShown() const { return m_pDlg != nullptr; }
    int Result() const { return m_nResult; }
    wxDialog* GetWindow() const { return m_pDlg; }

    // Like a click on a tab: the active page may refuse to be left.
    bool SetActivePage(int index);
    int GetActiveIndex() const { return m_nActive; }
    COptionsPage* GetActivePage() const { return GetPage(m_nActive); }

    // The OK button (a page refuses OK while its input is unusable).
    void EnableOk(bool enable);
    bool IsOkEnabled() const;
    bool IsApplyEnabled() const;

    // Called by a page whose modified state changed.
    void PageModifiedChanged();

private:
    bool Build(wxWindow* parent);
    bool ActivatePage(int index);
    void ShowTab(int index);  // without page-change events
    void ShowActiveTab();
    void OnOk();
    void OnApply();
    void OnCancel();
    bool ApplyPages();
    void End(int result);

    std::string m_strTitle;
    std::vector<COptionsPage*> m_pages;
    wxDialog* m_pDlg = nullptr;
    wxNotebook* m_pBook = nullptr;
    std::vector<wxWindow*> m_containers;
    wxButton* m_pOk = nullptr;
    wxButton* m_pApply = nullptr;
    int m_nActive = 0;
    int m_nResult = 0;
    bool m_bModal = false;
    bool m_bChanging = false;
};
