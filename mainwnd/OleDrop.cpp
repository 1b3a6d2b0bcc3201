#include "mainwnd/OleDrop.h"

#include <vector>

#include "mainwnd/RecordingFiles.h"

wxDragResult COleDrop::DragResultFor(const wxArrayString& files) {
    std::vector<std::string> paths;
    for (const wxString& f : files) paths.emplace_back(f.utf8_str());
    return mainwnd::IsAcceptedDropFile(paths) ? wxDragCopy : wxDragNone;
}

// GTK hands the file names over only at the drop; while dragging, a drag that carries files at
// all is let through, and names other than .wav/.wma are refused when dropped.
wxDragResult COleDrop::OnEnter(wxCoord x, wxCoord y, wxDragResult def) { return OnDragOver(x, y, def); }

wxDragResult COleDrop::OnDragOver(wxCoord, wxCoord, wxDragResult def) {
    if (GetMatchingPair() == wxDF_INVALID) return wxDragNone;
    return def == wxDragNone ? wxDragNone : wxDragCopy;
}

bool COleDrop::OnDropFiles(wxCoord, wxCoord, const wxArrayString& files) {
    if (DragResultFor(files) != wxDragCopy) return false;
    m_path = std::string(files[0].utf8_str());
    platform::PostWindowMessage(m_hWnd, WM_PLAY_DROPPED_FILE, 0, 0);
    return true;
}
