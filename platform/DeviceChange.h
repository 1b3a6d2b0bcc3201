// Device-change notifications as the main window receives them: one window message whose wParam
// says what happened and whose lParam says which kind of device it was. The mount-table watcher
// (MountWatcher.h) and the audio device watcher post it through WindowMessage.h.
#pragma once
#include <cstdint>

namespace platform {

constexpr std::uint32_t WM_DEVICECHANGE = 0x0219;

// wParam.
constexpr std::uintptr_t DBT_DEVNODES_CHANGED = 0x0007;
constexpr std::uintptr_t DBT_DEVICEARRIVAL = 0x8000;
constexpr std::uintptr_t DBT_DEVICEREMOVECOMPLETE = 0x8004;

// lParam: the kind of device.
constexpr std::intptr_t kDeviceClassNone = 0;
constexpr std::intptr_t kDeviceClassAudio = 1;  // an audio capture or playback device
constexpr std::intptr_t kDeviceClassDrive = 2;  // a mounted file system

}  // namespace platform
