// The resource module Lexel.so beside the program: a data-only shared object whose embedded
// resources (dialog templates as XRC, string table, bitmaps, icon, version) become the source of
// every dialog, string and bitmap the program loads by identifier.
#pragma once
#include <string>

class wxBitmap;
class wxDialog;
class wxIconBundle;
class wxPanel;
class wxWindow;

namespace platform {

class ResourceModule {
public:
    // dlopen()s the module and registers its resources; false (and nothing reported) when it is
    // missing or unusable.
    static bool Load(const std::string& path);
    static void Free();
    static bool IsLoaded();

    // String table entry; empty text when the string (or the module) is missing.
    static std::string LoadString(unsigned id);
    // Builds a dialog from template `id` into `dialog` (two-step creation); false when missing.
    static bool LoadDialog(wxDialog* dialog, wxWindow* parent, unsigned id);
    // Builds a child-style template (an options page) into `panel`; false when missing.
    static bool LoadPanel(wxPanel* panel, wxWindow* parent, unsigned id);
    // Bitmap and icon resources; an invalid bitmap / empty bundle when missing.
    static wxBitmap LoadBitmap(unsigned id);
    static wxIconBundle LoadIcon(unsigned id);
};

}  // namespace platform
