#include "mixer/MixerControl.h"

#include <algorithm>

#include "mixer/MixerAccess.h"

std::uint32_t MixerLevelFromPercent(int percent) {
    return static_cast<std::uint32_t>(std::clamp(percent, 0, 100)) * 650u;
}

CMixerControl::CMixerControl(const std::string& sourceName, std::uint32_t componentType) {
    auto mixer = OpenRecordingMixer();
    if (!mixer || !mixer->HasRecordingDestination()) return;
    for (std::uint32_t i = 0; i < kMaxSourceLines; ++i) {
        const auto line = mixer->RecordingSource(i);
        if (!line) return;  // past the last source without a match
        if (line->shortName != sourceName || line->componentType != componentType) continue;
        m_dwChannels = line->channels;
        const auto control = LevelControl(*mixer, i);
        if (!control) return;
        m_dwControlID = *control;
        m_bUsable = true;
        return;
    }
    // Every line looked at and none matched: usable, but without a control.
    m_bUsable = true;
}

CMixerControl::~CMixerControl() = default;

void CMixerControl::SetLevel(std::uint32_t level) {
    if (!m_bUsable || m_dwControlID == kNoMixerControl) return;
    auto mixer = OpenRecordingMixer();
    if (!mixer) return;
    mixer->SetControlValue(m_dwControlID, std::min(level, platform::kMixerLevelMax));
}
