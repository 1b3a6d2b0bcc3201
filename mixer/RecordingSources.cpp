#include "mixer/RecordingSources.h"

#include <algorithm>

#include "mixer/MixerAccess.h"

void ReadRecordingSources(RecordingSourceTable& table, std::size_t captureInputCount) {
    table = RecordingSourceTable{};
    auto mixer = OpenRecordingMixer();
    if (!mixer || !mixer->HasRecordingDestination()) return;
    const std::size_t wanted = std::min(captureInputCount, kMaxRecordingSources);
    for (std::size_t i = 0; i < wanted; ++i) {
        const auto line = mixer->RecordingSource(static_cast<std::uint32_t>(i));
        if (!line) break;
        table.entries[i].componentType = line->componentType;
        table.entries[i].shortName = line->shortName;
        table.count = i + 1;
    }
}

std::uint32_t LookupSourceType(const RecordingSourceTable& table, const std::string& name) {
    const std::size_t n = std::min(table.count, kMaxRecordingSources);
    for (std::size_t i = 0; i < n; ++i)
        if (table.entries[i].shortName == name) return table.entries[i].componentType;
    return kUnknownSourceType;
}

bool SelectDefaultMicrophone(const RecordingSourceTable& table, const std::vector<std::string>& inputNames,
                             int& chosenInput) {
    bool found = false;
    const std::size_t n = std::min(table.count, kMaxRecordingSources);
    for (std::size_t i = 0; i < n; ++i) {
        if (table.entries[i].componentType != platform::MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE) continue;
        for (std::size_t j = 0; j < inputNames.size(); ++j) {
            if (inputNames[j] == table.entries[i].shortName) {
                chosenInput = static_cast<int>(j);
                found = true;
            }
        }
    }
    return found;
}
