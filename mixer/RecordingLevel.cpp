#include "mixer/RecordingLevel.h"

#include <algorithm>
#include <optional>

#include "mixer/MixerAccess.h"
#include "mixer/MixerControl.h"

namespace {
constexpr const char* kCaptureElement = "Capture";

// The capture element of a mixer whose lines carry no input names.
std::optional<std::uint32_t> DefaultCaptureLine(platform::MixerDevice& mixer) {
    std::optional<std::uint32_t> named;
    std::uint32_t count = 0;
    for (std::uint32_t i = 0; i < kMaxSourceLines; ++i) {
        const auto line = mixer.RecordingSource(i);
        if (!line) break;
        ++count;
        if (!named && line->shortName == kCaptureElement) named = i;
    }
    if (named) return named;
    if (count == 1) return 0u;
    return std::nullopt;
}
}  // namespace

bool SetRecordingLevel(const std::string& inputName, std::uint32_t componentType, std::uint32_t level) {
    {
        CMixerControl control(inputName, componentType);
        if (control.IsUsable() && control.ControlId() != kNoMixerControl) {
            control.SetLevel(level);
            return true;
        }
    }
    auto mixer = OpenRecordingMixer();
    if (!mixer || !mixer->HasRecordingDestination()) return false;
    const auto line = DefaultCaptureLine(*mixer);
    if (!line) return false;
    const auto id = LevelControl(*mixer, *line);
    if (!id) return false;
    return mixer->SetControlValue(*id, std::min(level, platform::kMixerLevelMax));
}
