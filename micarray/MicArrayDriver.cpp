#include "micarray/MicArrayDriver.h"

#include <algorithm>
#include <vector>

namespace {

// Filter numbers and what each mode turns on.
constexpr std::uint32_t kFilterNoise0 = 0;
constexpr std::uint32_t kFilterNoise1 = 1;
constexpr std::uint32_t kFilterSpeakerPhone = 2;
constexpr std::uint32_t kFilterBeam = 3;

struct ModeFilters {
    bool f0, f1, f3, f2;
};

ModeFilters FiltersOf(int mode) {
    switch (mode) {
        case kModeVoiceRecording: return {true, true, false, false};
        case kModeDirectionalArray: return {false, false, true, false};
        case kModeSpeakerPhone: return {false, false, false, true};
        default: return {false, false, false, false};
    }
}

}  // namespace

CMicArrayDriver::CMicArrayDriver(const std::string& endpointPath, MicArrayAnnouncer announce)
    : m_announce(std::move(announce)) {
    m_device.Open(endpointPath);
}

CMicArrayDriver::~CMicArrayDriver() { m_device.Close(); }

bool CMicArrayDriver::IsPresent() const { return m_device.IsOpen(); }

bool CMicArrayDriver::QueryFilter(FilterState& state) {
    if (!IsPresent()) return false;
    const auto packed = state.Pack();
    const std::vector<std::uint8_t> input(packed.begin(), packed.end());
    std::vector<std::uint8_t> output;
    if (!m_device.Control(IOCTL_MICARRAY_READ_FILTER, input, kFilterStateSize, output)) return false;
    if (output.empty()) return false;
    // A short answer fills only what it carries; the rest of the record stays as sent.
    std::array<std::uint8_t, kFilterStateSize> merged = packed;
    std::copy(output.begin(), output.end(), merged.begin());
    state = FilterState::Unpack(merged.data());
    return true;
}

bool CMicArrayDriver::SetFilter(const FilterState& state, bool announce) {
    if (!IsPresent()) return false;
    const auto packed = state.Pack();
    const std::vector<std::uint8_t> input(packed.begin(), packed.end());
    std::vector<std::uint8_t> output;
    const bool ok = m_device.Control(IOCTL_MICARRAY_WRITE_FILTER, input, 0, output);
    if (announce && m_announce) m_announce();
    return ok;
}

int CMicArrayDriver::GetSpecialRecordingMode() {
    auto enabled = [this](std::uint32_t filter) {
        FilterState s;
        s.filter = filter;
        return QueryFilter(s) && s.enabled != 0;
    };
    if (enabled(kFilterNoise1)) return kModeVoiceRecording;
    if (enabled(kFilterBeam)) return kModeDirectionalArray;
    if (enabled(kFilterSpeakerPhone)) return kModeSpeakerPhone;
    if (enabled(kFilterNoise0)) return kModeVoiceRecording;
    return kModeNone;
}

bool CMicArrayDriver::IsSpecialRecordingModeAvailable(int mode) {
    FilterState s;
    switch (mode) {
        case kModeVoiceRecording: s.filter = kFilterNoise0; break;
        case kModeDirectionalArray: s.filter = kFilterBeam; break;
        case kModeSpeakerPhone: s.filter = kFilterSpeakerPhone; break;
        default: return false;
    }
    return QueryFilter(s) && s.available != 0;
}

void CMicArrayDriver::SetSpecialRecordingMode(int mode) {
    const ModeFilters f = FiltersOf(mode);
    auto write = [this](std::uint32_t filter, bool on, bool announce) {
        FilterState s;
        s.filter = filter;
        s.enabled = on ? 1 : 0;
        s.last = 0;
        SetFilter(s, announce);
    };
    write(kFilterNoise0, f.f0, false);
    write(kFilterNoise1, f.f1, false);
    write(kFilterBeam, f.f3, false);
    write(kFilterSpeakerPhone, f.f2, true);
}
