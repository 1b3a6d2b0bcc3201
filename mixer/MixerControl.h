// A short-lived handle on one recording source's level control: constructed for the chosen input's
// name and line type, given the level, destroyed. Every mixer error is silent; the recording then
// runs at whatever level the mixer has.
#pragma once
#include <cstdint>
#include <string>

constexpr std::uint32_t kNoMixerControl = 0xFFFFFFFFu;  // control ID -1

// The level the stored recording volume (percent) stands for: percent x 650, so 0..65000.
// Percentages outside 0..100 are taken as the nearest end.
std::uint32_t MixerLevelFromPercent(int percent);

class CMixerControl {
public:
    // Finds the source line whose short name is exactly `sourceName` and whose component type is
    // `componentType` among the first 15 lines of the recording destination, and its volume
    // control, else its multiplexer control.
    CMixerControl(const std::string& sourceName, std::uint32_t componentType);
    virtual ~CMixerControl();
    CMixerControl(const CMixerControl&) = delete;
    CMixerControl& operator=(const CMixerControl&) = delete;

    // Writes `level` (0..65000; more counts as 65000) to the control, for all channels. Does
    // nothing unless the object is usable and found a control.
    void SetLevel(std::uint32_t level);

    std::uint32_t Channels() const { return m_dwChannels; }
    std::uint32_t ControlId() const { return m_dwControlID; }
    bool IsUsable() const { return m_bUsable; }

private:
    std::uint32_t m_dwChannels = 0;
    std::uint32_t m_dwControlID = kNoMixerControl;
    bool m_bUsable = false;
};
