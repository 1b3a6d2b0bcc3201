// A page of the options sheet. The page object lives as long as its owner (the main window); its
// window exists only while the sheet shows it: built from the page's template the first time the
// page is activated during one showing, destroyed when the sheet closes. The sheet calls OnOK,
// OnCancel, OnKillActive and OnSetActive as a property sheet does.
#pragma once
#include <memory>
#include <string>

#include "platform/WindowMessage.h"
#include "platform/WxMessageTarget.h"

class wxPanel;
class wxWindow;
class COptions;

class COptionsPage {
public:
    explicit COptionsPage(unsigned templateId);
    virtual ~COptionsPage();
    COptionsPage(const COptionsPage&) = delete;
    COptionsPage& operator=(const COptionsPage&) = delete;

    unsigned TemplateId() const { return m_nTemplateId; }
    // The template's caption, the tab's label.
    std::string Caption() const;

    // --- called by the sheet ---
    // Builds the page window into `parent`: the stored values are read (OnCreate), the template is
    // loaded, then OnInitDialog runs. False when the template is missing.
    bool CreatePageWindow(wxWindow* parent);
    bool HasWindow() const { return m_pWnd != nullptr; }
    wxPanel* GetWindow() const { return m_pWnd; }

    virtual void OnCreate() {}
    virtual bool OnInitDialog() { return true; }
    virtual void OnOK() {}
    virtual void OnCancel() {}
    // False keeps the page active (invalid input).
    virtual bool OnKillActive() { return true; }
    virtual bool OnSetActive() { return true; }
    virtual void OnDestroy() {}

    void SetSheet(COptions* sheet) { m_pSheet = sheet; }
    COptions* GetSheet() const { return m_pSheet; }

    // Marks the page changed (the sheet's Apply button follows).
    void SetModified(bool changed = true);
    bool IsModified() const { return m_bModified; }

protected:
    // A control of the page window by its template ID (null without a window or such a control).
    wxWindow* Item(int id) const;
    template <class T>
    T* ItemAs(int id) const {
        return dynamic_cast<T*>(Item(id));
    }
    void ShowItem(int id, bool show);
    void EnableItem(int id, bool enable);
    void CheckItem(int id, bool check);
    bool IsItemChecked(int id) const;
    void SetItemText(int id, const std::string& text);
    std::string GetItemText(int id) const;
    // The page window as an owner of message boxes and dialogs.
    platform::WindowRef PageRef() const { return m_target.get(); }

private:
    void HandleDestroy(wxWindow* window);

    unsigned m_nTemplateId;
    wxPanel* m_pWnd = nullptr;
    COptions* m_pSheet = nullptr;
    bool m_bModified = false;
    platform::MessageTargetScope m_target;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);  // guards the window's handlers
};
