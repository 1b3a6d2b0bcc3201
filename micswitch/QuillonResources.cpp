#include "micswitch/QuillonResources.h"

#include <wx/mstream.h>
#include <wx/xml/xml.h>
#include <wx/xrc/xmlres.h>

namespace quillon {

namespace {

// Positions and sizes in dialog units, as the templates were laid out; the dialogs set their client
// size from the same units after loading.
const char kDialogsXrc[] = R"XRC(<?xml version="1.0" encoding="UTF-8"?>
<resource xmlns="http://www.wxwidgets.org/wxxrc" version="2.5.3.0">
  <object class="wxDialog" name="100">
    <title>Quillon 정보</title>
    <style>wxCAPTION|wxSYSTEM_MENU|wxCLOSE_BOX</style>
    <object class="wxStaticBitmap" name="128">
      <pos>11,10d</pos>
      <size>20,20d</size>
    </object>
    <object class="wxStaticText" name="101">
      <label>Quillon 버전 1.0</label>
      <pos>40,14d</pos>
      <size>80,8d</size>
    </object>
    <object class="wxButton" name="1">
      <label>확인</label>
      <default>1</default>
      <pos>126,12d</pos>
      <size>50,14d</size>
    </object>
  </object>
  <object class="wxDialog" name="102">
    <title>External Mic</title>
    <style>wxCAPTION|wxSYSTEM_MENU|wxCLOSE_BOX|wxMINIMIZE_BOX</style>
    <object class="wxCheckBox" name="1000">
      <label>e</label>
      <pos>0,0</pos>
      <size>0,0</size>
    </object>
    <object class="wxStaticText" name="static">
      <label>External Mic</label>
      <pos>16,6d</pos>
      <size>56,8d</size>
    </object>
    <object class="wxButton" name="1">
      <label>OK</label>
      <default>1</default>
      <pos>16,19d</pos>
      <size>50,14d</size>
    </object>
  </object>
</resource>
)XRC";

// Icon 128: a microphone on its stand.
const char* const kIconXpm[] = {
    "32 32 5 1",
    "  c None",
    ". c #202020",
    "+ c #6a7f99",
    "@ c #c9d3df",
    "# c #3a4a5e",
    "                                ",
    "                                ",
    "             ......             ",
    "           ..@@@@@@..           ",
    "          .@@@++++@@@.          ",
    "          .@++@++@++@.          ",
    "         .@@++@++@++@@.         ",
    "         .@++++++++++@.         ",
    "         .@++@++@++@+@.         ",
    "         .@++@++@++@+@.         ",
    "         .@++++++++++@.         ",
    "         .@++@++@++@+@.         ",
    "         .@++@++@++@+@.         ",
    "     ..  .@++++++++++@.  ..     ",
    "     .#. .@++@++@++@+@. .#.     ",
    "     .#. .@@++++++++@@. .#.     ",
    "     .#.  .@@@@@@@@@@.  .#.     ",
    "     .#.   ..........   .#.     ",
    "      .#.              .#.      ",
    "      .##..          ..##.      ",
    "       ..###........###..       ",
    "         ...########...         ",
    "            ...##...            ",
    "              .##.              ",
    "              .##.              ",
    "              .##.              ",
    "              .##.              ",
    "         ..............         ",
    "        .##############.        ",
    "        .##############.        ",
    "         ..............         ",
    "                                ",
};

}  // namespace

void LoadDialogResources() {
    static bool loaded = false;
    if (loaded) return;
    wxMemoryInputStream in(kDialogsXrc, sizeof kDialogsXrc - 1);
    auto* doc = new wxXmlDocument(in, "UTF-8");
    if (!doc->IsOk()) {
        delete doc;
        return;
    }
    wxXmlResource::Get()->InitAllHandlers();
    loaded = wxXmlResource::Get()->LoadDocument(doc, "quillon.xrc");  // takes the document
}

wxString LoadResourceString(int id) {
    if (id == IDS_ABOUTBOX) return wxString::FromUTF8("Quillon 정보(&A)...");
    return {};
}

wxIcon ProgramIcon() {
    wxIcon icon(kIconXpm);
    return icon;
}

}  // namespace quillon
