#include "platform/ResourceModule.h"

#include <dlfcn.h>
#include <link.h>

#include <wx/bitmap.h>
#include <wx/dcscreen.h>
#include <wx/dcclient.h>
#include <wx/dialog.h>
#include <wx/settings.h>
#include <wx/stattext.h>
#include <wx/font.h>
#include <wx/filesys.h>
#include <wx/fs_mem.h>
#include <wx/iconbndl.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/math.h>
#include <wx/mstream.h>
#include <wx/panel.h>
#include <wx/xml/xml.h>
#include <wx/xrc/xmlres.h>

#include <charconv>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/ResourcePack.h"

namespace platform {

namespace {

constexpr const char* kPackSymbol = "lexel_resources";
constexpr const char* kMemoryPrefix = "lexel/";

struct Module {
    void* handle = nullptr;
    std::map<std::string, std::string_view> entries;
    std::map<unsigned, std::string> strings;
    std::vector<wxString> memoryFiles;
};

std::recursive_mutex g_lock;
Module g_module;

// "id<TAB>text" lines; '#' starts a comment line.
std::map<unsigned, std::string> ParseStrings(std::string_view text) {
    std::map<unsigned, std::string> out;
    while (!text.empty()) {
        const auto eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const auto tab = line.find('\t');
        if (line.empty() || line[0] == '#' || tab == std::string_view::npos) continue;
        unsigned id = 0;
        const auto [end, ec] = std::from_chars(line.data(), line.data() + tab, id);
        if (ec != std::errc() || end != line.data() + tab) continue;
        out[id] = std::string(line.substr(tab + 1));
    }
    return out;
}

// The size the module's symbol table gives its resource object: the bound for reading it.
std::size_t SymbolSize(void* address) {
    Dl_info info{};
    void* extra = nullptr;
    if (!dladdr1(address, &info, &extra, RTLD_DL_SYMENT) || !extra) return 0;
    return static_cast<const ElfW(Sym)*>(extra)->st_size;
}

void EnsureHandlers() {
    static bool done = false;
    if (done) return;
    done = true;
    wxFileSystem::AddHandler(new wxMemoryFSHandler);
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
}

std::string_view Entry(const std::string& name) {
    std::lock_guard lock(g_lock);
    const auto it = g_module.entries.find(name);
    return it == g_module.entries.end() ? std::string_view() : it->second;
}

std::string TemplateName(unsigned id) { return "dialog/" + std::to_string(id) + ".xrc"; }

// The object child of `parent` named by the number (a template's top object, or one of its controls).
wxXmlNode* NamedObject(wxXmlNode* parent, unsigned id) {
    const wxString name = wxString::Format("%u", id);
    for (wxXmlNode* n = parent->GetChildren(); n; n = n->GetNext()) {
        if (n->GetType() == wxXML_ELEMENT_NODE && n->GetName() == "object" && n->GetAttribute("name") == name) return n;
    }
    return nullptr;
}

// A parsed template and its top-level object (dialog or panel); `top` null when missing.
struct Template {
    std::unique_ptr<wxXmlDocument> doc;
    wxXmlNode* top = nullptr;
};

Template ParseTemplate(unsigned id) {
    Template t;
    const std::string_view xrc = Entry(TemplateName(id));
    if (xrc.empty()) return t;
    auto doc = std::make_unique<wxXmlDocument>();
    wxMemoryInputStream in(xrc.data(), xrc.size());
    wxLogNull quiet;
    if (!doc->Load(in, "UTF-8") || !doc->GetRoot()) return t;
    t.top = NamedObject(doc->GetRoot(), id);
    if (t.top) t.doc = std::move(doc);
    return t;
}

wxXmlNode* Child(wxXmlNode* object, const wxString& name) {
    for (wxXmlNode* n = object->GetChildren(); n; n = n->GetNext()) {
        if (n->GetType() == wxXML_ELEMENT_NODE && n->GetName() == name) return n;
    }
    return nullptr;
}

// "x,yd" -> the two numbers; false for anything else.
bool ParseDialogPair(const wxString& text, int& a, int& b) {
    const std::string s = text.Strip(wxString::both).ToStdString();
    if (s.size() < 4 || s.back() != 'd') return false;
    const auto comma = s.find(',');
    if (comma == std::string::npos) return false;
    const char* end = s.data() + s.size() - 1;
    auto r1 = std::from_chars(s.data(), s.data() + comma, a);
    auto r2 = std::from_chars(s.data() + comma + 1, end, b);
    return r1.ec == std::errc() && r1.ptr == s.data() + comma && r2.ec == std::errc() && r2.ptr == end;
}

// Turns every "x,yd" position and size of the template's objects into pixels for fixed base units.
void RewriteDialogUnits(wxXmlNode* object, int baseX, int baseY) {
    for (wxXmlNode* n = object->GetChildren(); n; n = n->GetNext()) {
        if (n->GetType() != wxXML_ELEMENT_NODE) continue;
        if (n->GetName() == "object") {
            RewriteDialogUnits(n, baseX, baseY);
        } else if (n->GetName() == "pos" || n->GetName() == "size") {
            int a = 0, b = 0;
            if (!ParseDialogPair(n->GetNodeContent(), a, b)) continue;
            const int px = a == -1 ? -1 : DialogUnitsToPixelsX(a, baseX);
            const int py = b == -1 ? -1 : DialogUnitsToPixelsY(b, baseY);
            for (wxXmlNode* t = n->GetChildren(); t; t = t->GetNext()) {
                if (t->GetType() == wxXML_TEXT_NODE || t->GetType() == wxXML_CDATA_SECTION_NODE) {
                    t->SetContent(wxString::Format("%d,%d", px, py));
                    break;
                }
            }
        }
    }
}

// Builds template `id` through a private XRC resource, so nothing of one module outlives it.
// A template of another class (a page asked for as a dialog) fails quietly.
template <typename Build>
bool BuildFromTemplate(unsigned id, const char* cls, std::optional<std::pair<int, int>> base, Build build) {
    Template t = ParseTemplate(id);
    if (!t.top || t.top->GetAttribute("class") != cls) return false;
    if (base) RewriteDialogUnits(t.top, base->first, base->second);
    EnsureHandlers();
    wxXmlResource xrc(0);
    xrc.InitAllHandlers();
    if (!xrc.LoadDocument(t.doc.release(), wxString::Format("lexel-%u", id))) return false;
    return build(xrc, wxString::Format("%u", id));
}

// GTK draws no border around a static text (it has no window of its own), so the parent draws
// the template's frames just outside the bordered statics: a plain line for WS_BORDER, a sunken
// edge for the edge styles.
void DrawStaticFrames(wxWindow* root) {
    bool any = false;
    for (wxWindow* child : root->GetChildren()) {
        if (child->IsKindOf(wxCLASSINFO(wxStaticText)) && child->HasFlag(wxBORDER_SIMPLE | wxBORDER_SUNKEN)) any = true;
    }
    if (!any) return;
    root->Bind(wxEVT_PAINT, [root](wxPaintEvent&) {
        wxPaintDC dc(root);
        const wxColour shadow = wxSystemSettings::GetColour(wxSYS_COLOUR_3DSHADOW);
        const wxColour light = wxSystemSettings::GetColour(wxSYS_COLOUR_3DHIGHLIGHT);
        const wxColour line = wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWFRAME);
        dc.SetBrush(*wxTRANSPARENT_BRUSH);
        for (wxWindow* child : root->GetChildren()) {
            if (!child->IsShown() || !child->IsKindOf(wxCLASSINFO(wxStaticText))) continue;
            const wxRect r = child->GetRect().Inflate(1);
            if (child->HasFlag(wxBORDER_SUNKEN)) {
                dc.SetPen(wxPen(shadow));
                dc.DrawLine(r.GetLeft(), r.GetBottom(), r.GetLeft(), r.GetTop());
                dc.DrawLine(r.GetLeft(), r.GetTop(), r.GetRight(), r.GetTop());
                dc.SetPen(wxPen(light));
                dc.DrawLine(r.GetRight(), r.GetTop(), r.GetRight(), r.GetBottom());
                dc.DrawLine(r.GetRight(), r.GetBottom(), r.GetLeft() - 1, r.GetBottom());
            } else if (child->HasFlag(wxBORDER_SIMPLE)) {
                dc.SetPen(wxPen(line));
                dc.DrawRectangle(r);
            }
        }
    });
}

bool DoLoadDialog(wxDialog* dialog, wxWindow* parent, unsigned id, std::optional<std::pair<int, int>> base) {
    if (!dialog) return false;
    return BuildFromTemplate(id, "wxDialog", base, [&](wxXmlResource& xrc, const wxString& name) {
        if (!xrc.LoadDialog(dialog, parent, name)) return false;
        DrawStaticFrames(dialog);
        return true;
    });
}

bool DoLoadPanel(wxPanel* panel, wxWindow* parent, unsigned id, std::optional<std::pair<int, int>> base) {
    if (!panel) return false;
    const bool ok = BuildFromTemplate(id, "wxPanel", base, [&](wxXmlResource& xrc, const wxString& name) {
        if (!xrc.LoadPanel(panel, parent, name)) return false;
        DrawStaticFrames(panel);
        return true;
    });
    if (ok) panel->SetLabel(wxString::FromUTF8(ResourceModule::TemplateCaption(id)));
    return ok;
}

}  // namespace

int DialogUnitsToPixelsX(int x, int baseX) { return wxMulDivInt32(x, baseX, 4); }
int DialogUnitsToPixelsY(int y, int baseY) { return wxMulDivInt32(y, baseY, 8); }

bool ResourceModule::Load(const std::string& path) {
    Free();
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) return false;
    void* pack = dlsym(handle, kPackSymbol);
    const std::size_t size = pack ? SymbolSize(pack) : 0;
    auto entries = size ? ParseResourcePack(pack, size) : std::nullopt;
    if (!entries) {
        dlclose(handle);
        return false;
    }
    std::lock_guard lock(g_lock);
    g_module.handle = handle;
    g_module.entries = std::move(*entries);
    const auto strings = g_module.entries.find("strings.tsv");
    if (strings != g_module.entries.end()) g_module.strings = ParseStrings(strings->second);
    // Bitmaps and icons are reachable as "memory:lexel/<name>" (templates refer to the icon so).
    EnsureHandlers();
    wxLogNull quiet;
    for (const auto& [name, data] : g_module.entries) {
        if (name.rfind("bitmap/", 0) != 0 && name.rfind("icon/", 0) != 0) continue;
        const wxString file = wxString(kMemoryPrefix) + wxString::FromUTF8(name);
        wxMemoryFSHandler::AddFile(file, data.data(), data.size());
        g_module.memoryFiles.push_back(file);
    }
    return true;
}

void ResourceModule::Free() {
    std::lock_guard lock(g_lock);
    if (!g_module.handle) return;
    {
        wxLogNull quiet;
        for (const wxString& file : g_module.memoryFiles) wxMemoryFSHandler::RemoveFile(file);
    }
    g_module.memoryFiles.clear();
    g_module.entries.clear();
    g_module.strings.clear();
    dlclose(g_module.handle);
    g_module.handle = nullptr;
}

bool ResourceModule::IsLoaded() {
    std::lock_guard lock(g_lock);
    return g_module.handle != nullptr;
}

std::string ResourceModule::LoadString(unsigned id) {
    std::lock_guard lock(g_lock);
    const auto it = g_module.strings.find(id);
    return it == g_module.strings.end() ? std::string() : it->second;
}

bool ResourceModule::LoadDialog(wxDialog* dialog, wxWindow* parent, unsigned id) {
    return DoLoadDialog(dialog, parent, id, std::nullopt);
}

bool ResourceModule::LoadDialog(wxDialog* dialog, wxWindow* parent, unsigned id, int baseX, int baseY) {
    return DoLoadDialog(dialog, parent, id, std::make_pair(baseX, baseY));
}

bool ResourceModule::LoadPanel(wxPanel* panel, wxWindow* parent, unsigned id) {
    return DoLoadPanel(panel, parent, id, std::nullopt);
}

bool ResourceModule::LoadPanel(wxPanel* panel, wxWindow* parent, unsigned id, int baseX, int baseY) {
    return DoLoadPanel(panel, parent, id, std::make_pair(baseX, baseY));
}

wxBitmap ResourceModule::LoadBitmap(unsigned id) {
    const std::string_view bmp = Entry("bitmap/" + std::to_string(id) + ".bmp");
    if (bmp.empty()) return wxBitmap();
    wxMemoryInputStream in(bmp.data(), bmp.size());
    wxLogNull quiet;
    wxImage image(in, wxBITMAP_TYPE_BMP);
    return image.IsOk() ? wxBitmap(image) : wxBitmap();
}

wxIconBundle ResourceModule::LoadIcon(unsigned id) {
    const std::string prefix = "icon/" + std::to_string(id) + "/";
    std::vector<std::string_view> images;
    {
        std::lock_guard lock(g_lock);
        for (auto it = g_module.entries.lower_bound(prefix); it != g_module.entries.end(); ++it) {
            if (it->first.compare(0, prefix.size(), prefix) != 0) break;
            images.push_back(it->second);
        }
    }
    return IconBundleFromPngs(images);
}

wxIconBundle IconBundleFromPngs(const std::vector<std::string_view>& images) {
    wxIconBundle bundle;
    if (images.empty()) return bundle;
    EnsureHandlers();
    wxLogNull quiet;
    for (std::string_view png : images) {
        wxMemoryInputStream in(png.data(), png.size());
        wxImage image(in, wxBITMAP_TYPE_PNG);
        if (!image.IsOk()) continue;
        wxIcon icon;
        icon.CopyFromBitmap(wxBitmap(image));
        bundle.AddIcon(icon);
    }
    return bundle;
}

std::string ResourceModule::TemplateCaption(unsigned dialogId) {
    const Template t = ParseTemplate(dialogId);
    wxXmlNode* title = t.top ? Child(t.top, "title") : nullptr;
    return title ? title->GetNodeContent().ToStdString(wxConvUTF8) : std::string();
}

std::optional<DialogUnitRect> ResourceModule::TemplateSize(unsigned dialogId) {
    const Template t = ParseTemplate(dialogId);
    wxXmlNode* size = t.top ? Child(t.top, "size") : nullptr;
    DialogUnitRect r;
    if (!size || !ParseDialogPair(size->GetNodeContent(), r.width, r.height)) return std::nullopt;
    return r;
}

std::optional<DialogUnitRect> ResourceModule::ControlRect(unsigned dialogId, unsigned controlId) {
    const Template t = ParseTemplate(dialogId);
    wxXmlNode* control = t.top ? NamedObject(t.top, controlId) : nullptr;
    wxXmlNode* pos = control ? Child(control, "pos") : nullptr;
    wxXmlNode* size = control ? Child(control, "size") : nullptr;
    DialogUnitRect r;
    if (!pos || !size || !ParseDialogPair(pos->GetNodeContent(), r.x, r.y) ||
        !ParseDialogPair(size->GetNodeContent(), r.width, r.height))
        return std::nullopt;
    return r;
}

std::optional<std::pair<int, int>> ResourceModule::TemplateBaseUnits(unsigned dialogId) {
    const Template t = ParseTemplate(dialogId);
    wxXmlNode* font = t.top ? Child(t.top, "font") : nullptr;
    if (!font) return std::nullopt;
    wxXmlNode* size = Child(font, "size");
    wxXmlNode* face = Child(font, "face");
    long points = 0;
    if (!size || !face || !size->GetNodeContent().ToLong(&points) || points <= 0) return std::nullopt;
    wxScreenDC dc;
    dc.SetFont(wxFont(wxFontInfo(double(points)).FaceName(face->GetNodeContent())));
    // As the classic dialog manager measures: the average width of the 52 letters, rounded, and
    // the font's character height.
    const wxSize letters = dc.GetTextExtent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int baseX = (letters.x / 26 + 1) / 2;
    const int baseY = dc.GetCharHeight();
    if (baseX <= 0 || baseY <= 0) return std::nullopt;
    return std::make_pair(baseX, baseY);
}

std::string_view ResourceModule::RawEntry(const std::string& name) { return Entry(name); }

}  // namespace platform
