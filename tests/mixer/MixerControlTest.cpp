#include <gtest/gtest.h>

#include "mixer/MixerControl.h"
#include "mixer/RecordingSources.h"
#include "platform/AlsaMixer.h"
#include "tests/mixer/TestMixer.h"

using namespace platform;

namespace {
constexpr std::uint32_t kMic = MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE;
constexpr std::uint32_t kLine = MIXERLINE_COMPONENTTYPE_SRC_LINE;
constexpr std::uint32_t kCd = MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC;

std::vector<TestLine> NumberedLines(int n) {
    std::vector<TestLine> lines;
    for (int i = 0; i < n; ++i) lines.push_back({"Line " + std::to_string(i), kLine});
    return lines;
}

RecordingSourceTable Table(std::initializer_list<RecordingSource> entries) {
    RecordingSourceTable t;
    for (const auto& e : entries) t.entries[t.count++] = e;
    return t;
}
}  // namespace

TEST(RecordingSources, TableHoldsOneEntryPerInputUpToTheMixersLastSourceAndTen) {
    struct Case {
        int lines;
        std::size_t inputs;
        std::size_t expected;
    };
    const Case cases[] = {{3, 3, 3}, {2, 5, 2}, {12, 12, 10}, {12, 4, 4}, {3, 0, 0}, {0, 3, 0}};
    for (const Case& c : cases) {
        TestMixerState mixer;
        mixer.lines = NumberedLines(c.lines);
        UseTestMixer use(mixer);
        RecordingSourceTable table;
        ReadRecordingSources(table, c.inputs);
        EXPECT_EQ(table.count, c.expected) << c.lines << " lines, " << c.inputs << " inputs";
        for (std::size_t i = 0; i < table.count; ++i) {
            EXPECT_EQ(table.entries[i].shortName, "Line " + std::to_string(i));
            EXPECT_EQ(table.entries[i].componentType, kLine);
        }
        EXPECT_EQ(mixer.opens, 1);
        EXPECT_EQ(mixer.closes, 1);
    }
}

TEST(RecordingSources, WithoutMixerOrRecordingDestinationTheTableIsEmpty) {
    for (const bool exists : {false, true}) {
        TestMixerState mixer;
        mixer.exists = exists;
        mixer.destination = false;
        mixer.lines = {{"Mic", kMic}};
        UseTestMixer use(mixer);
        RecordingSourceTable table = Table({{kCd, "CD"}});
        ReadRecordingSources(table, 4);
        EXPECT_EQ(table.count, 0u);
        EXPECT_EQ(LookupSourceType(table, "CD"), 1u);
        EXPECT_EQ(LookupSourceType(table, "Mic"), 1u);
        EXPECT_EQ(mixer.opens, mixer.closes);
    }
}

TEST(RecordingSources, LookupTakesTheFirstExactName) {
    RecordingSourceTable table = Table({{kMic, "Mic"}, {kLine, "Line"}, {kLine, "Mic"}, {kCd, "CD"}});
    table.entries[4] = {kCd, "Beyond"};  // not a valid entry
    struct Case {
        const char* name;
        std::uint32_t type;
    };
    const Case cases[] = {{"Mic", kMic}, {"Line", kLine}, {"CD", kCd}, {"mic", 1},
                          {"Mic ", 1},   {"", 1},         {"Beyond", 1}};
    for (const Case& c : cases) EXPECT_EQ(LookupSourceType(table, c.name), c.type) << '"' << c.name << '"';
}

TEST(RecordingSources, DefaultMicrophoneIsTheLastMatchInSourceOrder) {
    struct Case {
        RecordingSourceTable table;
        std::vector<std::string> inputs;
        int before;
        int after;
        bool found;
    };
    const Case cases[] = {
        // Both microphones match: the later source wins, not the later input.
        {Table({{kMic, "Front Mic"}, {kLine, "Line"}, {kMic, "Rear Mic"}}), {"Rear Mic", "Line", "Front Mic"}, 1, 0, true},
        {Table({{kMic, "Front Mic"}, {kMic, "Rear Mic"}}), {"Front Mic", "Rear Mic"}, 0, 1, true},
        // Type decides, not the name.
        {Table({{kMic, "Line"}, {kLine, "Mic"}}), {"Mic", "Line"}, 0, 1, true},
        // No microphone source, or no input of its name: the choice stays.
        {Table({{kLine, "Line"}, {kCd, "CD"}}), {"Line", "CD"}, 1, 1, false},
        {Table({{kMic, "Mic"}}), {"Line", "mic"}, 1, 1, false},
        {Table({}), {"Mic"}, 0, 0, false},
        // The same name twice among the inputs: the later input.
        {Table({{kMic, "Mic"}}), {"Mic", "Line", "Mic"}, 1, 2, true},
    };
    int n = 0;
    for (const Case& c : cases) {
        int chosen = c.before;
        EXPECT_EQ(SelectDefaultMicrophone(c.table, c.inputs, chosen), c.found) << "case " << n;
        EXPECT_EQ(chosen, c.after) << "case " << n;
        ++n;
    }
}

TEST(MixerControl, FindsTheLineAndPrefersVolumeOverMultiplexer) {
    struct Case {
        const char* what;
        std::vector<TestLine> lines;
        const char* name;
        std::uint32_t type;
        bool usable;
        std::uint32_t control;
        std::uint32_t channels;
    };
    const Case cases[] = {
        {"volume", {{"Line", kLine}, {"Mic", kMic, 1}}, "Mic", kMic, true, VolumeId(1), 1},
        {"volume and mux", {{"Mic", kMic, 2, true, true}}, "Mic", kMic, true, VolumeId(0), 2},
        {"mux only", {{"CD", kCd}, {"Mic", kMic, 2, false, true}}, "Mic", kMic, true, MuxId(1), 2},
        {"no level control", {{"Mic", kMic, 2, false, false}}, "Mic", kMic, false, kNoMixerControl, 2},
        {"type differs", {{"Mic", kLine}}, "Mic", kMic, false, kNoMixerControl, 0},
        {"name differs in case", {{"Mic", kMic}}, "mic", kMic, false, kNoMixerControl, 0},
        {"first of two", {{"Mic", kMic, 1}, {"Mic", kMic, 2}}, "Mic", kMic, true, VolumeId(0), 1},
        {"no lines", {}, "Mic", kMic, false, kNoMixerControl, 0},
    };
    for (const Case& c : cases) {
        TestMixerState mixer;
        mixer.lines = c.lines;
        UseTestMixer use(mixer);
        {
            CMixerControl control(c.name, c.type);
            EXPECT_EQ(control.IsUsable(), c.usable) << c.what;
            EXPECT_EQ(control.ControlId(), c.control) << c.what;
            EXPECT_EQ(control.Channels(), c.channels) << c.what;
            control.SetLevel(32500);
        }
        if (c.control != kNoMixerControl) {
            ASSERT_EQ(mixer.writes.size(), 1u) << c.what;
            EXPECT_EQ(mixer.writes[0], std::make_pair(c.control, 32500u)) << c.what;
        } else {
            EXPECT_TRUE(mixer.writes.empty()) << c.what;
        }
        EXPECT_EQ(mixer.opens, mixer.closes) << c.what;
        EXPECT_EQ(mixer.maxOpenAtOnce, 1) << c.what;
    }
}

TEST(MixerControl, LooksAtFifteenLinesAtMost) {
    struct Case {
        int lines;
        int matchAt;  // -1: no line has the name
        bool usable;
        std::uint32_t control;
    };
    const Case cases[] = {
        {20, 14, true, VolumeId(14)},
        {20, 15, true, kNoMixerControl},  // beyond the fifteenth line
        {15, -1, true, kNoMixerControl},  // all fifteen read, none matched
        {14, -1, false, kNoMixerControl}, // ran past the last line
    };
    for (const Case& c : cases) {
        TestMixerState mixer;
        mixer.lines = NumberedLines(c.lines);
        if (c.matchAt >= 0) mixer.lines[c.matchAt] = {"Mic", kMic};
        UseTestMixer use(mixer);
        CMixerControl control("Mic", kMic);
        EXPECT_EQ(control.IsUsable(), c.usable) << c.lines << "/" << c.matchAt;
        EXPECT_EQ(control.ControlId(), c.control) << c.lines << "/" << c.matchAt;
        control.SetLevel(65000);
        EXPECT_EQ(mixer.writes.size(), c.control == kNoMixerControl ? 0u : 1u);
    }
}

TEST(MixerControl, NoMixerOrNoDestinationLeavesItUnusable) {
    for (const bool exists : {false, true}) {
        TestMixerState mixer;
        mixer.exists = exists;
        mixer.destination = false;
        mixer.lines = {{"Mic", kMic}};
        UseTestMixer use(mixer);
        CMixerControl control("Mic", kMic);
        EXPECT_FALSE(control.IsUsable());
        EXPECT_EQ(control.ControlId(), kNoMixerControl);
        control.SetLevel(100);
        EXPECT_TRUE(mixer.writes.empty());
    }
    // The mixer going away between finding the line and setting the level: nothing is written.
    TestMixerState mixer;
    mixer.lines = {{"Mic", kMic}};
    UseTestMixer use(mixer);
    CMixerControl control("Mic", kMic);
    ASSERT_TRUE(control.IsUsable());
    mixer.exists = false;
    control.SetLevel(100);
    EXPECT_TRUE(mixer.writes.empty());
}

TEST(MixerControl, RecordVolumeBecomesTheLevel) {
    struct Case {
        int percent;
        std::uint32_t level;
    };
    const Case cases[] = {{100, 65000}, {0, 0}, {50, 32500}, {1, 650}, {-5, 0}, {150, 65000}};
    for (const Case& c : cases) {
        TestMixerState mixer;
        mixer.lines = {{"Mic", kMic}};
        UseTestMixer use(mixer);
        CMixerControl control("Mic", kMic);
        control.SetLevel(MixerLevelFromPercent(c.percent));
        EXPECT_EQ(mixer.values[VolumeId(0)], c.level) << c.percent;
    }
    // Levels above full scale are written as full scale.
    TestMixerState mixer;
    mixer.lines = {{"Mic", kMic}};
    UseTestMixer use(mixer);
    CMixerControl control("Mic", kMic);
    control.SetLevel(65535);
    EXPECT_EQ(mixer.values[VolumeId(0)], 65000u);
}

TEST(AlsaMapping, ElementNamesGiveComponentTypes) {
    struct Case {
        const char* name;
        std::uint32_t type;
    };
    const Case cases[] = {
        {"Mic", kMic},
        {"Front Mic", kMic},
        {"Internal Mic", kMic},
        {"Digital Mic", kMic},
        {"Mic Boost", kMic},
        {"Line", kLine},
        {"Line In", kLine},
        {"CD", kCd},
        {"Aux", MIXERLINE_COMPONENTTYPE_SRC_AUXILIARY},
        {"Phone", MIXERLINE_COMPONENTTYPE_SRC_TELEPHONE},
        {"Headphone", MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED},
        {"Beep", MIXERLINE_COMPONENTTYPE_SRC_PCSPEAKER},
        {"PC Speaker", MIXERLINE_COMPONENTTYPE_SRC_PCSPEAKER},
        {"Synth", MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER},
        {"Stereo Mix", MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT},
        {"PCM", MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT},
        {"IEC958", MIXERLINE_COMPONENTTYPE_SRC_DIGITAL},
        {"Video", MIXERLINE_COMPONENTTYPE_SRC_ANALOG},
        {"Capture", MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED},
        {"Micro", MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED},
        {"", MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED},
    };
    for (const Case& c : cases) EXPECT_EQ(AlsaComponentType(c.name), c.type) << '"' << c.name << '"';
}

TEST(AlsaMapping, ShortNamesCarryTheIndexAndFifteenCharactersAtMost) {
    EXPECT_EQ(AlsaShortName("Mic", 0), "Mic");
    EXPECT_EQ(AlsaShortName("Mic", 1), "Mic 1");
    EXPECT_EQ(AlsaShortName("Internal Mic Boost", 0), "Internal Mic Bo");
    EXPECT_EQ(AlsaShortName("Headset Mic", 12), "Headset Mic 12");
    EXPECT_EQ(AlsaShortName("Mikrofon vorne \xC3\xBC", 0), "Mikrofon vorne ");  // no cut inside a character
}

TEST(AlsaMapping, LevelsScaleOntoTheCaptureRange) {
    struct Case {
        std::uint32_t level;
        long min, max, raw;
    };
    const Case cases[] = {
        {32500, 0, 65536, 32768}, {65000, 0, 65536, 65536}, {0, 0, 65536, 0},   {65000, 0, 31, 31},
        {32500, 0, 31, 16},       {32500, -10, 10, 0},      {70000, 0, 100, 100}, {1000, 5, 5, 5},
        {0, -6000, 0, -6000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScaleLevelToRange(c.level, c.min, c.max), c.raw) << c.level << " in " << c.min << ".." << c.max;
    EXPECT_EQ(ScaleRangeToLevel(32768, 0, 65536), 32500u);
    EXPECT_EQ(ScaleRangeToLevel(99999, 0, 65536), 65000u);
    EXPECT_EQ(ScaleRangeToLevel(-1, 0, 65536), 0u);
    // Every step of a small range survives the round trip.
    for (long v = 0; v <= 31; ++v) EXPECT_EQ(ScaleLevelToRange(ScaleRangeToLevel(v, 0, 31), 0, 31), v);
}
