// Message boxes, file dialogs and the folder chooser. Every one can be answered without a person:
// in-process through SetUiAnswerer, or for a whole process through the environment
// (MURMELO_UI_ANSWERS: a file of answers, one a line, taken in order; MURMELO_UI_LOG: each request
// is appended there as "kind<TAB>caption<TAB>text").
#pragma once
#include <functional>
#include <optional>
#include <string>

#include "platform/WindowMessage.h"

namespace platform {

// Button and icon flags, with the values of the classic message box so stored logic reads the same.
constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_OKCANCEL = 0x1;
constexpr unsigned MB_YESNOCANCEL = 0x3;
constexpr unsigned MB_YESNO = 0x4;
constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONWARNING = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

enum class UiKind { MessageBox, OpenFile, SaveFile, ChooseFolder };

struct UiRequest {
    UiKind kind = UiKind::MessageBox;
    std::string caption;   // message box caption or dialog title
    std::string text;      // message box text
    unsigned flags = 0;    // message box flags
    std::string folder;    // dialogs: initial folder
    std::string fileName;  // dialogs: initial file name
    std::string filter;    // dialogs: wx wildcard, e.g. "Audio (*.wav;*.wma)|*.wav;*.wma"
};

// An answer: for a message box "1"/"ok", "2"/"cancel", "6"/"yes", "7"/"no"; for dialogs the chosen
// path, or "cancel". nullopt lets the real dialog run.
using UiAnswerer = std::function<std::optional<std::string>(const UiRequest&)>;
void SetUiAnswerer(UiAnswerer answerer);

// The caption message boxes get when the caller passes none (the application's name).
void SetApplicationCaption(const std::string& caption);
const std::string& ApplicationCaption();

int MessageBox(WindowRef owner, const std::string& text, const std::string& caption = {}, unsigned flags = MB_OK);

std::optional<std::string> ShowOpenFileDialog(WindowRef owner, const std::string& title, const std::string& folder,
                                              const std::string& filter);
std::optional<std::string> ShowSaveFileDialog(WindowRef owner, const std::string& title, const std::string& folder,
                                              const std::string& fileName, const std::string& filter);
std::optional<std::string> ShowFolderChooser(WindowRef owner, const std::string& title, const std::string& folder);

}  // namespace platform
