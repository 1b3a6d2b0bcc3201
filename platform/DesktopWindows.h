// Other programs' top-level windows on the X11 desktop: finding them by title, the registered
// messages ("FileMapping", "AE_FILTERS") as X atoms sent in ClientMessages, the copy-data hand-over
// (a property on the target window plus a ClientMessage; the sender waits until the receiver took
// and deleted the property), and asking a window to close, restore or come to the front.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class wxWindow;

namespace platform {

using DesktopWindow = unsigned long;  // an X window id; 0 = none

// A top-level window whose title is exactly `title` (the window manager's client list, else the
// root window's children); 0 when none.
DesktopWindow FindTopLevelWindow(const std::string& title);

// The registered message number for a name (the X atom), the same in every process.
std::uint32_t RegisterWindowMessage(const std::string& name);

// Sends a registered message to one window / to every top-level window.
bool SendRegisteredMessage(DesktopWindow target, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
bool BroadcastRegisteredMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

// The copy-data hand-over: `data` reaches the target's receiver; waits (up to `timeoutMs`) until
// the receiver has taken it. False when the target is gone or did not take it in time.
bool SendCopyData(DesktopWindow target, std::uintptr_t dwData, const std::vector<std::uint8_t>& data,
                  int timeoutMs = 5000);

void PostCloseRequest(DesktopWindow target);        // WM_DELETE_WINDOW through the window manager
bool IsMinimized(DesktopWindow target);
void RestoreAndRaise(DesktopWindow target);         // un-minimize, raise, give focus

// Whether the window is mapped (on the screen, perhaps covered). False when it is gone.
bool IsWindowShown(DesktopWindow target);
// Hides a top-level window: withdrawn, so that a window manager lets go of it too. False when it
// is gone.
bool HideWindow(DesktopWindow target);
// Hides every shown top-level window titled exactly `title`; returns how many it hid.
int HideTopLevelWindows(const std::string& title);

// Hides the top-level window titled `title` once it shows: a program just started maps its window
// a little later. It looks from the window thread's event loop (every 25 ms, never blocking it)
// for up to `timeoutMs`; a window shown already is hidden at once. Starting again replaces the
// watch; destroying the object ends it.
class WindowHider {
public:
    WindowHider();
    ~WindowHider();
    WindowHider(const WindowHider&) = delete;
    WindowHider& operator=(const WindowHider&) = delete;

    void Start(const std::string& title, int timeoutMs = 5000);
    void Stop();
    bool IsWatching() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Our own wx top-level window's X id (0 before it is realized).
DesktopWindow DesktopWindowOf(wxWindow* window);

// Receiving side: hooks our top-level window so that registered messages and copy-data hand-overs
// sent to it are delivered on the window thread. One receiver per window.
struct DesktopMessageHandlers {
    std::function<void(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)> onRegisteredMessage;
    std::function<void(std::uintptr_t dwData, const std::vector<std::uint8_t>& data)> onCopyData;
};
void InstallDesktopMessageReceiver(wxWindow* window, DesktopMessageHandlers handlers);
void RemoveDesktopMessageReceiver(wxWindow* window);

}  // namespace platform
