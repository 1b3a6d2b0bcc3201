// Numbers of the messages the skinned controls post and take.
#pragma once
#include <cstdint>

#include "platform/WindowMessage.h"

namespace controls {

// Posted by a skinned slider to its notify target: wParam the slider's ID, lParam the position.
constexpr std::uint32_t WM_SLIDER_MOVING = 0x28D1;  // a drag changed the position
constexpr std::uint32_t WM_SLIDER_MOVED = 0x28D2;   // the left button was released

// Taken by the visualizer.
constexpr std::uint32_t WM_VIS_SAMPLES = platform::WM_APP + 6;  // new samples in the shared buffer
constexpr std::uintptr_t VIS_CMD_STOPPED = 10;  // with WM_VIS_SAMPLES: the engine stopped
constexpr std::uintptr_t VIS_CMD_RESET = 11;    // with WM_NULL: reset the peak markers
constexpr std::uintptr_t VIS_CMD_HALT = 12;     // with WM_NULL: stop the refresh timer

// Timers of the controls.
constexpr int IDT_SCROLL_TEXT = 666;      // 40 ms
constexpr int IDT_VIS_REFRESH = 104;      // 100 ms

}  // namespace controls
