// The MP3 encoder's fixed settings, written by the main window once at start-up into the encoder's
// key (audio/LameSettings.h), next to the quality values the General page writes.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace mainwnd {

// The values in the order they are written.
const std::vector<std::pair<std::string, std::uint32_t>>& LameDefaultValues();

// Writes them (creating the key); false when the key cannot be written (nothing is reported).
bool WriteLameDefaults();

}  // namespace mainwnd
