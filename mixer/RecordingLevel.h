// The recording level of the chosen input as the main window sets it. The level goes to the mixer
// line that carries the input's name (CMixerControl). On a mixer where no line carries it (the
// sound server's mixer names no ports, it has one capture element "Capture" for its default
// source) the level goes to that capture element: the mixer's line named "Capture", else its only
// source line. Every mixer error is silent.
#pragma once
#include <cstdint>
#include <string>

// Sets `level` (0..65000) for the input `inputName` of line type `componentType`. Returns whether a
// control took the level.
bool SetRecordingLevel(const std::string& inputName, std::uint32_t componentType, std::uint32_t level);
