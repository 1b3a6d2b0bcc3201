// The wx side of WindowMessage.h: windows register to receive posted and sent messages as events.
#pragma once
#include <wx/event.h>
#include <wx/window.h>

#include "platform/WindowMessage.h"

namespace platform {

class WindowMessageEvent : public wxEvent {
public:
    WindowMessageEvent(std::uint32_t msg = 0, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
    wxEvent* Clone() const override { return new WindowMessageEvent(*this); }

    std::uint32_t msg;
    std::uintptr_t wParam;
    std::intptr_t lParam;
    std::intptr_t result = 0;  // set by the handler of a sent message
};

wxDECLARE_EVENT(EVT_WINDOW_MESSAGE, WindowMessageEvent);

// Registers the window as a message target; unregister before the window is destroyed
// (MessageTargetScope does both).
WindowRef RegisterMessageTarget(wxWindow* window);
void UnregisterMessageTarget(WindowRef ref);
wxWindow* WindowFromRef(WindowRef ref);  // null when not registered

class MessageTargetScope {
public:
    MessageTargetScope() = default;
    explicit MessageTargetScope(wxWindow* window) : ref_(RegisterMessageTarget(window)) {}
    ~MessageTargetScope() { Reset(); }
    MessageTargetScope(const MessageTargetScope&) = delete;
    MessageTargetScope& operator=(const MessageTargetScope&) = delete;
    void Attach(wxWindow* window) { Reset(); ref_ = RegisterMessageTarget(window); }
    void Reset() { if (ref_) UnregisterMessageTarget(ref_); ref_ = nullptr; }
    WindowRef get() const { return ref_; }

private:
    WindowRef ref_ = nullptr;
};

}  // namespace platform
