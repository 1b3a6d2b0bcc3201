// Where the mixer code gets its mixer from: the system's recording mixer (ALSA, platform/AlsaMixer.h)
// unless an opener has been set (tests bring a mixer with the lines and controls they need).
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "platform/MixerDevice.h"

using MixerOpener = std::function<std::unique_ptr<platform::MixerDevice>()>;

// Replaces the opener; an empty one restores the system's mixer.
void SetMixerOpener(MixerOpener opener);

// Opens the recording mixer for one job; null when there is none.
std::unique_ptr<platform::MixerDevice> OpenRecordingMixer();

// The recording destination's source lines looked at when searching for a line.
constexpr std::uint32_t kMaxSourceLines = 15;

// The control that sets source line `line`'s level: its volume control, else its multiplexer control.
std::optional<std::uint32_t> LevelControl(platform::MixerDevice& mixer, std::uint32_t line);

// Installs an opener for its scope and restores the system's mixer after it.
class ScopedMixerOpener {
public:
    explicit ScopedMixerOpener(MixerOpener opener) { SetMixerOpener(std::move(opener)); }
    ~ScopedMixerOpener() { SetMixerOpener({}); }
    ScopedMixerOpener(const ScopedMixerOpener&) = delete;
    ScopedMixerOpener& operator=(const ScopedMixerOpener&) = delete;
};
