// The external-microphone switch on the first sound card's mixer, through ALSA's control interface.
//
// The mixer is the control device of card 0 ("hw:0"). Its lines are the mixer elements grouped by
// name the way ALSA's simple mixer groups them ("Mic Playback Volume" and "Mic Playback Switch" are
// the line "Mic"), in element order; the card's mixer has one destination whose sources are those
// lines. The microphone line is the first line whose name says microphone ("Mic", "Front Mic",
// "Microphone" ...). The switch is the element with numid 11 when it belongs to that line.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct _snd_ctl;

namespace quillon {

constexpr unsigned kSwitchControlId = 11;
constexpr const char* kMixerDevice = "hw:0";

constexpr unsigned MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED = 0x1000;
constexpr unsigned MIXERLINE_COMPONENTTYPE_SRC_DIGITAL = 0x1001;
constexpr unsigned MIXERLINE_COMPONENTTYPE_SRC_LINE = 0x1002;
constexpr unsigned MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE = 0x1003;
constexpr unsigned MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER = 0x1004;
constexpr unsigned MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC = 0x1005;
constexpr unsigned MIXERLINE_COMPONENTTYPE_SRC_TELEPHONE = 0x1006;
constexpr unsigned MIXERLINE_COMPONENTTYPE_SRC_PCSPEAKER = 0x1007;
constexpr unsigned MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT = 0x1008;
constexpr unsigned MIXERLINE_COMPONENTTYPE_SRC_AUXILIARY = 0x1009;
constexpr unsigned MIXERLINE_COMPONENTTYPE_SRC_ANALOG = 0x100A;

// How far the start got; the first four are the outcomes the dialog reports or stops at.
enum class MixerStatus {
    NoMixer,          // no sound card: "No mixer device present."
    OpenFailed,       // the card's control device would not open: "Could not open mixer device"
    CapsFailed,       // its description or element list could not be read: "Error querying device capabilities."
    NoSources,        // the mixer has no lines
    NoMicrophoneLine, // no line is a microphone
    NoSwitch,         // the microphone line has no control 11 (or it could not be read)
    SwitchFound,
};

struct MixerControl {
    unsigned controlId = 0;          // the element's numid
    std::string name;                // the element's full name
    int type = 0;                    // SND_CTL_ELEM_TYPE_*
    unsigned channels = 0;
    unsigned multipleItems = 0;      // enumerated: number of items, else 0
    std::vector<std::string> itemTexts;
};

struct MixerLine {
    std::string name;
    unsigned componentType = MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED;
    std::vector<MixerControl> controls;
};

// The line an element belongs to: its name without the playback/capture switch/volume/route suffix.
std::string LineNameOf(const std::string& elementName);
// The component type a line's name suggests (a word "Mic"/"Microphone" is a microphone, ...).
unsigned ComponentTypeOf(const std::string& lineName);

class CMixerSwitch {
public:
    explicit CMixerSwitch(std::string device = kMixerDevice);
    ~CMixerSwitch();
    CMixerSwitch(const CMixerSwitch&) = delete;
    CMixerSwitch& operator=(const CMixerSwitch&) = delete;

    // Opens the mixer, reads its lines, finds the microphone line and the switch on it and reads
    // the switch's current value. The mixer stays open (for SetSwitch) unless opening failed.
    MixerStatus Open();
    void Close();

    bool HasSwitch() const { return m_bHasSwitch; }
    // The switch's first value as read at open or last written.
    long SwitchValue() const { return m_nValue; }
    long ValueBeforeChange() const { return m_nOldValue; }
    // Writes the value to every channel of the switch; false (nothing else) when that fails.
    bool SetSwitch(long value);
    // Flips the first value between 0 and 1 and writes it; returns the new value, or -1 without a switch.
    long ToggleSwitch();

    const std::vector<MixerLine>& Sources() const { return m_sources; }
    int MicrophoneLine() const { return m_nMicLine; }  // index into Sources(), -1 when none

private:
    bool ReadControl(unsigned numid, MixerControl& control);
    bool ReadSwitchValue();

    std::string m_strDevice;
    _snd_ctl* m_hMixer = nullptr;
    std::vector<MixerLine> m_sources;
    int m_nMicLine = -1;
    bool m_bHasSwitch = false;
    MixerControl m_switch;
    long m_nValue = 0;
    long m_nOldValue = 0;
};

}  // namespace quillon
