#include "platform/AlsaMixer.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <set>
#include <vector>

namespace platform {
namespace {

// A source's two controls get consecutive ids: 2i the capture volume, 2i + 1 the capture switch.
// The ids stay the same from one open to the next as long as the mixer's elements do.
constexpr std::uint32_t kVolumeSlot = 0;
constexpr std::uint32_t kSwitchSlot = 1;

std::vector<std::string> Words(const std::string& name) {
    std::vector<std::string> words;
    std::string word;
    for (char c : name) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            word.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
        } else if (!word.empty()) {
            words.push_back(word);
            word.clear();
        }
    }
    if (!word.empty()) words.push_back(word);
    return words;
}

snd_mixer_selem_channel_id_t FirstCaptureChannel(snd_mixer_elem_t* elem) {
    for (int c = 0; c <= SND_MIXER_SCHN_LAST; ++c) {
        auto channel = static_cast<snd_mixer_selem_channel_id_t>(c);
        if (snd_mixer_selem_has_capture_channel(elem, channel)) return channel;
    }
    return SND_MIXER_SCHN_MONO;
}

class AlsaMixer final : public MixerDevice {
public:
    explicit AlsaMixer(snd_mixer_t* mixer) : mixer_(mixer) {
        for (snd_mixer_elem_t* e = snd_mixer_first_elem(mixer_); e; e = snd_mixer_elem_next(e)) {
            if (!snd_mixer_selem_is_active(e)) continue;
            if (snd_mixer_selem_has_capture_volume(e) || snd_mixer_selem_has_capture_switch(e)) sources_.push_back(e);
        }
    }
    ~AlsaMixer() override { snd_mixer_close(mixer_); }

    bool HasRecordingDestination() override { return !sources_.empty(); }

    std::optional<MixerLineInfo> RecordingSource(std::uint32_t index) override {
        if (index >= sources_.size()) return std::nullopt;
        snd_mixer_elem_t* e = sources_[index];
        MixerLineInfo info;
        const std::string name = snd_mixer_selem_get_name(e);
        info.shortName = AlsaShortName(name, snd_mixer_selem_get_index(e));
        info.componentType = AlsaComponentType(name);
        std::uint32_t channels = 0;
        for (int c = 0; c <= SND_MIXER_SCHN_LAST; ++c)
            if (snd_mixer_selem_has_capture_channel(e, static_cast<snd_mixer_selem_channel_id_t>(c))) ++channels;
        info.channels = channels ? channels : 1;
        return info;
    }

    std::optional<std::uint32_t> LineControl(std::uint32_t sourceIndex, std::uint32_t controlType) override {
        if (sourceIndex >= sources_.size()) return std::nullopt;
        snd_mixer_elem_t* e = sources_[sourceIndex];
        if (controlType == MIXERCONTROL_CONTROLTYPE_VOLUME && snd_mixer_selem_has_capture_volume(e))
            return sourceIndex * 2 + kVolumeSlot;
        if (controlType == MIXERCONTROL_CONTROLTYPE_MUX && snd_mixer_selem_has_capture_switch(e))
            return sourceIndex * 2 + kSwitchSlot;
        return std::nullopt;
    }

    bool SetControlValue(std::uint32_t controlId, std::uint32_t value) override {
        snd_mixer_elem_t* e = ElementOf(controlId);
        if (!e) return false;
        if (controlId % 2 == kVolumeSlot) {
            long min = 0, max = 0;
            if (snd_mixer_selem_get_capture_volume_range(e, &min, &max) < 0) return false;
            return snd_mixer_selem_set_capture_volume_all(e, ScaleLevelToRange(value, min, max)) >= 0;
        }
        return snd_mixer_selem_set_capture_switch_all(e, value != 0 ? 1 : 0) >= 0;
    }

    std::optional<std::uint32_t> GetControlValue(std::uint32_t controlId) override {
        snd_mixer_elem_t* e = ElementOf(controlId);
        if (!e) return std::nullopt;
        const auto channel = FirstCaptureChannel(e);
        if (controlId % 2 == kVolumeSlot) {
            long min = 0, max = 0, v = 0;
            if (snd_mixer_selem_get_capture_volume_range(e, &min, &max) < 0) return std::nullopt;
            if (snd_mixer_selem_get_capture_volume(e, channel, &v) < 0) return std::nullopt;
            return ScaleRangeToLevel(v, min, max);
        }
        int on = 0;
        if (snd_mixer_selem_get_capture_switch(e, channel, &on) < 0) return std::nullopt;
        return on ? 1u : 0u;
    }

private:
    snd_mixer_elem_t* ElementOf(std::uint32_t controlId) const {
        const std::uint32_t index = controlId / 2;
        if (index >= sources_.size()) return nullptr;
        snd_mixer_elem_t* e = sources_[index];
        const bool ok = controlId % 2 == kVolumeSlot ? snd_mixer_selem_has_capture_volume(e)
                                                     : snd_mixer_selem_has_capture_switch(e);
        return ok ? e : nullptr;
    }

    snd_mixer_t* mixer_;
    std::vector<snd_mixer_elem_t*> sources_;
};

}  // namespace

std::unique_ptr<MixerDevice> OpenAlsaMixer(const std::string& device) {
    std::string name = device;
    if (name.empty()) {
        const char* env = std::getenv("MURMELO_ALSA_MIXER");
        name = env && *env ? env : "default";
    }
    snd_mixer_t* mixer = nullptr;
    if (snd_mixer_open(&mixer, 0) < 0 || !mixer) return nullptr;
    if (snd_mixer_attach(mixer, name.c_str()) < 0 || snd_mixer_selem_register(mixer, nullptr, nullptr) < 0 ||
        snd_mixer_load(mixer) < 0) {
        snd_mixer_close(mixer);
        return nullptr;
    }
    return std::make_unique<AlsaMixer>(mixer);
}

std::uint32_t AlsaComponentType(const std::string& elementName) {
    const std::vector<std::string> words = Words(elementName);
    auto has = [&](std::initializer_list<const char*> any) {
        return std::any_of(words.begin(), words.end(), [&](const std::string& w) {
            return std::any_of(any.begin(), any.end(), [&](const char* a) { return w == a; });
        });
    };
    // Microphone first: "Digital Mic" and "Mic Boost" are microphones.
    if (has({"mic", "mics", "microphone"})) return MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE;
    if (has({"line"})) return MIXERLINE_COMPONENTTYPE_SRC_LINE;
    if (has({"cd"})) return MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC;
    if (has({"aux"})) return MIXERLINE_COMPONENTTYPE_SRC_AUXILIARY;
    if (has({"phone", "telephone"})) return MIXERLINE_COMPONENTTYPE_SRC_TELEPHONE;
    if (has({"beep"}) || (has({"pc"}) && has({"speaker"}))) return MIXERLINE_COMPONENTTYPE_SRC_PCSPEAKER;
    if (has({"synth", "midi", "fm"})) return MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER;
    if (has({"pcm", "wave", "mix", "loopback", "monitor"})) return MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT;
    if (has({"iec958", "spdif", "digital"})) return MIXERLINE_COMPONENTTYPE_SRC_DIGITAL;
    if (has({"video", "analog"})) return MIXERLINE_COMPONENTTYPE_SRC_ANALOG;
    return MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED;
}

std::string AlsaShortName(const std::string& elementName, unsigned index) {
    std::string name = elementName;
    if (index > 0) name += " " + std::to_string(index);
    constexpr std::size_t limit = MIXER_SHORT_NAME_CHARS - 1;
    if (name.size() <= limit) return name;
    std::size_t cut = limit;
    // Never cut inside a UTF-8 sequence.
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    return name.substr(0, cut);
}

long ScaleLevelToRange(std::uint32_t level, long min, long max) {
    if (max <= min) return min;
    const long long l = std::min(level, kMixerLevelMax);
    const long long span = static_cast<long long>(max) - min;
    return static_cast<long>(min + (l * span + kMixerLevelMax / 2) / kMixerLevelMax);
}

std::uint32_t ScaleRangeToLevel(long value, long min, long max) {
    if (max <= min) return 0;
    const long long v = std::clamp(value, min, max) - static_cast<long long>(min);
    const long long span = static_cast<long long>(max) - min;
    return static_cast<std::uint32_t>((v * kMixerLevelMax + span / 2) / span);
}

}  // namespace platform
