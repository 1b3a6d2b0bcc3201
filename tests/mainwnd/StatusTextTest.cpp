#include <gtest/gtest.h>

#include "mainwnd/StatusText.h"

using namespace mainwnd;

TEST(Readout, Digits) {
    using D = std::array<int, 6>;
    EXPECT_EQ(ReadoutDigits(0), (D{0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(ReadoutDigits(3725), (D{0, 1, 0, 2, 0, 5}));
    EXPECT_EQ(ReadoutDigits(99 * 3600 + 59 * 60 + 59), (D{9, 9, 5, 9, 5, 9}));
    // From 100 hours on the hours-tens cell shows nothing.
    EXPECT_EQ(ReadoutDigits(100 * 3600 + 61), (D{-1, 0, 0, 1, 0, 1}));
}

TEST(Readout, DurationAndPositionTexts) {
    const std::int64_t s = 10000000;
    EXPECT_EQ(MakeDurationText(200 * s, "x"), " 00:03:20");
    EXPECT_EQ(MakeDurationText(0, " 00:00:07"), " 00:00:07");
    EXPECT_EQ(MakeDurationText(-5, "keep"), "keep");
    EXPECT_EQ(MakeDurationText(3725 * s + 9999999, ""), " 01:02:05");
    EXPECT_EQ(PlayTimeText(65 * s, " 00:03:20").value(), " 00:01:05 / 00:03:20");
    EXPECT_FALSE(PlayTimeText(-1, " 00:03:20").has_value());
}

TEST(InfoLine, TextAndLabels) {
    EXPECT_EQ(InfoLineText(44, "Stereo", 2048), " 44 KHz / Stereo 2KB");
    EXPECT_EQ(InfoLineText(22, "Mono", 1023), " 22 KHz / Mono 0KB");
    // Sizes beyond 4 GB are shown whole.
    EXPECT_EQ(InfoLineText(44, "Stereo", 5000000000ull), " 44 KHz / Stereo 4882812KB");
    EXPECT_EQ(ChannelLabelId(1), 1220u);
    EXPECT_EQ(ChannelLabelId(2), 1217u);
}

TEST(Bars, ProgressAndVolume) {
    EXPECT_EQ(ProgressPosition(0, 0), 0);
    EXPECT_EQ(ProgressPosition(50, 0), 0);
    EXPECT_EQ(ProgressPosition(999, 1000), 99);
    EXPECT_EQ(ProgressPosition(1000, 1000), 100);
    EXPECT_EQ(VolumePercent(-2000), 0);
    EXPECT_EQ(VolumePercent(-1000), 50);
    EXPECT_EQ(VolumePercent(-1), 100);  // truncated toward zero
    EXPECT_EQ(VolumePercent(0), 100);
    EXPECT_EQ(EngineVolume(-2000, false), -10000);
    EXPECT_EQ(EngineVolume(-1000, false), -1000);
    EXPECT_EQ(EngineVolume(0, true), -10000);
}

TEST(SpecialMode, BothRules) {
    struct Case { bool sp; int mode; bool adv; std::optional<int> before; ModeImage img; std::optional<unsigned> tip;
                  bool reread; std::optional<int> after; };
    const Case cases[] = {
        {true, 1, false, {}, ModeImage::VR, 1000u, false, {}},
        {true, 1, true, {}, ModeImage::DA, 1001u, false, 2},
        {true, 2, false, {}, ModeImage::DA, 1001u, false, {}},
        {true, 2, true, 1, ModeImage::VR, 1000u, false, {}},
        {true, 3, false, {}, ModeImage::SP, {}, true, {}},
        {true, 3, true, 1, ModeImage::VR, 1000u, false, {}},
        {true, 0, true, 1, ModeImage::VR, 1000u, false, {}},
        {false, 1, false, {}, ModeImage::VR, 1000u, false, {}},
        {false, 1, true, {}, ModeImage::None, {}, false, {}},
        {false, 0, false, {}, ModeImage::SP, 1006u, false, {}},
        {false, 0, true, 1, ModeImage::VR, 1000u, false, {}},
        {false, 2, false, {}, ModeImage::None, {}, false, {}},
        {false, 2, true, {}, ModeImage::None, {}, false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.sp << " mode " << c.mode << " adv " << c.adv);
        SpecialModeStep s = DecideSpecialMode(c.sp, c.mode, c.adv);
        EXPECT_EQ(s.setModeBefore, c.before);
        EXPECT_EQ(s.image, c.img);
        EXPECT_EQ(s.tooltipMessage, c.tip);
        EXPECT_EQ(s.tooltipFromReread, c.reread);
        EXPECT_EQ(s.setModeAfter, c.after);
    }
    EXPECT_EQ(SpeakerPhoneTooltip(0), 1006u);
    EXPECT_EQ(SpeakerPhoneTooltip(3), 1005u);
    EXPECT_FALSE(SpeakerPhoneTooltip(7).has_value());
}
