#include "platform/Ui.h"

#include <wx/dirdlg.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>

#include "platform/WxMessageTarget.h"

namespace platform {

namespace {
std::mutex g_lock;
UiAnswerer g_answerer;
std::string g_caption = "Murmelo";
std::size_t g_scriptLine = 0;

const char* KindName(UiKind kind) {
    switch (kind) {
        case UiKind::MessageBox: return "message";
        case UiKind::OpenFile: return "open";
        case UiKind::SaveFile: return "save";
        case UiKind::ChooseFolder: return "folder";
    }
    return "?";
}

void LogRequest(const UiRequest& request) {
    const char* path = std::getenv("MURMELO_UI_LOG");
    if (!path || !*path) return;
    std::ofstream out(path, std::ios::app);
    std::string text = request.text;
    for (char& c : text) if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    out << KindName(request.kind) << '\t' << request.caption << '\t' << text << '\n';
}

std::optional<std::string> ScriptedAnswer() {
    const char* path = std::getenv("MURMELO_UI_ANSWERS");
    if (!path || !*path) return std::nullopt;
    std::ifstream in(path);
    std::string line;
    for (std::size_t i = 0; std::getline(in, line); ++i) {
        if (i == g_scriptLine) { ++g_scriptLine; return line; }
    }
    return std::string("cancel");  // script ran out: never block on a dialog nobody answers
}

std::optional<std::string> Answer(const UiRequest& request) {
    UiAnswerer answerer;
    {
        std::lock_guard lock(g_lock);
        answerer = g_answerer;
    }
    LogRequest(request);
    if (answerer) {
        if (auto a = answerer(request)) return a;
    }
    std::lock_guard lock(g_lock);
    return ScriptedAnswer();
}

int ButtonFromAnswer(const std::string& a, unsigned flags) {
    if (a == "ok" || a == "1") return IDOK;
    if (a == "yes" || a == "6") return IDYES;
    if (a == "no" || a == "7") return IDNO;
    if (a == "cancel" || a == "2") return (flags & 0xF) == MB_OK ? IDOK : IDCANCEL;
    return IDOK;
}

wxWindow* Parent(WindowRef owner) { return owner ? WindowFromRef(owner) : nullptr; }
}  // namespace

void SetUiAnswerer(UiAnswerer answerer) {
    std::lock_guard lock(g_lock);
    g_answerer = std::move(answerer);
}

void SetApplicationCaption(const std::string& caption) {
    std::lock_guard lock(g_lock);
    g_caption = caption;
}

const std::string& ApplicationCaption() { return g_caption; }

int MessageBox(WindowRef owner, const std::string& text, const std::string& caption, unsigned flags) {
    UiRequest request;
    request.kind = UiKind::MessageBox;
    request.caption = caption.empty() ? ApplicationCaption() : caption;
    request.text = text;
    request.flags = flags;
    if (auto a = Answer(request)) return ButtonFromAnswer(*a, flags);

    long style = 0;
    switch (flags & 0xF) {
        case MB_OKCANCEL: style = wxOK | wxCANCEL; break;
        case MB_YESNOCANCEL: style = wxYES_NO | wxCANCEL; break;
        case MB_YESNO: style = wxYES_NO; break;
        default: style = wxOK; break;
    }
    switch (flags & 0xF0) {
        case MB_ICONERROR: style |= wxICON_ERROR; break;
        case MB_ICONQUESTION: style |= wxICON_QUESTION; break;
        case MB_ICONWARNING: style |= wxICON_WARNING; break;
        case MB_ICONINFORMATION: style |= wxICON_INFORMATION; break;
        default: break;
    }
    wxMessageDialog dialog(Parent(owner), wxString::FromUTF8(text), wxString::FromUTF8(request.caption), style);
    switch (dialog.ShowModal()) {
        case wxID_YES: return IDYES;
        case wxID_NO: return IDNO;
        case wxID_CANCEL: return IDCANCEL;
        default: return IDOK;
    }
}

namespace {
std::optional<std::string> FileDialogImpl(UiKind kind, WindowRef owner, const std::string& title,
                                          const std::string& folder, const std::string& fileName,
                                          const std::string& filter) {
    UiRequest request;
    request.kind = kind;
    request.caption = title;
    request.folder = folder;
    request.fileName = fileName;
    request.filter = filter;
    if (auto a = Answer(request)) {
        if (*a == "cancel" || a->empty()) return std::nullopt;
        return a;
    }
    long style = kind == UiKind::SaveFile ? (wxFD_SAVE) : (wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    wxFileDialog dialog(Parent(owner), wxString::FromUTF8(title), wxString::FromUTF8(folder),
                        wxString::FromUTF8(fileName), wxString::FromUTF8(filter), style);
    if (dialog.ShowModal() != wxID_OK) return std::nullopt;
    return std::string(dialog.GetPath().utf8_str());
}
}  // namespace

std::optional<std::string> ShowOpenFileDialog(WindowRef owner, const std::string& title, const std::string& folder,
                                              const std::string& filter) {
    return FileDialogImpl(UiKind::OpenFile, owner, title, folder, {}, filter);
}

std::optional<std::string> ShowSaveFileDialog(WindowRef owner, const std::string& title, const std::string& folder,
                                              const std::string& fileName, const std::string& filter) {
    return FileDialogImpl(UiKind::SaveFile, owner, title, folder, fileName, filter);
}

std::optional<std::string> ShowFolderChooser(WindowRef owner, const std::string& title, const std::string& folder) {
    UiRequest request;
    request.kind = UiKind::ChooseFolder;
    request.caption = title;
    request.folder = folder;
    if (auto a = Answer(request)) {
        if (*a == "cancel" || a->empty()) return std::nullopt;
        return a;
    }
    wxDirDialog dialog(Parent(owner), wxString::FromUTF8(title), wxString::FromUTF8(folder),
                       wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK) return std::nullopt;
    return std::string(dialog.GetPath().utf8_str());
}

}  // namespace platform
