// An opened recording mixer, in the shape the mixer code asks of it: the recording destination,
// its source lines by index (component type, short name, channel count), a line's level control
// by type, and writing one unsigned value to a control. Each open is one job: open, ask, close
// (the object's destruction closes it). The system's mixer is the ALSA one (AlsaMixer.h); tests
// bring their own lines and controls behind the same interface.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace platform {

// Line component types (the classic mixer's values, which stored logic compares against).
constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_DST_WAVEIN = 7;
constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED = 0x1000;
constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_DIGITAL = 0x1001;
constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_LINE = 0x1002;
constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE = 0x1003;
constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER = 0x1004;
constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC = 0x1005;
constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_TELEPHONE = 0x1006;
constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_PCSPEAKER = 0x1007;
constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT = 0x1008;
constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_AUXILIARY = 0x1009;
constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_ANALOG = 0x100A;

// Control types.
constexpr std::uint32_t MIXERCONTROL_CONTROLTYPE_VOLUME = 0x50030001;
constexpr std::uint32_t MIXERCONTROL_CONTROLTYPE_MUX = 0x71010001;

// A short name holds at most this many characters and its terminator.
constexpr std::size_t MIXER_SHORT_NAME_CHARS = 16;

// The full scale of a level written to a control (the recorder writes 0..65000).
constexpr std::uint32_t kMixerLevelMax = 65000;

struct MixerLineInfo {
    std::uint32_t componentType = 0;
    std::uint32_t channels = 0;
    std::string shortName;  // at most MIXER_SHORT_NAME_CHARS - 1 characters
};

class MixerDevice {
public:
    virtual ~MixerDevice() = default;

    // Whether the mixer has a recording destination (DST_WAVEIN).
    virtual bool HasRecordingDestination() = 0;
    // Source line `index` of the recording destination; nullopt past the last one.
    virtual std::optional<MixerLineInfo> RecordingSource(std::uint32_t index) = 0;
    // The id of that source line's control of `controlType`; nullopt when the line has none.
    virtual std::optional<std::uint32_t> LineControl(std::uint32_t sourceIndex, std::uint32_t controlType) = 0;
    // Writes one unsigned value (0..kMixerLevelMax) to the control, for all its channels.
    virtual bool SetControlValue(std::uint32_t controlId, std::uint32_t value) = 0;
    // What the control holds, on the same scale (the first channel); nullopt when it cannot be read.
    virtual std::optional<std::uint32_t> GetControlValue(std::uint32_t controlId) = 0;
};

}  // namespace platform
