// The resource module Lexel.so beside the program: a data-only shared object whose embedded
// resources (dialog templates as XRC, string table, bitmaps, icon, version) become the source of
// every dialog, string and bitmap the program loads by identifier.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class wxBitmap;
class wxDialog;
class wxIconBundle;
class wxPanel;
class wxWindow;

namespace platform {

// A rectangle in dialog units, as the template gives it.
struct DialogUnitRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The main window's template is laid out for the dialog base units of Arial 10 at 96 DPI
// (7 x 16 pixels), which makes its client 331 x 236 pixels.
constexpr int kMainWindowBaseX = 7;
constexpr int kMainWindowBaseY = 16;

// Dialog units to pixels for the given base units, rounded as the classic MulDiv does.
int DialogUnitsToPixelsX(int x, int baseX);
int DialogUnitsToPixelsY(int y, int baseY);

class ResourceModule {
public:
    // dlopen()s the module and registers its resources; false (and nothing reported) when it is
    // missing or unusable. Loading again replaces the module loaded before.
    static bool Load(const std::string& path);
    static void Free();
    static bool IsLoaded();

    // String table entry; empty text when the string (or the module) is missing.
    static std::string LoadString(unsigned id);
    // Builds a dialog from template `id` into `dialog` (two-step creation); false when missing.
    // Positions and sizes follow wx's dialog units of the dialog's font.
    static bool LoadDialog(wxDialog* dialog, wxWindow* parent, unsigned id);
    // The same with fixed dialog base units (pixels per 4 horizontal / 8 vertical units), so that
    // the layout does not depend on which font stands in for the template's.
    static bool LoadDialog(wxDialog* dialog, wxWindow* parent, unsigned id, int baseX, int baseY);
    // Builds a child-style template (an options page) into `panel`; false when missing. The
    // panel's label becomes the template's caption. Dialog units are those of the top-level
    // parent's font, unless base units are given.
    static bool LoadPanel(wxPanel* panel, wxWindow* parent, unsigned id);
    static bool LoadPanel(wxPanel* panel, wxWindow* parent, unsigned id, int baseX, int baseY);
    // Bitmap and icon resources; an invalid bitmap / empty bundle when missing.
    static wxBitmap LoadBitmap(unsigned id);
    static wxIconBundle LoadIcon(unsigned id);

    // Template facts without building a window: the caption, the template's size and a
    // control's rectangle, in dialog units.
    static std::string TemplateCaption(unsigned dialogId);
    static std::optional<DialogUnitRect> TemplateSize(unsigned dialogId);
    static std::optional<DialogUnitRect> ControlRect(unsigned dialogId, unsigned controlId);
    // The dialog base units (x, y) of the template's own font as the classic dialog manager
    // measures them (average letter width, character height) with the font that stands in for it
    // here; for LoadDialog/LoadPanel with base units. Needs a display.
    static std::optional<std::pair<int, int>> TemplateBaseUnits(unsigned dialogId);

    // A raw entry of the module by name ("strings.tsv", "menu.txt", "accel151.txt",
    // "version.txt", "dialog/102.xrc", "bitmap/1007.bmp", "icon/103/32.png"); empty when missing.
    // The view stays valid until the module is freed.
    static std::string_view RawEntry(const std::string& name);
};

// An icon bundle from PNG images (one icon per image that decodes); empty when none does.
wxIconBundle IconBundleFromPngs(const std::vector<std::string_view>& images);

}  // namespace platform
