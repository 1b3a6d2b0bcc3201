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
