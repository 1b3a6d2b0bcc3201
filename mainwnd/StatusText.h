// The status display's arithmetic and texts: the digit read-out, the duration and position texts,
// the information line, the progress bar, the playback volume and the special-mode button's rules.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace mainwnd {

struct Hms {
    std::uint64_t hours;
    unsigned minutes;
    unsigned seconds;
};
Hms SplitSeconds(std::uint64_t seconds);

// The six digit cells, left to right (hours tens, hours units, minutes tens, minutes units,
// seconds tens, seconds units); −1 where the cell shows no digit (hours from 100 on).
std::array<int, 6> ReadoutDigits(std::uint64_t seconds);

// Whole seconds of a position in 100 ns units (via milliseconds, as the read-out counts).
std::uint64_t SecondsOf(std::int64_t position100ns);

// " HH:MM:SS" of a duration in 100 ns units; `previous` when the duration is not positive.
std::string MakeDurationText(std::int64_t duration100ns, const std::string& previous);

// " HH:MM:SS /" + durationText for the file information line; nullopt for a negative position.
std::optional<std::string> PlayTimeText(std::int64_t position100ns, const std::string& durationText);

// " %d KHz / %s %dKB".
std::string InfoLineText(int rateKHz, const std::string& channelLabel, std::uint64_t sizeBytes);

// The string-table id of the channel label: 1220 for one channel, 1217 otherwise.
unsigned ChannelLabelId(int channels);

// Progress bar 0..100 from the position, truncated; 0 when the duration is 0.
int ProgressPosition(std::int64_t position100ns, std::int64_t duration100ns);

// Volume bar −2000..0 → percent shown, and the value the playback engine gets.
int VolumePercent(int barPosition);
long EngineVolume(int barPosition, bool muted);

// The special-recording mode button. The window reads the driver's mode, asks for the step, sets
// the mode (before and/or after, as the step says), shows the image and the tooltip.
enum class ModeImage { None, VR, DA, SP };
struct SpecialModeStep {
    std::optional<int> setModeBefore;
    ModeImage image = ModeImage::None;
    bool tooltipFromReread = false;     // SP image: the tooltip follows the mode read again
    std::optional<unsigned> tooltipMessage;
    std::optional<int> setModeAfter;
};
SpecialModeStep DecideSpecialMode(bool speakerPhoneRule, int currentMode, bool advance);
// The SP image's tooltip for the mode read again: 0 → 1006, 3 → 1005, other → none.
std::optional<unsigned> SpeakerPhoneTooltip(int rereadMode);

}  // namespace mainwnd
