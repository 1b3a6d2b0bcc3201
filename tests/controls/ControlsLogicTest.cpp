// The controls' arithmetic, without windows: frame choice, slider geometry, signal level, the
// transform, the pacing of announcements and what a drawing puts on the canvas.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "controls/HoverFrames.h"
#include "controls/SliderGeometry.h"
#include "controls/VisualizerCore.h"

using namespace controls;

TEST(HoverFrames, EveryStateOfBothStripKinds) {
    struct Case {
        bool disabled, hover, pressed;
        int frame3;
        int frame4, overlay4;
    } cases[] = {
        {false, false, false, 0, 0, -1},
        {false, true, false, 2, 1, -1},
        {false, false, true, 0, 2, -1},   // a three-frame strip has no pressed frame
        {false, true, true, 2, 2, -1},
        {true, false, false, 1, 0, 3},
        {true, true, false, 1, 1, 3},     // disabled wins over hover in both kinds
        {true, false, true, 1, 2, 3},
    };
    for (const Case& c : cases) {
        ButtonState s{c.disabled, c.hover, c.pressed};
        SCOPED_TRACE(testing::Message() << "disabled " << c.disabled << " hover " << c.hover << " pressed " << c.pressed);
        EXPECT_EQ(Hover3Frame(s), c.frame3);
        EXPECT_EQ(Hover4Frame(s).frame, c.frame4);
        EXPECT_EQ(Hover4Frame(s).overlay, c.overlay4);
    }
}

TEST(HoverFrames, FrameWidthTruncates) {
    EXPECT_EQ(StripFrameSize(62, 20, 3).width, 20);  // two columns never shown
    EXPECT_EQ(StripFrameSize(123, 30, 4).width, 30);
    EXPECT_EQ(StripFrameSize(123, 30, 4).height, 30);
    EXPECT_EQ(StripFrameSize(0, 30, 4).width, 0);
}

TEST(SliderGeometry, PositionsAndPixelsOfTheProgressBar) {
    // The progress bar: channel 290, thumb 11, margins 1 and 2: travel 276.
    SliderGeometry g{0, 100, 290, 11, 1, 2};
    ASSERT_EQ(g.Travel(), 276);
    struct Row {
        int pos, pixel;
    } rows[] = {{0, 6}, {1, 8}, {29, 86}, {50, 144}, {99, 279}, {100, 282}};
    for (const Row& r : rows) EXPECT_EQ(g.PixelOfPos(r.pos), r.pixel) << "position " << r.pos;
    // Pixel back to position truncates toward the minimum.
    EXPECT_EQ(g.PosOfPixel(6), 0);
    EXPECT_EQ(g.PosOfPixel(8), 0);     // 2/276*100 = 0.72
    EXPECT_EQ(g.PosOfPixel(9), 1);
    EXPECT_EQ(g.PosOfPixel(144), 50);
    EXPECT_EQ(g.PosOfPixel(282), 100); // the last pixel of the travel is the maximum
    EXPECT_EQ(g.ClampPixel(-40), 6);
    EXPECT_EQ(g.ClampPixel(400), 283);
}

TEST(SliderGeometry, NegativeRangeOfTheVolumeBar) {
    SliderGeometry g{-2000, 0, 56, 7, 2, 2};
    ASSERT_EQ(g.Travel(), 45);
    EXPECT_EQ(g.PixelOfPos(-2000), 5);
    EXPECT_EQ(g.PixelOfPos(-1000), 27);  // trunc(22.5) + 5
    EXPECT_EQ(g.PixelOfPos(0), 50);
    EXPECT_EQ(g.PosOfPixel(5), -2000);
    EXPECT_EQ(g.PosOfPixel(27), -1022);  // trunc(22/45*2000 - 2000) = trunc(-1022.2), toward zero
    EXPECT_EQ(g.PosOfPixel(50), 0);
    EXPECT_EQ(g.ClampPos(-5000), -2000);
    EXPECT_EQ(g.ClampPos(7), 0);
}

TEST(SliderGeometry, EmptyRangeOrNoTravelStaysAtTheStart) {
    SliderGeometry same{5, 5, 100, 10, 0, 0};
    EXPECT_EQ(same.PixelOfPos(5), 5);
    EXPECT_EQ(same.PosOfPixel(60), 5);
    SliderGeometry narrow{0, 100, 8, 10, 0, 0};
    EXPECT_EQ(narrow.PixelOfPos(100), 5);
    EXPECT_EQ(narrow.PosOfPixel(3), 0);
    EXPECT_EQ(narrow.ClampPixel(100), 5);
}

namespace {
std::vector<std::uint8_t> Pcm16(const std::vector<int>& values) {
    std::vector<std::uint8_t> out;
    for (int v : values) {
        out.push_back(static_cast<std::uint8_t>(v & 0xFF));
        out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    }
    return out;
}
std::vector<std::uint8_t> Sine16(int frames, int channels, double cyclesPerFrame, double amplitude, double offset = 0) {
    std::vector<int> v;
    for (int i = 0; i < frames; ++i) {
        const int s = static_cast<int>(std::lround(offset + amplitude * std::sin(2 * M_PI * cyclesPerFrame * i)));
        for (int c = 0; c < channels; ++c) v.push_back(s);
    }
    return Pcm16(v);
}
std::vector<std::uint8_t> Sine8(int frames, int channels, double cyclesPerFrame, double amplitude) {
    std::vector<std::uint8_t> out;
    for (int i = 0; i < frames; ++i) {
        const int s = 128 + static_cast<int>(std::lround(amplitude * std::sin(2 * M_PI * cyclesPerFrame * i)));
        for (int c = 0; c < channels; ++c) out.push_back(static_cast<std::uint8_t>(s));
    }
    return out;
}
}  // namespace

TEST(SignalLevel, TableOfBuffers) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> data;
        int bytes, channels;
        double expected;
    };
    std::vector<Case> cases = {
        {"no data", {}, 2, 1, 0.0},
        {"16-bit digital silence", std::vector<std::uint8_t>(400, 0), 2, 2, 0.0},
        {"8-bit digital silence", std::vector<std::uint8_t>(400, 0x80), 1, 1, 0.0},
        // mono 16-bit: 10, -4, 6, -2 -> sum 10 over 4 frames
        {"16-bit mono", Pcm16({10, -4, 6, -2}), 2, 1, 2.5},
        // stereo pairs average with truncation: (7+2)/2=4, (-3-2)/2=-2 -> sum 2 over 2
        {"16-bit stereo", Pcm16({7, 2, -3, -2}), 2, 2, 1.0},
        // one side of zero only: too few negatives
        {"16-bit all positive", Pcm16({100, 200, 300, 400, 500, 600, 700, 800, 900, 1000}), 2, 1, 0.0},
        // 8-bit mono: 138 -> 10, 118 -> -10 (not added), 130 -> 2, 126 -> -2: positives 2, sum 12
        {"8-bit mono", {138, 118, 130, 126}, 1, 1, 6.0},
        // 8-bit stereo: (140+136-256)/2 = 10, (120+121-256)/2 = -7 (truncated)
        {"8-bit stereo", {140, 136, 120, 121}, 1, 2, 10.0},
        {"no format", Pcm16({10, -4}), 0, 0, 0.0},
        // a lone negative 8-bit sample: no positives at all
        {"8-bit one negative frame", {100}, 1, 1, 0.0},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(SignalLevel(c.data.empty() ? nullptr : c.data.data(), static_cast<std::uint32_t>(c.data.size()),
                                     c.bytes, c.channels),
                         c.expected)
            << c.name;
    }
}

TEST(Fft1024, SinePeaksInItsBin) {
    for (int bin : {1, 37, 100, 511}) {
        std::vector<double> re(kFftSize), im(kFftSize, 0.0);
        for (int n = 0; n < kFftSize; ++n) re[n] = 3.0 * std::sin(2 * M_PI * bin * n / kFftSize);
        Fft1024(re.data(), im.data());
        int best = 0;
        double bestMag = -1;
        for (int k = 0; k < kFftSize / 2; ++k) {
            const double m = std::hypot(re[k], im[k]);
            if (m > bestMag) {
                bestMag = m;
                best = k;
            }
        }
        EXPECT_EQ(best, bin);
        EXPECT_NEAR(bestMag, 1.5, 1e-9);  // A/2 after dividing by N
        EXPECT_NEAR(im[bin], -1.5, 1e-9);  // the sine's sign with exponent -2*pi*i*k*n/N
    }
}

TEST(ArrivalPacer, GapsDecideDrawingAndTheTimer) {
    ArrivalPacer p;
    auto d = p.OnBuffer(0.0);
    EXPECT_FALSE(d.draw);  // sample time 0.0 draws nothing
    d = p.OnBuffer(1.0);   // 1000 ms after the start: timer
    EXPECT_TRUE(d.draw && d.startTimer);
    // Under 40 ms apart: every second announcement draws.
    std::vector<bool> drawn;
    for (double t : {1.020, 1.040, 1.060, 1.080}) {
        d = p.OnBuffer(t);
        EXPECT_TRUE(d.killTimer);
        drawn.push_back(d.draw);
    }
    EXPECT_EQ(drawn, (std::vector<bool>{true, false, true, false}));
    d = p.OnBuffer(1.130);  // 50 ms: draws, timer off
    EXPECT_TRUE(d.draw && d.killTimer && !d.startTimer);
    d = p.OnBuffer(1.280);  // exactly 150 ms is not more than 150
    EXPECT_TRUE(d.draw && d.killTimer);
    d = p.OnBuffer(1.431);
    EXPECT_TRUE(d.draw && d.startTimer);
    d = p.OnBuffer(0.0);
    EXPECT_FALSE(d.draw);
    EXPECT_EQ(p.PreviousMs(), 0);
    d = p.OnBuffer(std::nan(""));  // a broken time stamp counts as none
    EXPECT_FALSE(d.draw);
}

namespace {
constexpr ColorRef kBackground = 0x00FFB4B4;

int CountColour(const PixelCanvas& c, ColorRef colour) {
    int n = 0;
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) n += c.GetPixel(x, y) == colour;
    return n;
}

PixelCanvas Fresh() {
    PixelCanvas c(272, 40);
    c.Fill(kBackground);
    return c;
}
}  // namespace

TEST(VisualizerEngine, ShortSixteenBitBufferShowsOnlyTheBackground) {
    VisualizerEngine e;
    auto data = Sine16(255, 2, 0.05, 8000);  // 1020 bytes
    for (int type : {1, 2, 3}) {
        PixelCanvas c = Fresh();
        EXPECT_FALSE(e.Draw(c, type, data.data(), static_cast<std::uint32_t>(data.size()), 2, 2, false));
        EXPECT_EQ(CountColour(c, kBackground), 272 * 40);
    }
    auto enough = Sine16(256, 2, 0.05, 8000);  // 1024 bytes
    PixelCanvas c = Fresh();
    EXPECT_TRUE(e.Draw(c, 1, enough.data(), 1024, 2, 2, false));
    EXPECT_GT(CountColour(c, VisualizerEngine::kLinePen), 0);
}

TEST(VisualizerEngine, SilenceAfterTenDrawingsIsFlatOrEmpty) {
    // A constant offset has no samples below zero: level 0.0, yet a visible picture.
    auto offset = Sine16(2048, 1, 37.0 / 1024, 1000, 20000);
    const auto len = static_cast<std::uint32_t>(offset.size());
    ASSERT_EQ(SignalLevel(offset.data(), len, 2, 1), 0.0);
    for (int type : {1, 2, 3}) {
        VisualizerEngine e;
        for (int i = 1; i <= 11; ++i) {
            PixelCanvas c = Fresh();
            const bool shown = e.Draw(c, type, offset.data(), len, 2, 1, false);
            const int line = CountColour(c, VisualizerEngine::kLinePen);
            const int bars = CountColour(c, VisualizerEngine::kBarBrush);
            SCOPED_TRACE(testing::Message() << "type " << type << " drawing " << i);
            if (i <= 10) {
                EXPECT_TRUE(shown);
                if (type == 1) {
                    // 20000 / 1500 = 13 above the middle: the line runs at y 7
                    EXPECT_EQ(c.GetPixel(100, 7), VisualizerEngine::kLinePen);
                    EXPECT_NE(c.GetPixel(100, 20), VisualizerEngine::kLinePen);
                } else if (type == 2) {
                    EXPECT_GT(line, 0);
                } else {
                    EXPECT_GT(bars, 0);
                }
            } else if (type == 1) {
                EXPECT_TRUE(shown);
                for (int x = 0; x < 272; ++x) EXPECT_EQ(c.GetPixel(x, 20), VisualizerEngine::kLinePen) << x;
                EXPECT_EQ(line, 272);  // nothing but the flat line
            } else {
                EXPECT_FALSE(shown);
                EXPECT_EQ(CountColour(c, kBackground), 272 * 40);
            }
        }
        EXPECT_EQ(e.SilentDrawings(), 11u);
    }
}

TEST(VisualizerEngine, EqualizerStoppedUntilReset) {
    VisualizerEngine e;
    // Bin 37 with a magnitude of about 1: a bar near the top of its range.
    auto sine = Sine16(2048, 2, 37.0 / 1024, 1000);
    const auto len = static_cast<std::uint32_t>(sine.size());
    auto bars = [&] {
        PixelCanvas c = Fresh();
        e.Draw(c, 3, sine.data(), len, 2, 2, false);
        return CountColour(c, VisualizerEngine::kBarBrush);
    };
    EXPECT_GT(bars(), 0);
    bool kill = true;
    EXPECT_TRUE(e.Command(10, 3, kill));  // repaint asked for
    EXPECT_FALSE(kill);
    EXPECT_EQ(bars(), 0);
    EXPECT_EQ(bars(), 0);
    e.Command(11, 2, kill);  // a reset for another type leaves the equalizer stopped
    EXPECT_EQ(bars(), 0);
    EXPECT_FALSE(e.Command(11, 3, kill));
    EXPECT_GT(bars(), 0);
    e.Command(12, 3, kill);
    EXPECT_TRUE(kill);
}

TEST(VisualizerEngine, SpectrumBarAndFallingPeak) {
    VisualizerEngine e;
    auto sine = Sine16(2048, 1, 37.0 / 1024, 1000);
    const auto len = static_cast<std::uint32_t>(sine.size());
    PixelCanvas c = Fresh();
    ASSERT_TRUE(e.Draw(c, 2, sine.data(), len, 2, 1, false));
    // m(37) ~ 1000/512/2 = 0.98: h = trunc(104 * 0.98 * e^-0.98) = 38
    const double m = e.Magnitudes()[37];
    const int h = static_cast<int>(2.6 * 40 * m * std::exp(-m));
    EXPECT_EQ(h, 38);
    EXPECT_EQ(e.Peaks()[37], 40 - h);
    EXPECT_EQ(c.GetPixel(37, 39), VisualizerEngine::kLinePen);
    EXPECT_EQ(c.GetPixel(37, 40 - h), VisualizerEngine::kOutlinePen);
    // Silence next: the held marker falls by 2 a drawing.
    std::vector<std::uint8_t> quiet(len, 0);
    PixelCanvas c2 = Fresh();
    e.Draw(c2, 2, quiet.data(), len, 2, 1, false);
    EXPECT_EQ(e.Peaks()[37], 40 - h + 2);
    // The stopped command hides the markers below the window; reset puts them back to none.
    bool kill = false;
    e.Command(10, 2, kill);
    EXPECT_EQ(e.Peaks()[37], kPeakStopped);
    e.Command(11, 2, kill);
    EXPECT_EQ(e.Peaks()[37], kPeakNone);
}

TEST(VisualizerEngine, SubWindowsOfTheRefreshTimer) {
    VisualizerEngine e;
    auto data = Sine8(4000, 1, 0.01, 60);  // 8-bit: tenths of 400 bytes
    EXPECT_TRUE(e.NextSubWindow(4000));   // 1
    for (int i = 2; i <= 10; ++i) EXPECT_TRUE(e.NextSubWindow(4000)) << i;
    EXPECT_FALSE(e.NextSubWindow(4000));  // 11 tenths are past the end
    e.ResetSubWindow();
    EXPECT_EQ(e.SubWindow(), 0u);
    // Sixteen-bit windows of 2034 bytes: the third start (4068) lies past 5000 - 1024.
    auto pcm = Sine16(1250, 2, 0.01, 8000);  // 5000 bytes
    PixelCanvas c = Fresh();
    EXPECT_TRUE(e.Draw(c, 1, pcm.data(), 5000, 2, 2, true));
    e.NextSubWindow(5000);
    EXPECT_TRUE(e.Draw(c, 1, pcm.data(), 5000, 2, 2, true));
    e.NextSubWindow(5000);
    EXPECT_FALSE(e.Draw(c, 1, pcm.data(), 5000, 2, 2, true));
}

TEST(VisualizerEngine, EightBitGraphFollowsTheSamples) {
    VisualizerEngine e;
    // Mono: 128 + 100 at byte 0 -> y = 20 - 10 = 10; x = i * 272 / 256.
    std::vector<std::uint8_t> data(1000, 128);
    data[0] = 228;
    data[128] = 28;  // y = 20 + 10 = 30 at x = 136
    PixelCanvas c = Fresh();
    ASSERT_TRUE(e.Draw(c, 1, data.data(), 1000, 1, 1, false));
    EXPECT_EQ(c.GetPixel(0, 10), VisualizerEngine::kLinePen);
    EXPECT_EQ(c.GetPixel(136, 30), VisualizerEngine::kLinePen);
    EXPECT_EQ(c.GetPixel(200, 20), VisualizerEngine::kLinePen);
}

TEST(PixelCanvas, LinesLeaveOutTheirEndAndClip) {
    PixelCanvas c(10, 10);
    c.Fill(0);
    c.Line(2, 9, 2, 5, 0xFF);  // upward: 9..6
    EXPECT_EQ(c.GetPixel(2, 9), 0xFFu);
    EXPECT_EQ(c.GetPixel(2, 6), 0xFFu);
    EXPECT_EQ(c.GetPixel(2, 5), 0u);
    c.Line(-5, 3, 20, 3, 0xAA);
    for (int x = 0; x < 10; ++x) EXPECT_EQ(c.GetPixel(x, 3), 0xAAu);
    c.Line(0, 0, 4, 4, 0x11);
    EXPECT_EQ(c.GetPixel(3, 3), 0x11u);
    EXPECT_EQ(c.GetPixel(4, 4), 0u);
    c.FillRect(8, 8, 12, 12, 0x22);
    EXPECT_EQ(c.GetPixel(9, 9), 0x22u);
}
