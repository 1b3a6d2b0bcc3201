// Quillon's own resources (Korean), compiled into the program: the dialog templates 100 and 102,
// string 101, icon 128 and the error texts.
#pragma once
#include <wx/icon.h>
#include <wx/string.h>

namespace quillon {

constexpr int IDD_ABOUTBOX = 100;
constexpr int IDS_ABOUTBOX = 101;
constexpr int IDD_QUILLON_DIALOG = 102;
constexpr int IDR_MAINFRAME = 128;
constexpr int IDC_CHECK_EXTMIC = 1000;
constexpr int IDOK = 1;
constexpr int IDM_ABOUTBOX = 0x10;

constexpr const char* kNoMixerText = "No mixer device present.";
constexpr const char* kOpenFailedText = "Could not open mixer device";
constexpr const char* kCapsFailedText = "Error querying device capabilities.";
constexpr const char* kAppTitle = "Quillon";

// Makes dialogs "100" and "102" loadable through wxXmlResource (once).
void LoadDialogResources();
// A string of the string table; empty when there is none.
wxString LoadResourceString(int id);
wxIcon ProgramIcon();

}  // namespace quillon
