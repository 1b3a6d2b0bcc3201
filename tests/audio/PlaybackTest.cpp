// Playback through the session's default output: classification, the end-of-file event posted to
// a real window, seeking, the volume, the tap's silence after stop, and files that must be refused.
#include <gtest/gtest.h>
#include <wx/frame.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <random>
#include <thread>

#include "app/Messages.h"
#include "audio/PlayerGraph.h"
#include "audio/SampleBuffer.h"
#include "platform/Ui.h"
#include "platform/WxMessageTarget.h"
#include "tests/harness/Harness.h"

// The format records are packed: compare copies, never references to their fields.
template <class T>
static T Copy(T value) { return value; }

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

class Playback : public ::testing::Test {
protected:
    void SetUp() override {
        if (!harness::HaveSoundServer()) GTEST_SKIP() << "no sound server (run in scripts/session.sh)";
        frame_ = new wxFrame(nullptr, wxID_ANY, "notify");
        target_.Attach(frame_);
        frame_->Bind(platform::EVT_WINDOW_MESSAGE, [this](platform::WindowMessageEvent& e) {
            if (e.msg == WM_GRAPHNOTIFY && e.lParam == 1) ++notifications_;
            if (e.msg == WM_VIS_SAMPLES && e.wParam == 0) ++samples_;
        });
        SetVisualizerWindow(target_.get());
        platform::SetUiAnswerer([this](const platform::UiRequest& r) -> std::optional<std::string> {
            boxes_.push_back(r.text);
            return "ok";
        });
    }
    void TearDown() override {
        platform::SetUiAnswerer(nullptr);
        SetVisualizerWindow(nullptr);
        target_.Reset();
        if (frame_) frame_->Destroy();
    }
    // Runs to the end of the file and takes the event the window was told about.
    void PlayToEnd(CPlayerGraph& player, std::chrono::milliseconds limit) {
        notifications_ = 0;
        ASSERT_EQ(player.Run(), S_OK);
        EXPECT_EQ(player.m_nState, 2);
        ASSERT_TRUE(harness::PumpUntil([&] { return notifications_ > 0; }, limit)) << "no end-of-file event";
        long code = 0;
        LONG_PTR p1 = 0, p2 = 0;
        ASSERT_EQ(player.GetEvent(&code, &p1, &p2, 0), S_OK);
        EXPECT_EQ(code, EC_COMPLETE);
        player.FreeEventParams(code, p1, p2);
        EXPECT_EQ(player.GetEvent(&code, &p1, &p2, 0), E_ABORT);
    }
    harness::TempDir dir_;
    wxFrame* frame_ = nullptr;
    platform::MessageTargetScope target_;
    int notifications_ = 0;
    int samples_ = 0;
    std::vector<std::string> boxes_;
};

struct WavFile {
    int rate, channels, bits;
    double seconds;  // long enough to pass the tap in more than the one buffer that cues the graph
};
// Readable test names: the case, not its bytes.
inline void PrintTo(const WavFile& c, std::ostream* os) { *os << c.rate << "Hz_" << c.channels << "ch_" << c.bits << "bit"; }

class WavPlayback : public Playback, public ::testing::WithParamInterface<WavFile> {};

TEST_P(WavPlayback, PlaysToTheEndAndLeavesTheTapSilent) {
    const WavFile w = GetParam();
    auto file = dir_ / "tone.wav";
    ASSERT_TRUE(harness::MakeToneFile(file, w.rate, w.channels, w.bits, w.seconds));
    CPlayerGraph player;
    double seconds = 0;
    int type = -1;
    ASSERT_EQ(player.GetFileInfo(file.string(), &seconds, &type), S_OK);
    EXPECT_EQ(type, 1);
    EXPECT_NEAR(seconds, w.seconds, 0.01);
    EXPECT_EQ(+Copy(player.m_wfxStream.wFormatTag), 1);
    EXPECT_EQ(+Copy(player.m_wfxStream.nChannels), w.channels);

    ASSERT_EQ(player.OpenFile(file.string(), target_.get()), S_OK);
    EXPECT_EQ(player.m_nFileType, 1);
    EXPECT_EQ(player.m_strFile, file.string());
    EXPECT_EQ(+Copy(player.m_wfxOutput.nSamplesPerSec), static_cast<unsigned>(w.rate));
    EXPECT_EQ(+Copy(player.m_wfxOutput.nChannels), w.channels);
    EXPECT_EQ(+Copy(player.m_wfxOutput.wBitsPerSample), w.bits);
    LONGLONG duration = 0;
    ASSERT_EQ(player.GetDuration(&duration), S_OK);
    EXPECT_NEAR(duration / 1e7, w.seconds, 0.01);

    samples_ = 0;
    PlayToEnd(player, 5s);
    EXPECT_GT(samples_, 0) << "the tap announced samples";
    ASSERT_TRUE(TheSampleBuffer().HasBuffer());
    ASSERT_EQ(player.Stop(), S_OK);
    EXPECT_EQ(player.m_nState, 0);
    std::vector<std::uint8_t> bytes;
    TheSampleBuffer().CopyOut(bytes);
    ASSERT_FALSE(bytes.empty());
    const std::uint8_t silence = w.bits == 8 ? 0x80 : 0x00;
    EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [&](std::uint8_t b) { return b == silence; }));
    LONGLONG position = -1;
    ASSERT_EQ(player.GetCurrentPosition(&position), S_OK);
    EXPECT_EQ(position, 0);
}

INSTANTIATE_TEST_SUITE_P(Formats, WavPlayback,
                         ::testing::Values(WavFile{44100, 2, 16, 0.6}, WavFile{22050, 1, 16, 0.6},
                                           WavFile{11025, 1, 8, 2.0}, WavFile{44100, 2, 8, 0.6}));

TEST_F(Playback, WindowsMediaFileTakesTheAsfChain) {
    auto file = dir_ / "tone.wma";
    ASSERT_EQ(harness::Run({"gst-launch-1.0", "-q", "audiotestsrc", "num-buffers=30", "!", "audioconvert", "!",
                            "avenc_wmav2", "bitrate=64000", "!", "avmux_asf", "!", "filesink",
                            "location=" + file.string()})
                  .status,
              0);
    CPlayerGraph player;
    int type = -1;
    ASSERT_EQ(player.GetFileInfo(file.string(), nullptr, &type), S_OK);
    EXPECT_EQ(type, 2);
    EXPECT_EQ(+Copy(player.m_wfxStream.wFormatTag), 0x161);
    ASSERT_EQ(player.OpenFile(file.string(), target_.get()), S_OK);
    EXPECT_EQ(player.m_nFileType, 2);
    EXPECT_EQ(+Copy(player.m_wfxOutput.wBitsPerSample), 16);
    PlayToEnd(player, 5s);
    EXPECT_EQ(player.Stop(), S_OK);
}

TEST_F(Playback, SeekPauseAndStopWhileStopped) {
    auto file = dir_ / "long.wav";
    ASSERT_TRUE(harness::MakeToneFile(file, 22050, 1, 16, 3.0));
    CPlayerGraph player;
    EXPECT_EQ(player.Run(), S_OK);  // no file: the empty graph runs and nothing happens
    CPlayerGraph fresh;
    EXPECT_EQ(fresh.Pause(), S_OK);
    EXPECT_EQ(fresh.Stop(), S_OK);
    ASSERT_EQ(fresh.OpenFile(file.string(), target_.get()), S_OK);
    LONGLONG target = 25000000;  // 2.5 s
    ASSERT_EQ(fresh.SetCurrentPosition(&target), S_OK);
    LONGLONG position = 0;
    ASSERT_EQ(fresh.GetCurrentPosition(&position), S_OK);
    EXPECT_NEAR(position / 1e7, 2.5, 0.05);
    auto start = std::chrono::steady_clock::now();
    PlayToEnd(fresh, 3s);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2800ms) << "played from the seek point, not the 3 s from the start";
    ASSERT_EQ(fresh.Stop(), S_OK);
    ASSERT_EQ(fresh.Run(), S_OK);
    ASSERT_EQ(fresh.Pause(), S_OK);
    EXPECT_EQ(fresh.m_nState, 1);
    EXPECT_EQ(fresh.Pause(), S_OK);
    EXPECT_EQ(fresh.m_nState, 1);
}

// RMS of what reaches the default output ("speaker") while the file plays.
double OutputLevelWhilePlaying(CPlayerGraph& player, const fs::path& capture) {
    harness::RunResult recorded;
    std::thread recorder([&] {
        recorded = harness::Run({"gst-launch-1.0", "-q", "-e", "pulsesrc", "device=speaker.monitor", "num-buffers=60",
                                 "!", "audio/x-raw,rate=44100,channels=1", "!", "wavenc", "!", "filesink",
                                 "location=" + capture.string()});
    });
    std::this_thread::sleep_for(200ms);
    player.Run();
    harness::PumpFor(900ms);
    recorder.join();
    player.Stop();
    return harness::RmsAmplitude(capture);
}

TEST_F(Playback, VolumeAtMinus10000IsSilent) {
    auto file = dir_ / "loud.wav";
    ASSERT_TRUE(harness::MakeToneFile(file, 44100, 2, 16, 2.0));
    CPlayerGraph player;
    ASSERT_EQ(player.OpenFile(file.string(), target_.get()), S_OK);
    ASSERT_EQ(player.SetVolume(0), S_OK);
    double loud = OutputLevelWhilePlaying(player, dir_ / "loud-capture.wav");
    ASSERT_EQ(player.SetVolume(-10000), S_OK);
    double silent = OutputLevelWhilePlaying(player, dir_ / "silent-capture.wav");
    EXPECT_GT(loud, 0.1);
    EXPECT_LT(silent, 0.001);
    EXPECT_EQ(player.SetVolume(1), E_INVALIDARG);
}

TEST_F(Playback, FilesThatCannotBePlayedAreRefusedWithMessage1003) {
    const std::string message = GetLocalizedMessage(1003);
    ASSERT_FALSE(message.empty());
    auto tone = dir_ / "src.wav";
    ASSERT_TRUE(harness::MakeToneFile(tone, 44100, 1, 16, 0.5));
    struct Case {
        std::string name;
        std::function<void(const fs::path&)> make;
    };
    auto write = [](const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; };
    std::vector<Case> cases = {
        {"empty.wav", [&](const fs::path& p) { write(p, ""); }},
        {"truncated.wav",
         [&](const fs::path& p) {
             std::ifstream in(tone, std::ios::binary);
             std::string head(30, '\0');
             in.read(head.data(), 30);
             write(p, head);
         }},
        {"random.wav",
         [&](const fs::path& p) {
             std::mt19937 rng(7);
             std::string bytes(20000, '\0');
             for (auto& c : bytes) c = static_cast<char>(rng());
             write(p, bytes);
         }},
        {"notes.wav", [&](const fs::path& p) { write(p, "These are my notes, not a recording.\n"); }},
        {"tone.flac",
         [&](const fs::path& p) { ASSERT_EQ(harness::Run({"sox", tone.string(), p.string()}).status, 0); }},
        {"missing.wav", [](const fs::path&) {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto file = dir_ / c.name;
        c.make(file);
        CPlayerGraph player;
        boxes_.clear();
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(player.OpenFile(file.string(), target_.get()), E_FAIL);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
        ASSERT_EQ(boxes_.size(), 1u);
        EXPECT_EQ(boxes_[0], message);
        EXPECT_TRUE(player.m_strFile.empty());
        EXPECT_EQ(player.Run(), S_OK);  // the fresh empty graph: nothing to play, nothing breaks
        player.Stop();
    }
}

TEST(PlaybackTypes, WaveTagTable) {
    EXPECT_EQ(ClassifyWaveFormatTag(0x0001), 1);
    EXPECT_EQ(ClassifyWaveFormatTag(0x0000), 1);
    EXPECT_EQ(ClassifyWaveFormatTag(0x003D), 1);
    EXPECT_EQ(ClassifyWaveFormatTag(0x003E), -1);
    EXPECT_EQ(ClassifyWaveFormatTag(0x0055), -1);
    EXPECT_EQ(ClassifyWaveFormatTag(0x0160), 1);
    EXPECT_EQ(ClassifyWaveFormatTag(0x0161), 2);
    EXPECT_EQ(ClassifyWaveFormatTag(0x0163), 2);
    EXPECT_EQ(ClassifyWaveFormatTag(0x0164), -1);
    EXPECT_EQ(ClassifyWaveFormatTag(0x2000), 1);
    EXPECT_EQ(ClassifyWaveFormatTag(0xFFFE), 1);
    int count = 0;
    for (int tag = 0; tag <= 0xFFFF; ++tag) count += ClassifyWaveFormatTag(static_cast<std::uint16_t>(tag)) == 1;
    EXPECT_EQ(count, 133);
}

}  // namespace
