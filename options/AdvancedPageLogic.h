// The Advanced page's rules without a window: the length limit, the stored texts, the visualizer
// type and the array-microphone mode radios.
#pragma once
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "micarray/MicArrayDriver.h"

namespace options {

// Visualizer types.
constexpr int kVizGraph = 1;
constexpr int kVizSpectrum = 2;
constexpr int kVizEqualizer = 3;

// Special recording modes (kModeNone .. kModeSpeakerPhone, kModeNoDriver) as the driver wrapper
// numbers them.

// A limit of 0 hours and 0 minutes cannot be recorded to.
bool LimitRefused(bool limitOn, int hours, int minutes);

// The visualizer type a stored VizState text stands for (3 and 2 as such, anything else the graph).
int VizTypeFromStored(int stored);

// Enabled state of the four mode radios (none, voice, directional, speaker phone) and the one to
// check (-1: none) when the page opens.
struct ModeRadios {
    bool enabled[4] = {true, true, true, true};
    int checked = -1;
};
struct ModeAvailability {
    bool voice = false;
    bool directional = false;
    bool speakerPhone = false;
};
ModeRadios PlanModeRadios(int specialMode, const ModeAvailability& available, bool noSpeakerPhone, int driverMode);

// The mode to send to the driver when the page is left: none is always sent, the others only when
// the driver offers them, nothing without a driver.
std::optional<int> ModeToApply(int specialMode, bool available);

// The radio to show for a mode the driver announced (nullopt for a value outside 0 to 3).
std::optional<int> RadioForDriverMode(int driverMode);

}  // namespace options
