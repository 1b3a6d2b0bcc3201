// Types, messages and program-wide values both audio engines share with their callers.
#pragma once
#include <cstdint>

#include "platform/Result.h"
#include "platform/WindowMessage.h"

using LONGLONG = std::int64_t;  // positions and durations in 100-nanosecond units
using LONG_PTR = std::intptr_t;

// Messages the engines post or send.
constexpr std::uint32_t WM_GRAPHNOTIFY = platform::WM_APP + 1;  // lParam: 0 recording, 1 playback engine
constexpr std::uint32_t WM_VIS_SAMPLES = platform::WM_APP + 6;  // the tap stored new samples
constexpr std::uintptr_t VIS_CMD_STOPPED = 10;                 // WM_VIS_SAMPLES wParam: an engine stopped
constexpr std::uintptr_t VIS_CMD_RESET = 11;                   // WM_NULL wParam: reset peak markers
constexpr std::uintptr_t VIS_CMD_HALT = 12;                    // WM_NULL wParam: halt the refresh timer

// Graph event codes (GetEvent).
constexpr long EC_COMPLETE = 0x01;
constexpr long EC_ERRORABORT = 0x03;
constexpr long EC_DEVICE_LOST = 0x1F;

// Playback file types (GetFileInfo).
constexpr int kFileTypeDefaultChain = 1;
constexpr int kFileTypeWindowsMedia = 2;
constexpr int kFileTypeUnplayable = -1;

// The wave format record as stored in files: 18 bytes, packed, little-endian fields.
#pragma pack(push, 1)
struct WAVEFORMATEX {
    std::uint16_t wFormatTag;
    std::uint16_t nChannels;
    std::uint32_t nSamplesPerSec;
    std::uint32_t nAvgBytesPerSec;
    std::uint16_t nBlockAlign;
    std::uint16_t wBitsPerSample;
    std::uint16_t cbSize;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);

// The visualizer window both engines announce samples to. The main window sets it when it creates
// the visualizer and clears it before the visualizer goes; safe to read from the streaming thread.
void SetVisualizerWindow(platform::WindowRef window);
platform::WindowRef GetVisualizerWindow();
