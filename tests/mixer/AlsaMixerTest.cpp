#include <gtest/gtest.h>

#include <sstream>

#include "mixer/MixerAccess.h"
#include "mixer/MixerControl.h"
#include "mixer/RecordingSources.h"
#include "platform/AlsaMixer.h"
#include "tests/harness/Harness.h"

using namespace platform;

namespace {
// The default source's volume as the sound server reports it (first channel, raw units).
long ServerSourceVolume() {
    // "Volume: front-left: 32768 /  50% / ..."
    const auto r = harness::Run({"pactl", "get-source-volume", "@DEFAULT_SOURCE@"});
    std::istringstream in(r.out);
    std::string volumeWord, channel;
    long value = -1;
    if (r.status != 0 || !(in >> volumeWord >> channel >> value)) return -1;
    return value;
}
}  // namespace

TEST(AlsaMixer, RecordingLevelReachesTheSoundServer) {
    if (!harness::HaveSoundServer()) GTEST_SKIP() << "no sound server";
    SetMixerOpener({});

    RecordingSourceTable table;
    ReadRecordingSources(table, 4);
    ASSERT_EQ(table.count, 1u) << "the sound server's mixer has one capture element";
    EXPECT_EQ(table.entries[0].shortName, "Capture");
    EXPECT_EQ(table.entries[0].componentType, MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED);
    const std::uint32_t type = LookupSourceType(table, "Capture");
    // Put the level back afterwards, should this run on someone's own sound server.
    const long original = ServerSourceVolume();
    struct Restore {
        long raw;
        ~Restore() {
            if (raw >= 0) harness::Run({"pactl", "set-source-volume", "@DEFAULT_SOURCE@", std::to_string(raw)});
        }
    } restore{original};

    for (const int percent : {50, 100, 0, 73}) {
        std::uint32_t id;
        {
            CMixerControl control("Capture", type);
            ASSERT_TRUE(control.IsUsable());
            ASSERT_NE(control.ControlId(), kNoMixerControl);
            EXPECT_EQ(control.Channels(), 2u);
            control.SetLevel(MixerLevelFromPercent(percent));
            id = control.ControlId();
        }
        const std::uint32_t level = MixerLevelFromPercent(percent);
        auto mixer = OpenAlsaMixer();
        ASSERT_TRUE(mixer);
        EXPECT_EQ(mixer->GetControlValue(id), level) << percent << "%";
        EXPECT_EQ(ServerSourceVolume(), ScaleLevelToRange(level, 0, 65536)) << percent << "%";
    }

    // An input the mixer does not know leaves the level alone.
    const long before = ServerSourceVolume();
    CMixerControl unknown("Virtual_Microphone", LookupSourceType(table, "Virtual_Microphone"));
    EXPECT_FALSE(unknown.IsUsable());
    unknown.SetLevel(65000);
    EXPECT_EQ(ServerSourceVolume(), before);
}

TEST(AlsaMixer, NoSuchControlMeansNoMixer) {
    EXPECT_EQ(OpenAlsaMixer("hw:77"), nullptr);
    harness::ScopedEnv env("MURMELO_ALSA_MIXER", "hw:77");
    RecordingSourceTable table;
    ReadRecordingSources(table, 2);
    EXPECT_EQ(table.count, 0u);
    CMixerControl control("Capture", MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED);
    EXPECT_FALSE(control.IsUsable());
}
