#include "micswitch/MixerSwitch.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <memory>

namespace quillon {

namespace {

template <typename T, void (*Free)(T*)>
struct AlsaDeleter {
    void operator()(T* p) const { Free(p); }
};
void FreeElemList(snd_ctl_elem_list_t* list) {
    snd_ctl_elem_list_free_space(list);
    snd_ctl_elem_list_free(list);
}
using ElemList = std::unique_ptr<snd_ctl_elem_list_t, AlsaDeleter<snd_ctl_elem_list_t, FreeElemList>>;
using ElemInfo = std::unique_ptr<snd_ctl_elem_info_t, AlsaDeleter<snd_ctl_elem_info_t, snd_ctl_elem_info_free>>;
using ElemValue = std::unique_ptr<snd_ctl_elem_value_t, AlsaDeleter<snd_ctl_elem_value_t, snd_ctl_elem_value_free>>;
using CardInfo = std::unique_ptr<snd_ctl_card_info_t, AlsaDeleter<snd_ctl_card_info_t, snd_ctl_card_info_free>>;

ElemInfo NewInfo() {
    snd_ctl_elem_info_t* p = nullptr;
    snd_ctl_elem_info_malloc(&p);
    return ElemInfo(p);
}

ElemValue NewValue() {
    snd_ctl_elem_value_t* p = nullptr;
    snd_ctl_elem_value_malloc(&p);
    return ElemValue(p);
}

bool EndsWith(const std::string& s, const std::string& suffix) {
    return s.size() > suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::vector<std::string> LowerWords(const std::string& name) {
    std::vector<std::string> words;
    std::string word;
    for (char c : name) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        } else if (!word.empty()) {
            words.push_back(word);
            word.clear();
        }
    }
    if (!word.empty()) words.push_back(word);
    return words;
}

// "mic", "mic2", "microphone"
bool IsMicWord(const std::string& w) {
    if (w == "microphone") return true;
    if (w.rfind("mic", 0) != 0) return false;
    return std::all_of(w.begin() + 3, w.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

bool SupportedSwitchType(int type) {
    return type == SND_CTL_ELEM_TYPE_BOOLEAN || type == SND_CTL_ELEM_TYPE_INTEGER ||
           type == SND_CTL_ELEM_TYPE_INTEGER64 || type == SND_CTL_ELEM_TYPE_ENUMERATED;
}

}  // namespace

std::string LineNameOf(const std::string& elementName) {
    static const char* const suffixes[] = {" Playback Switch", " Playback Volume", " Playback Route",
                                           " Capture Switch",  " Capture Volume",  " Capture Route",
                                           " Switch",          " Volume",          " Route"};
    for (const char* s : suffixes) {
        if (EndsWith(elementName, s)) return elementName.substr(0, elementName.size() - std::char_traits<char>::length(s));
    }
    return elementName;
}

unsigned ComponentTypeOf(const std::string& lineName) {
    const auto words = LowerWords(lineName);
    auto has = [&](std::initializer_list<const char*> names) {
        return std::any_of(words.begin(), words.end(), [&](const std::string& w) {
            return std::any_of(names.begin(), names.end(), [&](const char* n) { return w == n; });
        });
    };
    if (std::any_of(words.begin(), words.end(), IsMicWord)) return MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE;
    if (has({"line"})) return MIXERLINE_COMPONENTTYPE_SRC_LINE;
    if (has({"cd"})) return MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC;
    if (has({"aux"})) return MIXERLINE_COMPONENTTYPE_SRC_AUXILIARY;
    if (has({"phone"})) return MIXERLINE_COMPONENTTYPE_SRC_TELEPHONE;
    if (has({"beep", "speaker"})) return MIXERLINE_COMPONENTTYPE_SRC_PCSPEAKER;
    if (has({"pcm", "wave"})) return MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT;
    if (has({"synth", "midi", "fm"})) return MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER;
    if (has({"iec958", "spdif", "digital"})) return MIXERLINE_COMPONENTTYPE_SRC_DIGITAL;
    if (has({"video", "analog"})) return MIXERLINE_COMPONENTTYPE_SRC_ANALOG;
    return MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED;
}

CMixerSwitch::CMixerSwitch(std::string device) : m_strDevice(std::move(device)) {}

CMixerSwitch::~CMixerSwitch() { Close(); }

void CMixerSwitch::Close() {
    if (m_hMixer) {
        snd_ctl_close(m_hMixer);
        m_hMixer = nullptr;
    }
}

MixerStatus CMixerSwitch::Open() {
    Close();
    m_sources.clear();
    m_nMicLine = -1;
    m_bHasSwitch = false;

    int err = snd_ctl_open(&m_hMixer, m_strDevice.c_str(), 0);
    if (err < 0) {
        m_hMixer = nullptr;
        return err == -ENOENT || err == -ENODEV ? MixerStatus::NoMixer : MixerStatus::OpenFailed;
    }

    snd_ctl_card_info_t* rawCard = nullptr;
    snd_ctl_card_info_malloc(&rawCard);
    CardInfo card(rawCard);
    snd_ctl_elem_list_t* rawList = nullptr;
    snd_ctl_elem_list_malloc(&rawList);
    ElemList list(rawList);
    if (!card || !list || snd_ctl_card_info(m_hMixer, card.get()) < 0 || snd_ctl_elem_list(m_hMixer, list.get()) < 0)
        return MixerStatus::CapsFailed;
    // A card has a few hundred elements at most; anything near the limit of the count is an error code.
    const unsigned count = snd_ctl_elem_list_get_count(list.get());
    if (count > 65536) return MixerStatus::CapsFailed;
    if (count > 0) {
        if (snd_ctl_elem_list_alloc_space(list.get(), count) < 0 || snd_ctl_elem_list(m_hMixer, list.get()) < 0)
            return MixerStatus::CapsFailed;
    }

    // Elements in numid order, grouped into lines in the order their first element appears.
    struct Elem {
        unsigned numid;
        std::string name;
    };
    std::vector<Elem> elems;
    const unsigned used = snd_ctl_elem_list_get_used(list.get());
    for (unsigned i = 0; i < used; ++i) {
        if (snd_ctl_elem_list_get_interface(list.get(), i) != SND_CTL_ELEM_IFACE_MIXER) continue;
        elems.push_back({snd_ctl_elem_list_get_numid(list.get(), i), snd_ctl_elem_list_get_name(list.get(), i)});
    }
    std::stable_sort(elems.begin(), elems.end(), [](const Elem& a, const Elem& b) { return a.numid < b.numid; });
    for (const Elem& e : elems) {
        const std::string lineName = LineNameOf(e.name);
        auto line = std::find_if(m_sources.begin(), m_sources.end(),
                                 [&](const MixerLine& l) { return l.name == lineName; });
        if (line == m_sources.end()) {
            m_sources.push_back({lineName, ComponentTypeOf(lineName), {}});
            line = m_sources.end() - 1;
        }
        MixerControl control;
        control.controlId = e.numid;
        control.name = e.name;
        line->controls.push_back(std::move(control));
    }
    if (m_sources.empty()) return MixerStatus::NoSources;

    for (std::size_t i = 0; i < m_sources.size(); ++i) {
        if (m_sources[i].componentType == MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE) {
            m_nMicLine = static_cast<int>(i);
            break;
        }
    }
    if (m_nMicLine < 0) return MixerStatus::NoMicrophoneLine;

    for (MixerControl& control : m_sources[m_nMicLine].controls) {
        if (!ReadControl(control.controlId, control)) continue;
        if (control.controlId == kSwitchControlId && SupportedSwitchType(control.type) && control.channels > 0) {
            m_switch = control;
            m_bHasSwitch = true;
        }
    }
    if (!m_bHasSwitch) return MixerStatus::NoSwitch;
    // An unreadable value counts as off: the switch is still there to be turned on.
    if (!ReadSwitchValue()) m_nValue = 0;
    m_nOldValue = m_nValue;
    return MixerStatus::SwitchFound;
}

bool CMixerSwitch::ReadControl(unsigned numid, MixerControl& control) {
    ElemInfo info = NewInfo();
    if (!info) return false;
    snd_ctl_elem_info_set_numid(info.get(), numid);
    if (snd_ctl_elem_info(m_hMixer, info.get()) < 0) return false;
    control.type = snd_ctl_elem_info_get_type(info.get());
    control.channels = snd_ctl_elem_info_get_count(info.get());
    control.multipleItems = 0;
    control.itemTexts.clear();
    if (control.type == SND_CTL_ELEM_TYPE_ENUMERATED) {
        control.multipleItems = snd_ctl_elem_info_get_items(info.get());
        for (unsigned item = 0; item < control.multipleItems; ++item) {
            snd_ctl_elem_info_set_item(info.get(), item);
            if (snd_ctl_elem_info(m_hMixer, info.get()) < 0) break;
            control.itemTexts.emplace_back(snd_ctl_elem_info_get_item_name(info.get()));
        }
    }
    return true;
}

bool CMixerSwitch::ReadSwitchValue() {
    ElemValue value = NewValue();
    if (!value || !m_hMixer) return false;
    snd_ctl_elem_value_set_numid(value.get(), m_switch.controlId);
    if (snd_ctl_elem_read(m_hMixer, value.get()) < 0) return false;
    switch (m_switch.type) {
    case SND_CTL_ELEM_TYPE_BOOLEAN: m_nValue = snd_ctl_elem_value_get_boolean(value.get(), 0); break;
    case SND_CTL_ELEM_TYPE_INTEGER: m_nValue = snd_ctl_elem_value_get_integer(value.get(), 0); break;
    case SND_CTL_ELEM_TYPE_INTEGER64: m_nValue = static_cast<long>(snd_ctl_elem_value_get_integer64(value.get(), 0)); break;
    case SND_CTL_ELEM_TYPE_ENUMERATED: m_nValue = snd_ctl_elem_value_get_enumerated(value.get(), 0); break;
    default: return false;
    }
    return true;
}

bool CMixerSwitch::SetSwitch(long v) {
    if (!m_bHasSwitch || !m_hMixer) return false;
    ElemValue value = NewValue();
    if (!value) return false;
    snd_ctl_elem_value_set_numid(value.get(), m_switch.controlId);
    for (unsigned ch = 0; ch < m_switch.channels; ++ch) {
        switch (m_switch.type) {
        case SND_CTL_ELEM_TYPE_BOOLEAN: snd_ctl_elem_value_set_boolean(value.get(), ch, v); break;
        case SND_CTL_ELEM_TYPE_INTEGER: snd_ctl_elem_value_set_integer(value.get(), ch, v); break;
        case SND_CTL_ELEM_TYPE_INTEGER64: snd_ctl_elem_value_set_integer64(value.get(), ch, v); break;
        case SND_CTL_ELEM_TYPE_ENUMERATED:
            if (v < 0 || static_cast<unsigned long>(v) >= m_switch.multipleItems) return false;
            snd_ctl_elem_value_set_enumerated(value.get(), ch, static_cast<unsigned>(v));
            break;
        default: return false;
        }
    }
    if (snd_ctl_elem_write(m_hMixer, value.get()) < 0) return false;
    m_nValue = v;
    return true;
}

long CMixerSwitch::ToggleSwitch() {
    if (!m_bHasSwitch) return -1;
    SetSwitch(m_nValue != 0 ? 0 : 1);
    return m_nValue;
}

}  // namespace quillon
