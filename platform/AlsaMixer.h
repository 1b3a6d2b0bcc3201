// The system's recording mixer: ALSA's mixer on the default control, which is the sound server's
// where one runs. Recording sources are the simple elements with a capture volume or a capture
// switch, in the mixer's element order; a source's component type comes from its name
// (AlsaComponentType); its volume control is the capture volume, its multiplexer the capture
// switch. A level 0..65000 is scaled onto the element's capture volume range.
#pragma once
#include <memory>
#include <string>

#include "platform/MixerDevice.h"

namespace platform {

// Opens the ALSA mixer on `device` ("default" unless MURMELO_ALSA_MIXER names another control);
// null when there is no such mixer.
std::unique_ptr<MixerDevice> OpenAlsaMixer(const std::string& device = {});

// The component type an element name stands for (Mic -> SRC_MICROPHONE, Line -> SRC_LINE, CD ->
// SRC_COMPACTDISC, ...; SRC_UNDEFINED when the name says nothing).
std::uint32_t AlsaComponentType(const std::string& elementName);

// The short name of element (name, index): the name, with " N" for indexes above 0, cut to
// MIXER_SHORT_NAME_CHARS - 1 characters.
std::string AlsaShortName(const std::string& elementName, unsigned index);

// The raw capture volume a level (0..65000, larger values count as 65000) gives in [min, max],
// rounded to the nearest step; and back.
long ScaleLevelToRange(std::uint32_t level, long min, long max);
std::uint32_t ScaleRangeToLevel(long value, long min, long max);

}  // namespace platform
