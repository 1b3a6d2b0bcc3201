#include "mixer/MixerAccess.h"

#include "platform/AlsaMixer.h"

namespace {
MixerOpener& Opener() {
    static MixerOpener opener;
    return opener;
}
}  // namespace

void SetMixerOpener(MixerOpener opener) { Opener() = std::move(opener); }

std::unique_ptr<platform::MixerDevice> OpenRecordingMixer() {
    if (Opener()) return Opener()();
    return platform::OpenAlsaMixer();
}

std::optional<std::uint32_t> LevelControl(platform::MixerDevice& mixer, std::uint32_t line) {
    if (auto id = mixer.LineControl(line, platform::MIXERCONTROL_CONTROLTYPE_VOLUME)) return id;
    return mixer.LineControl(line, platform::MIXERCONTROL_CONTROLTYPE_MUX);
}
