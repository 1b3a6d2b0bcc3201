#include "mainwnd/StatusText.h"

#include <cstdio>

namespace mainwnd {

Hms SplitSeconds(std::uint64_t seconds) {
    return {seconds / 3600, static_cast<unsigned>((seconds / 60) % 60), static_cast<unsigned>(seconds % 60)};
}

std::array<int, 6> ReadoutDigits(std::uint64_t seconds) {
    Hms t = SplitSeconds(seconds);
    auto digit = [](std::uint64_t v) { return v <= 9 ? static_cast<int>(v) : -1; };
    return {digit(t.hours / 10), digit(t.hours % 10), digit(t.minutes / 10), digit(t.minutes % 10),
            digit(t.seconds / 10), digit(t.seconds % 10)};
}

std::uint64_t SecondsOf(std::int64_t position100ns) {
    if (position100ns <= 0) return 0;
    return static_cast<std::uint64_t>(position100ns / 10000 / 1000);
}

namespace {
std::string Hhmmss(std::uint64_t seconds) {
    Hms t = SplitSeconds(seconds);
    char buf[48];
    std::snprintf(buf, sizeof buf, " %02llu:%02u:%02u", static_cast<unsigned long long>(t.hours), t.minutes, t.seconds);
    return buf;
}
}  // namespace

std::string MakeDurationText(std::int64_t duration100ns, const std::string& previous) {
    if (duration100ns <= 0) return previous;
    return Hhmmss(SecondsOf(duration100ns));
}

std::optional<std::string> PlayTimeText(std::int64_t position100ns, const std::string& durationText) {
    if (position100ns < 0) return std::nullopt;
    return Hhmmss(SecondsOf(position100ns)) + " /" + durationText;
}

std::string InfoLineText(int rateKHz, const std::string& channelLabel, std::uint64_t sizeBytes) {
    char buf[64];
    std::snprintf(buf, sizeof buf, " %d KHz / ", rateKHz);
    std::string text = buf;
    text += channelLabel;
    std::snprintf(buf, sizeof buf, " %lluKB", static_cast<unsigned long long>(sizeBytes / 1024));
    return text + buf;
}

unsigned ChannelLabelId(int channels) { return channels == 1 ? 1220 : 1217; }

int ProgressPosition(std::int64_t position100ns, std::int64_t duration100ns) {
    if (duration100ns == 0) return 0;
    return static_cast<int>(static_cast<double>(position100ns) * 100.0 / static_cast<double>(duration100ns));
}

int VolumePercent(int barPosition) { return barPosition * 100 / 2000 + 100; }

long EngineVolume(int barPosition, bool muted) {
    if (muted || barPosition <= -2000) return -10000;
    return barPosition;
}

SpecialModeStep DecideSpecialMode(bool speakerPhoneRule, int mode, bool advance) {
    SpecialModeStep s;
    auto vr = [&] { s.image = ModeImage::VR; s.tooltipMessage = 1000; };
    auto da = [&] { s.image = ModeImage::DA; s.tooltipMessage = 1001; };
    if (speakerPhoneRule) {
        if (mode == 1) {
            if (advance) { da(); s.setModeAfter = 2; } else vr();
        } else if (mode == 2) {
            if (advance) { s.setModeBefore = 1; vr(); } else da();
        } else {
            if (advance) { s.setModeBefore = 1; vr(); }
            else { s.image = ModeImage::SP; s.tooltipFromReread = true; }
        }
        return s;
    }
    if (mode == 1 && !advance) vr();
    else if (mode == 0) {
        if (advance) { s.setModeBefore = 1; vr(); }
        else { s.image = ModeImage::SP; s.tooltipMessage = 1006; }
    }
    return s;
}

std::optional<unsigned> SpeakerPhoneTooltip(int rereadMode) {
    if (rereadMode == 0) return 1006u;
    if (rereadMode == 3) return 1005u;
    return std::nullopt;
}

}  // namespace mainwnd
