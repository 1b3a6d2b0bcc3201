// The main window's drop target: takes one dropped .wav or .wma file (the first of the dropped
// files) and posts WM_PLAY_DROPPED_FILE to the main window, which plays it.
#pragma once
#include <cstdint>
#include <string>

#include <wx/dnd.h>

#include "platform/WindowMessage.h"

constexpr std::uint32_t WM_PLAY_DROPPED_FILE = platform::WM_APP + 9;

class COleDrop : public wxFileDropTarget {
public:
    explicit COleDrop(platform::WindowRef mainWindow) : m_hWnd(mainWindow) {}

    // The dropped path the main window opens.
    const std::string& DroppedPath() const { return m_path; }

    // The answer for a drag carrying these files: copy for a first file ending in .wav or .wma,
    // else none (the no-drop cursor).
    static wxDragResult DragResultFor(const wxArrayString& files);

    wxDragResult OnEnter(wxCoord x, wxCoord y, wxDragResult def) override;
    wxDragResult OnDragOver(wxCoord x, wxCoord y, wxDragResult def) override;
    bool OnDropFiles(wxCoord x, wxCoord y, const wxArrayString& files) override;

private:
    platform::WindowRef m_hWnd;
    std::string m_path;
};
