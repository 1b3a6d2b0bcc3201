// The visualizer window on the test display, fed through the shared sample buffer and window
// messages the way the engines feed it.
#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/panel.h>

#include <cmath>
#include <thread>
#include <vector>

#include "audio/SampleBuffer.h"
#include "controls/AudioVisualizer.h"
#include "controls/ControlMessages.h"
#include "controls/VisualizerType.h"
#include "platform/ResourceModule.h"
#include "tests/harness/Harness.h"

using namespace controls;
using namespace std::chrono_literals;

namespace {

std::vector<std::uint8_t> Sine16(int frames, int channels, double cyclesPerFrame, double amplitude, double offset = 0) {
    std::vector<std::uint8_t> out;
    for (int i = 0; i < frames; ++i) {
        const int s = static_cast<int>(std::lround(offset + amplitude * std::sin(2 * M_PI * cyclesPerFrame * i)));
        for (int c = 0; c < channels; ++c) {
            out.push_back(static_cast<std::uint8_t>(s & 0xFF));
            out.push_back(static_cast<std::uint8_t>((s >> 8) & 0xFF));
        }
    }
    return out;
}

int Count(const PixelCanvas& c, ColorRef colour) {
    int n = 0;
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) n += c.GetPixel(x, y) == colour;
    return n;
}

class Visualizer : public ::testing::Test {
protected:
    void SetUp() override {
        SetVisualizerType(1);
        frame = new wxFrame(nullptr, wxID_ANY, "vis", wxDefaultPosition, wxSize(331, 236));
        panel = new wxPanel(frame);
        vis = new CAudioVisualizer(panel, 1001, wxRect(28, 92, 272, 40));
        vis->SetFormat(2, 2);
        frame->Show();
        harness::PumpFor(30ms);
    }
    void TearDown() override {
        frame->Destroy();
        harness::PumpFor(10ms);
        TheSampleBuffer().Free();
        TheSampleBuffer().SetSampleTime(0.0);
    }
    // The tap's store followed by its announcement, handled at once.
    void Announce(double time, const std::vector<std::uint8_t>& data) {
        TheSampleBuffer().Store(time, data.data(), static_cast<std::uint32_t>(data.size()));
        platform::SendWindowMessage(vis->GetWindowRef(), WM_VIS_SAMPLES, 0, 0);
    }

    wxFrame* frame = nullptr;
    wxPanel* panel = nullptr;
    CAudioVisualizer* vis = nullptr;
    // A little offset: whole cycles of a pure sine sum to exactly zero, which reads as silence.
    std::vector<std::uint8_t> sine = Sine16(2048, 2, 37.0 / 1024, 1000, 5);
};

}  // namespace

TEST_F(Visualizer, PostedFromTheStreamingThreadAndDrawnOnTheWindowThread) {
    EXPECT_EQ(vis->GetClientSize(), wxSize(272, 40));
    std::thread tap([&] {
        TheSampleBuffer().Store(2.5, sine.data(), static_cast<std::uint32_t>(sine.size()));
        EXPECT_TRUE(platform::PostWindowMessage(vis->GetWindowRef(), WM_VIS_SAMPLES, 0, 0));
    });
    tap.join();
    ASSERT_TRUE(harness::PumpUntil([&] { return vis->DrawCount() == 1; }, 2s));
    EXPECT_TRUE(vis->LastDrawShowedSignal());
    EXPECT_GT(Count(vis->LastCanvas(), VisualizerEngine::kLinePen), 100);
    EXPECT_TRUE(vis->LastFrame().IsOk());
    EXPECT_EQ(vis->LastFrame().GetWidth(), 272);
    EXPECT_GT(vis->SignalLevel(2, 2), 0.0);
}

TEST_F(Visualizer, SampleTimeZeroDrawsNothing) {
    Announce(0.0, sine);
    Announce(0.0, sine);
    EXPECT_EQ(vis->DrawCount(), 0u);
    EXPECT_FALSE(vis->IsRefreshTimerRunning());
}

TEST_F(Visualizer, CloseAnnouncementsDrawEverySecondTime) {
    Announce(1.000, sine);  // a long gap: drawn, refresh timer on
    EXPECT_EQ(vis->DrawCount(), 1u);
    EXPECT_TRUE(vis->IsRefreshTimerRunning());
    std::vector<unsigned> counts;
    for (double t : {1.020, 1.040, 1.060, 1.080, 1.100}) {
        Announce(t, sine);
        counts.push_back(vis->DrawCount());
    }
    EXPECT_EQ(counts, (std::vector<unsigned>{2, 2, 3, 3, 4}));
    EXPECT_FALSE(vis->IsRefreshTimerRunning());
    Announce(1.150, sine);  // 50 ms: every one is drawn
    Announce(1.200, sine);
    EXPECT_EQ(vis->DrawCount(), 6u);
}

TEST_F(Visualizer, RefreshTimerStepsThroughTheBufferThenStops) {
    SetVisualizerType(2);
    vis->SetFormat(1, 1);
    std::vector<std::uint8_t> pcm8(4000);
    for (std::size_t i = 0; i < pcm8.size(); ++i)
        pcm8[i] = static_cast<std::uint8_t>(128 + std::lround(90 * std::sin(2 * M_PI * 0.03 * i)));
    Announce(3.0, pcm8);
    EXPECT_TRUE(vis->IsRefreshTimerRunning());
    // Ten more tenths at 100 ms, the last one found past the end.
    ASSERT_TRUE(harness::PumpUntil([&] { return !vis->IsRefreshTimerRunning(); }, 3s));
    EXPECT_EQ(vis->DrawCount(), 12u);
    EXPECT_EQ(vis->Engine().SubWindow(), 11u);

    // The halt command stops it at once.
    Announce(4.0, pcm8);
    EXPECT_TRUE(vis->IsRefreshTimerRunning());
    platform::SendWindowMessage(vis->GetWindowRef(), platform::WM_NULL, VIS_CMD_HALT, 0);
    EXPECT_FALSE(vis->IsRefreshTimerRunning());
    const unsigned n = vis->DrawCount();
    harness::PumpFor(250ms);
    EXPECT_EQ(vis->DrawCount(), n);
}

TEST_F(Visualizer, ElevenSilentDrawingsGiveTheFlatLine) {
    // Level 0.0 (nothing below zero) but a visible offset.
    auto offset = Sine16(2048, 2, 37.0 / 1024, 1000, 20000);
    double t = 5.0;
    for (int i = 0; i < 10; ++i) Announce(t += 0.05, offset);
    EXPECT_EQ(vis->DrawCount(), 10u);
    EXPECT_NE(vis->LastCanvas().GetPixel(150, 20), VisualizerEngine::kLinePen);
    Announce(t += 0.05, offset);
    for (int x = 0; x < 272; ++x) ASSERT_EQ(vis->LastCanvas().GetPixel(x, 20), VisualizerEngine::kLinePen) << x;
    EXPECT_EQ(Count(vis->LastCanvas(), VisualizerEngine::kLinePen), 272);

    SetVisualizerType(2);
    Announce(t += 0.05, offset);
    EXPECT_FALSE(vis->LastDrawShowedSignal());
    EXPECT_EQ(Count(vis->LastCanvas(), VisualizerEngine::kLinePen), 0);
    // Any signal ends the silence at once.
    Announce(t += 0.05, sine);
    EXPECT_TRUE(vis->LastDrawShowedSignal());
    EXPECT_GT(Count(vis->LastCanvas(), VisualizerEngine::kLinePen), 0);
}

TEST_F(Visualizer, ShortSixteenBitBufferDrawsNothing) {
    std::vector<std::uint8_t> shortBuffer(sine.begin(), sine.begin() + 1020);
    Announce(7.0, shortBuffer);
    EXPECT_EQ(vis->DrawCount(), 1u);
    EXPECT_FALSE(vis->LastDrawShowedSignal());
    EXPECT_EQ(Count(vis->LastCanvas(), VisualizerEngine::kLinePen), 0);
}

TEST_F(Visualizer, StoppedEqualizerShowsNoBarsUntilReset) {
    SetVisualizerType(3);
    double t = 9.0;
    Announce(t += 0.05, sine);
    EXPECT_GT(Count(vis->LastCanvas(), VisualizerEngine::kBarBrush), 0);
    // The engine stopped: it zeroes the buffer and sends the stopped command.
    TheSampleBuffer().Fill(0);
    platform::SendWindowMessage(vis->GetWindowRef(), WM_VIS_SAMPLES, VIS_CMD_STOPPED, 0);
    EXPECT_TRUE(vis->Engine().EqualizerStopped());
    Announce(t += 0.05, sine);
    EXPECT_EQ(Count(vis->LastCanvas(), VisualizerEngine::kBarBrush), 0);
    // The engines post the reset when they hook the tap again.
    EXPECT_TRUE(platform::PostWindowMessage(vis->GetWindowRef(), platform::WM_NULL, VIS_CMD_RESET, 0));
    ASSERT_TRUE(harness::PumpUntil([&] { return !vis->Engine().EqualizerStopped(); }, 2s));
    Announce(t += 0.05, sine);
    EXPECT_GT(Count(vis->LastCanvas(), VisualizerEngine::kBarBrush), 0);
}

TEST_F(Visualizer, DrawsOnTheResourceModulesBackground) {
    const auto module = harness::BinDir() / "Lexel.so";
    if (!std::filesystem::exists(module)) GTEST_SKIP() << "Lexel.so not built";
    ASSERT_TRUE(platform::ResourceModule::Load(module.string()));
    auto* fresh = new CAudioVisualizer(panel, 1002, wxRect(28, 92, 272, 40));
    fresh->SetFormat(2, 2);
    TheSampleBuffer().Store(11.0, sine.data(), static_cast<std::uint32_t>(sine.size()));
    platform::SendWindowMessage(fresh->GetWindowRef(), WM_VIS_SAMPLES, 0, 0);
    platform::ResourceModule::Free();
    ASSERT_EQ(fresh->DrawCount(), 1u);
    // A lavender field: blue at full strength, red and green lower.
    const ColorRef corner = fresh->LastCanvas().GetPixel(271, 0);
    EXPECT_EQ(GetBValue(corner), 255u);
    EXPECT_LT(GetRValue(corner), 230u);
}
