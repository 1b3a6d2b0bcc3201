// The recording mixer's source lines as the program knows them: a table of up to 10 entries, entry
// i describing source line i of the recording destination (capture input i), and the two questions
// asked of it: the line type of an input name, and which input is the microphone.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr std::size_t kMaxRecordingSources = 10;

// The line type LookupSourceType gives a name no entry carries.
constexpr std::uint32_t kUnknownSourceType = 1;

struct RecordingSource {
    std::uint32_t componentType = 0;  // MIXERLINE_COMPONENTTYPE_SRC_... (platform/MixerDevice.h)
    std::string shortName;            // at most 15 characters
};

struct RecordingSourceTable {
    std::array<RecordingSource, kMaxRecordingSources> entries{};
    std::size_t count = 0;  // entries filled by the last ReadRecordingSources
};

// Empties the table, then fills it with the recording destination's source lines 0 .. n-1, where
// n is the number of capture inputs, at most 10; stops at the first line the mixer does not report.
// Without a mixer or a recording destination the table stays empty. Opens and closes the mixer.
void ReadRecordingSources(RecordingSourceTable& table, std::size_t captureInputCount);

// The component type of the first entry whose short name is exactly `name`; 1 when there is none.
std::uint32_t LookupSourceType(const RecordingSourceTable& table, const std::string& name);

// Points `chosenInput` at the microphone input: for every microphone-type entry (0x1003), in
// table order, each capture input whose name equals the entry's short name becomes the choice, so
// the last match wins. Without a match `chosenInput` stays; returns whether one was found.
bool SelectDefaultMicrophone(const RecordingSourceTable& table, const std::vector<std::string>& inputNames,
                             int& chosenInput);
