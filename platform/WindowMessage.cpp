#include "platform/WxMessageTarget.h"

#include <mutex>
#include <unordered_map>

namespace platform {

wxDEFINE_EVENT(EVT_WINDOW_MESSAGE, WindowMessageEvent);

WindowMessageEvent::WindowMessageEvent(std::uint32_t m, std::uintptr_t w, std::intptr_t l)
    : wxEvent(0, EVT_WINDOW_MESSAGE), msg(m), wParam(w), lParam(l) {}

namespace {
std::mutex g_lock;
std::unordered_map<WindowRef, wxWindow*>& Targets() {
    static auto* map = new std::unordered_map<WindowRef, wxWindow*>;
    return *map;
}
std::uintptr_t g_next = 1;
}  // namespace

WindowRef RegisterMessageTarget(wxWindow* window) {
    if (!window) return nullptr;
    std::lock_guard lock(g_lock);
    // Refs are never reused, so a stale ref held by an engine can never reach a newer window.
    auto ref = reinterpret_cast<WindowRef>(g_next++);
    Targets()[ref] = window;
    return ref;
}

void UnregisterMessageTarget(WindowRef ref) {
    std::lock_guard lock(g_lock);
    Targets().erase(ref);
}

wxWindow* WindowFromRef(WindowRef ref) {
    std::lock_guard lock(g_lock);
    auto it = Targets().find(ref);
    return it == Targets().end() ? nullptr : it->second;
}

bool PostWindowMessage(WindowRef target, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
    std::lock_guard lock(g_lock);
    auto it = Targets().find(target);
    if (it == Targets().end()) return false;
    // Queued while the lock keeps the window from unregistering; a window's handler drops its
    // pending events when it is destroyed.
    wxQueueEvent(it->second->GetEventHandler(), new WindowMessageEvent(msg, wParam, lParam));
    return true;
}

std::intptr_t SendWindowMessage(WindowRef target, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
    wxWindow* window = WindowFromRef(target);
    if (!window) return 0;
    WindowMessageEvent event(msg, wParam, lParam);
    window->GetEventHandler()->ProcessEvent(event);
    return event.result;
}

}  // namespace platform
