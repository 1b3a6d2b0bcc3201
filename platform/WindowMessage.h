// Messages between the program's own windows. A window that takes messages registers itself
// (WxMessageTarget.h) and gets a WindowRef; engines without any GUI header post to that ref.
#pragma once
#include <cstdint>

namespace platform {

struct WindowTag;
using WindowRef = WindowTag*;  // opaque; null means "no window"

constexpr std::uint32_t WM_NULL = 0x0000;
constexpr std::uint32_t WM_APP = 0x8000;

// Queues the message for the window's thread. Safe from any thread; dropped (returns false) when
// the window is gone or was never registered.
bool PostWindowMessage(WindowRef target, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);

// Handles the message synchronously and returns the handler's result (0 when the window is gone).
// User-interface thread only.
std::intptr_t SendWindowMessage(WindowRef target, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);

}  // namespace platform
