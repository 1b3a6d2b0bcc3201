#include "options/AdvancedPageLogic.h"

namespace options {

bool LimitRefused(bool limitOn, int hours, int minutes) { return limitOn && hours == 0 && minutes == 0; }

int VizTypeFromStored(int stored) {
    if (stored == kVizEqualizer) return kVizEqualizer;
    if (stored == kVizSpectrum) return kVizSpectrum;
    return kVizGraph;
}

ModeRadios PlanModeRadios(int specialMode, const ModeAvailability& available, bool noSpeakerPhone, int driverMode) {
    ModeRadios radios;
    radios.enabled[kModeVoiceRecording] = available.voice;
    radios.enabled[kModeDirectionalArray] = available.directional && !noSpeakerPhone;
    radios.enabled[kModeSpeakerPhone] = available.speakerPhone;
    if (specialMode == kModeNoDriver) {
        for (bool& e : radios.enabled) e = false;
        return radios;
    }
    radios.checked = (driverMode >= kModeNone && driverMode <= kModeSpeakerPhone) ? driverMode : kModeNone;
    return radios;
}

std::optional<int> ModeToApply(int specialMode, bool available) {
    if (specialMode == kModeNone) return kModeNone;
    if (specialMode >= kModeVoiceRecording && specialMode <= kModeSpeakerPhone && available) return specialMode;
    return std::nullopt;
}

std::optional<int> RadioForDriverMode(int driverMode) {
    if (driverMode >= kModeNone && driverMode <= kModeSpeakerPhone) return driverMode;
    return std::nullopt;
}

}  // namespace options
