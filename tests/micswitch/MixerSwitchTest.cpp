// The mixer walk of Quillon against fake cards served through ALSA's external control plugins.
#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

#include "micswitch/MixerSwitch.h"
#include "tests/micswitch/FakeCard.h"

using namespace quillon;

namespace {

MixerStatus OpenOn(const FakeCard& card, CMixerSwitch& mixer) {
    harness::ScopedEnv env("ALSA_CONFIG_PATH", card.ConfigPath().string());
    snd_config_update_free_global();  // each card brings its own configuration
    return mixer.Open();
}

TEST(QuillonMixerNames, LinesAndComponentTypes) {
    struct Case {
        const char* element;
        const char* line;
        unsigned type;
    } cases[] = {
        {"Mic Playback Volume", "Mic", MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE},
        {"Front Mic Capture Switch", "Front Mic", MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE},
        {"Mic Boost Volume", "Mic Boost", MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE},
        {"Internal Mic2 Switch", "Internal Mic2", MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE},
        {"Microphone Route", "Microphone", MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE},
        {"Line Capture Volume", "Line", MIXERLINE_COMPONENTTYPE_SRC_LINE},
        {"CD Playback Switch", "CD", MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC},
        {"PCM Playback Volume", "PCM", MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT},
        {"Capture Source", "Capture Source", MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED},
        {"Capture Volume", "Capture", MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED},
        {"Mixer Volume", "Mixer", MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED},  // "Mixer" is no microphone
        {"Dynamic Range", "Dynamic Range", MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.element);
        EXPECT_EQ(LineNameOf(c.element), c.line);
        EXPECT_EQ(ComponentTypeOf(LineNameOf(c.element)), c.type);
    }
}

TEST(QuillonMixer, OutcomesOfTheMixerWalk) {
    struct Case {
        const char* what;
        std::vector<std::string> card;
        MixerStatus status;
    } cases[] = {
        {"no card", {"fail open ENOENT"}, MixerStatus::NoMixer},
        {"card gone", {"fail open ENODEV"}, MixerStatus::NoMixer},
        {"card refuses", {"fail open EACCES"}, MixerStatus::OpenFailed},
        {"card busy", {"fail open EBUSY"}, MixerStatus::OpenFailed},
        {"element list fails", {"fail list", "elem bool 1 0 Mic Capture Switch"}, MixerStatus::CapsFailed},
        {"no lines", {}, MixerStatus::NoSources},
        {"eleven on a line input", FakeCard::WithElevenAt({}, "elem bool 2 0 Line Capture Switch"),
         MixerStatus::NoMicrophoneLine},
        {"microphone without eleven",
         FakeCard::WithElevenAt({"elem int 2 30 Mic Capture Volume"}, "elem int 2 30 Line Capture Volume",
                                {"elem bool 2 0 Mic Capture Switch"}),
         MixerStatus::NoSwitch},
        {"eleven on the second microphone line",
         FakeCard::WithElevenAt({"elem int 2 30 Mic Playback Volume"}, "elem bool 2 0 Front Mic Capture Switch"),
         MixerStatus::NoSwitch},
        {"eleven on the microphone line",
         FakeCard::WithElevenAt({"elem int 2 30 Mic Playback Volume"}, "elem bool 2 0 Mic Capture Switch"),
         MixerStatus::SwitchFound},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeCard card(c.card);
        CMixerSwitch mixer;
        EXPECT_EQ(OpenOn(card, mixer), c.status);
        EXPECT_EQ(mixer.HasSwitch(), c.status == MixerStatus::SwitchFound);
        if (c.status != MixerStatus::SwitchFound) {
            EXPECT_FALSE(mixer.SetSwitch(1));
            EXPECT_EQ(mixer.ToggleSwitch(), -1);
            EXPECT_EQ(card.Writes(), "");
        }
    }
}

TEST(QuillonMixer, FindsTheMicrophoneLineAmongTheSources) {
    FakeCard card(FakeCard::WithElevenAt({"elem int 2 30 Line Playback Volume", "elem int 2 30 Mic Playback Volume"},
                                         "elem bool 2 0 Mic Playback Switch", {"elem int 2 30 Front Mic Boost Volume"}));
    CMixerSwitch mixer;
    ASSERT_EQ(OpenOn(card, mixer), MixerStatus::SwitchFound);
    const auto& lines = mixer.Sources();
    ASSERT_GE(mixer.MicrophoneLine(), 0);
    const MixerLine& mic = lines[mixer.MicrophoneLine()];
    EXPECT_EQ(mic.name, "Mic");
    ASSERT_EQ(mic.controls.size(), 2u);
    EXPECT_EQ(mic.controls[1].controlId, 11u);
    EXPECT_EQ(mic.controls[1].channels, 2u);
    // Lines keep the order of their first element; "Front Mic Boost" comes after "Mic".
    EXPECT_EQ(lines.back().name, "Front Mic Boost");
    for (std::size_t i = 0; i < static_cast<std::size_t>(mixer.MicrophoneLine()); ++i)
        EXPECT_NE(lines[i].componentType, MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE) << lines[i].name;
}

TEST(QuillonMixer, SetsAndTogglesEveryChannelOfTheSwitch) {
    struct Case {
        const char* eleven;
        const char* on;
        const char* off;
    } cases[] = {
        {"elem bool 2 0 Mic Capture Switch", "Mic Capture Switch=1,1", "Mic Capture Switch=0,0"},
        {"elem int 1 0 Mic Boost Volume", "Mic Boost Volume=1", "Mic Boost Volume=0"},
        {"elem enum 1 0 Mic Jack Mode", "Mic Jack Mode=1", "Mic Jack Mode=0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.eleven);
        FakeCard card(FakeCard::WithElevenAt({}, c.eleven));
        CMixerSwitch mixer;
        ASSERT_EQ(OpenOn(card, mixer), MixerStatus::SwitchFound);
        EXPECT_EQ(mixer.SwitchValue(), 0);
        ASSERT_TRUE(mixer.SetSwitch(1));
        EXPECT_EQ(mixer.ValueBeforeChange(), 0);
        EXPECT_EQ(mixer.ToggleSwitch(), 0);
        EXPECT_EQ(mixer.ToggleSwitch(), 1);
        const std::string on = std::string("write 11 ") + c.on + "\n";
        const std::string off = std::string("write 11 ") + c.off + "\n";
        EXPECT_EQ(card.Writes(), on + off + on);
    }
}

TEST(QuillonMixer, RemembersAValueThatWasAlreadyOn) {
    FakeCard card(FakeCard::WithElevenAt({}, "elem bool 1 1 Mic Capture Switch"));
    CMixerSwitch mixer;
    ASSERT_EQ(OpenOn(card, mixer), MixerStatus::SwitchFound);
    EXPECT_EQ(mixer.ValueBeforeChange(), 1);
    EXPECT_EQ(mixer.ToggleSwitch(), 0);
    EXPECT_EQ(card.Writes(), "write 11 Mic Capture Switch=0\n");
}

TEST(QuillonMixer, RefusedWriteLeavesTheValue) {
    // The fake integer range is 0..100: 150 is refused by ALSA and the remembered value stays.
    FakeCard card(FakeCard::WithElevenAt({}, "elem int 1 0 Mic Boost Volume"));
    CMixerSwitch mixer;
    ASSERT_EQ(OpenOn(card, mixer), MixerStatus::SwitchFound);
    EXPECT_FALSE(mixer.SetSwitch(150));
    EXPECT_EQ(mixer.SwitchValue(), 0);
    EXPECT_EQ(card.Writes(), "");
}

}  // namespace
