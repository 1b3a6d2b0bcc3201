// Real recordings from the session's virtual microphone, fed a known tone, checked with an
// independent decoder (ffprobe, sox).
#include <gst/gst.h>
#include <gtest/gtest.h>
#include <strings.h>

#include <algorithm>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "audio/CaptureGraph.h"
#include "audio/SampleBuffer.h"
#include "platform/SourcePorts.h"
#include "tests/audio/AudioTestSupport.h"
#include "tests/harness/Harness.h"

using namespace audiotest;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

class Recording : public ::testing::Test {
protected:
    // One tone for the whole suite: the virtual microphone hears it all along.
    static void SetUpTestSuite() {
        if (harness::HaveSoundServer()) tone_ = new harness::ToneFeeder(kTone);
    }
    static void TearDownTestSuite() {
        delete tone_;
        tone_ = nullptr;
    }
    void SetUp() override {
        if (!tone_) GTEST_SKIP() << "no sound server (run in scripts/session.sh)";
    }
    // Records `seconds` of the tone into `file`; the graph is fresh and bound to the virtual mic.
    void Record(CCaptureGraph& graph, Format format, const fs::path& file, std::chrono::milliseconds length) {
        ASSERT_TRUE(BindVirtualMic(graph));
        graph.m_strFileName = file.string();
        BuildFor(graph, format);
        ASSERT_EQ(graph.SetOutputFile(), S_OK);
        ASSERT_EQ(graph.Recording(), S_OK);
        EXPECT_EQ(graph.m_nState, 2);
        std::this_thread::sleep_for(length);
        ASSERT_EQ(graph.Pause(), S_OK);
        LONGLONG recorded = 0;
        ASSERT_EQ(graph.GetCurrentPosition(&recorded), S_OK);
        recorded_ = recorded / 1e7;
        EXPECT_NEAR(recorded_, length.count() / 1000.0, 0.3);
        ASSERT_EQ(graph.Stop(), S_OK);
        EXPECT_EQ(graph.m_nState, 0);
        graph.RemoveWriters();
    }
    static constexpr double kTone = 1000.0;
    double recorded_ = 0;  // seconds the engine says it recorded
    harness::TempDir dir_;
    harness::ScopedEnv config_{"MURMELO_CONFIG_DIR", dir_.path().string()};
    static inline harness::ToneFeeder* tone_ = nullptr;
};

void ExpectTone(const fs::path& file) {
    double f = harness::DominantFrequency(file);
    EXPECT_NEAR(f, 1000.0, 30.0) << file;
}

}  // namespace

TEST(RecordingWithoutGraph, TransportCallsAnswerNoInterfaceAndChangeNothing) {
    CCaptureGraph graph;
    graph.ReleaseGraph();
    graph.m_nState = 1;
    EXPECT_EQ(graph.Recording(), static_cast<HRESULT>(0x80004002u));
    EXPECT_EQ(graph.Pause(), static_cast<HRESULT>(0x80004002u));
    EXPECT_EQ(graph.Stop(), static_cast<HRESULT>(0x80004002u));
    EXPECT_EQ(graph.SetOutputFile(), E_NOINTERFACE);
    EXPECT_EQ(graph.StartSampleTap(), E_NOINTERFACE);
    EXPECT_EQ(graph.m_nState, 1);
}

TEST(CaptureDevices, EmptyListGetsTheSingleNoEntriesLine) {
    // A sound server that does not answer has no devices.
    harness::ScopedEnv server("PULSE_SERVER", "unix:/nonexistent/murmelo-no-server");
    VectorListBox list;
    EXPECT_EQ(EnumerateDevices(nullptr, CLSID_AudioInputDeviceCategory, list), 1);
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.GetText(0), "<< No entries >>");
    EXPECT_EQ(list.GetItemData(0), nullptr);
}

TEST_F(Recording, DeviceListHoldsTheVirtualMicWithOneInputNamedAfterIt) {
    VectorListBox devices, inputs;
    const int found = ListDevicesAndFindVirtualMic(devices);
    ASSERT_GE(found, 0);
    EXPECT_EQ(devices.GetText(found), "Virtual_Microphone");
    for (int i = 1; i < devices.GetCount(); ++i)
        EXPECT_LE(strcasecmp(devices.GetText(i - 1).c_str(), devices.GetText(i).c_str()), 0) << "sorted";

    CCaptureGraph graph;
    ASSERT_EQ(graph.SelectCaptureDevice(devices, found, inputs), S_OK);
    ASSERT_EQ(inputs.GetCount(), 1);
    EXPECT_EQ(inputs.GetText(0), "Virtual_Microphone");
    EXPECT_EQ(graph.SelectCaptureInput("Virtual_Microphone"), S_OK);
    ASSERT_NE(graph.m_pSource, nullptr);
    EXPECT_STREQ(GST_OBJECT_NAME(graph.m_pSource), "Audio Capture");
    EXPECT_EQ(graph.SourceName(), "Virtual_Microphone");

    // No such device index: the graph stays without a source.
    EXPECT_LT(graph.SelectCaptureDevice(devices, devices.GetCount() + 3, inputs), 0);
    EXPECT_EQ(graph.m_pSource, nullptr);
}

// A sound card's jacks cannot exist on these machines: this stand-in gives the session's virtual
// microphone the ports a laptop's analog input has, and records which port was made active.
class CardPorts : public platform::ISourcePorts {
public:
    explicit CardPorts(bool accept = true) : accept_(accept) { platform::SetSourcePorts(this); }
    ~CardPorts() override { platform::SetSourcePorts(nullptr); }
    platform::SourcePortTable ListPorts() override {
        return {{"virtual_mic",
                 {{"analog-input-mic", "Microphone", true},
                  {"analog-input-linein", "Line In", false},
                  {"analog-input-dock-mic", "Microphone", true},
                  {"analog-input-aux", "", true}}},
                {"some_other_source", {{"analog-input-headset", "Headset", true}}}};
    }
    bool SetActivePort(const std::string& source, const std::string& port) override {
        activated.push_back(source + "/" + port);
        return accept_;
    }
    std::vector<std::string> activated;

private:
    bool accept_;
};

TEST_F(Recording, DevicePortsAreItsInputsAndChoosingOneMakesItActive) {
    CardPorts card;
    VectorListBox devices, inputs;
    const int found = ListDevicesAndFindVirtualMic(devices);
    ASSERT_GE(found, 0);

    CCaptureGraph graph;
    ASSERT_EQ(graph.SelectCaptureDevice(devices, found, inputs), S_OK);
    std::vector<std::string> names;
    for (int i = 0; i < inputs.GetCount(); ++i) names.push_back(inputs.GetText(i));
    // Shared descriptions are told apart by the port name; a port without one is listed by name.
    EXPECT_EQ(names, (std::vector<std::string>{"analog-input-aux", "Line In", "Microphone (analog-input-dock-mic)",
                                               "Microphone (analog-input-mic)"}));

    struct Choice {
        std::string input;
        HRESULT result;
        std::string activated;  // empty: no port is touched
    };
    for (const Choice& c : {Choice{"Line In", S_OK, "virtual_mic/analog-input-linein"},
                            Choice{"Microphone (analog-input-dock-mic)", S_OK, "virtual_mic/analog-input-dock-mic"},
                            Choice{"analog-input-aux", S_OK, "virtual_mic/analog-input-aux"},
                            Choice{"Microphone", S_FALSE, ""}, Choice{"line in", S_FALSE, ""},
                            Choice{"Virtual_Microphone", S_FALSE, ""}, Choice{"Headset", S_FALSE, ""}}) {
        card.activated.clear();
        EXPECT_EQ(graph.SelectCaptureInput(c.input), c.result) << c.input;
        EXPECT_EQ(card.activated, c.activated.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.activated})
            << c.input;
    }

    // The device still records with a port chosen.
    auto file = dir_ / "port.wav";
    graph.m_strFileName = file.string();
    BuildFor(graph, Format::Wav);
    ASSERT_EQ(graph.SetOutputFile(), S_OK);
    ASSERT_EQ(graph.Recording(), S_OK);
    std::this_thread::sleep_for(1000ms);
    ASSERT_EQ(graph.Stop(), S_OK);
    graph.RemoveWriters();
    ExpectTone(file);
}

TEST_F(Recording, PortTheServerRefusesIsAFailedSelection) {
    CardPorts card(false);
    CCaptureGraph graph;
    ASSERT_TRUE(BindVirtualMic(graph));
    EXPECT_EQ(graph.SelectCaptureInput("Line In"), E_FAIL);
    EXPECT_EQ(card.activated, std::vector<std::string>{"virtual_mic/analog-input-linein"});
}

struct WavCase {
    int freq, mode, bit;
    int rate, channels, bits;
};
// Readable test names: the case, not its bytes.
inline void PrintTo(const WavCase& c, std::ostream* os) { *os << "codes_" << c.freq << c.mode << c.bit; }

class WavRecording : public Recording, public ::testing::WithParamInterface<WavCase> {};

TEST_P(WavRecording, FileHasTheCodesFormatAndTheTone) {
    const WavCase c = GetParam();
    CCaptureGraph graph;
    graph.m_nFreqCode = c.freq;
    graph.m_nChannelCode = c.mode;
    graph.m_nBitCode = c.bit;
    auto file = dir_ / "rec.wav";
    Record(graph, Format::Wav, file, 1200ms);
    EXPECT_EQ(graph.m_nSampleRate, c.rate);
    EXPECT_EQ(graph.m_nAvgBytesPerSec, c.rate * c.channels * c.bits / 8);
    auto info = harness::Probe(file);
    ASSERT_TRUE(info.ok);
    EXPECT_EQ(info.format, "wav");
    EXPECT_EQ(info.sampleRate, c.rate);
    EXPECT_EQ(info.channels, c.channels);
    EXPECT_EQ(info.bitsPerSample, c.bits);
    EXPECT_EQ(info.codec, c.bits == 8 ? "pcm_u8" : "pcm_s16le");
    EXPECT_NEAR(info.duration, recorded_, 0.1);
    ExpectTone(file);
}

INSTANTIATE_TEST_SUITE_P(EveryCode, WavRecording,
                         ::testing::Values(WavCase{0, 0, 0, 44100, 2, 16}, WavCase{0, 0, 1, 44100, 2, 8},
                                           WavCase{0, 1, 0, 44100, 1, 16}, WavCase{0, 1, 1, 44100, 1, 8},
                                           WavCase{1, 0, 0, 22050, 2, 16}, WavCase{1, 0, 1, 22050, 2, 8},
                                           WavCase{1, 1, 0, 22050, 1, 16}, WavCase{1, 1, 1, 22050, 1, 8},
                                           WavCase{2, 0, 0, 11025, 2, 16}, WavCase{2, 0, 1, 11025, 2, 8},
                                           WavCase{2, 1, 0, 11025, 1, 16}, WavCase{7, 1, 1, 11025, 1, 8}));

struct Mp3Case {
    int profile, mode;
    int rate, channels;
    long kbps;
};
// Readable test names: the case, not its bytes.
inline void PrintTo(const Mp3Case& c, std::ostream* os) { *os << "profile" << c.profile << "_mode" << c.mode; }

class Mp3Recording : public Recording, public ::testing::WithParamInterface<Mp3Case> {};

TEST_P(Mp3Recording, EncoderFollowsTheRegistryValues) {
    const Mp3Case c = GetParam();
    WriteLameValues(c.profile, c.mode);
    CCaptureGraph graph;
    auto file = dir_ / "rec.mp3";
    Record(graph, Format::Mp3, file, 1500ms);
    auto info = harness::Probe(file);
    ASSERT_TRUE(info.ok);
    EXPECT_EQ(info.codec, "mp3");
    EXPECT_EQ(info.sampleRate, c.rate);
    EXPECT_EQ(info.channels, c.channels);
    EXPECT_NEAR(info.bitRate / 1000.0, c.kbps, c.kbps * 0.1);
    EXPECT_NEAR(info.duration, recorded_, 0.1);
    ExpectTone(file);
}

INSTANTIATE_TEST_SUITE_P(Profiles, Mp3Recording,
                         ::testing::Values(Mp3Case{0, 0, 44100, 2, 320}, Mp3Case{1, 0, 44100, 2, 128},
                                           Mp3Case{2, 1, 44100, 1, 64}, Mp3Case{3, 0, 22050, 2, 128},
                                           Mp3Case{4, 1, 22050, 1, 64}));

struct WmaCase {
    int profile;
    int rate, channels;
    long bps;
    int kHzLabel;
};
// Readable test names: the case, not its bytes.
inline void PrintTo(const WmaCase& c, std::ostream* os) { *os << "profile" << c.profile; }

class WmaRecording : public Recording, public ::testing::WithParamInterface<WmaCase> {};

TEST_P(WmaRecording, ProfileGivesRateChannelsAndBitrate) {
    const WmaCase c = GetParam();
    CCaptureGraph graph;
    graph.m_nWmaProfile = c.profile;
    auto file = dir_ / "rec.wma";
    Record(graph, Format::Wma, file, 1500ms);
    EXPECT_EQ(graph.m_nWmaKHz, c.kHzLabel);
    auto info = harness::Probe(file);
    ASSERT_TRUE(info.ok);
    EXPECT_EQ(info.codec, "wmav2");
    EXPECT_EQ(info.format, "asf");
    EXPECT_EQ(info.sampleRate, c.rate);
    EXPECT_EQ(info.channels, c.channels);
    EXPECT_EQ(info.bitRate, c.bps);
    EXPECT_NEAR(info.duration, recorded_, 0.1);
    ExpectTone(file);
}

INSTANTIATE_TEST_SUITE_P(Profiles, WmaRecording,
                         ::testing::Values(WmaCase{0, 44100, 2, 128000, 44}, WmaCase{1, 44100, 2, 96000, 44},
                                           WmaCase{2, 44100, 2, 64000, 44}, WmaCase{3, 32000, 2, 32000, 32},
                                           WmaCase{4, 22050, 1, 28800, 22}, WmaCase{9, 22050, 1, 28800, 22}));

TEST_F(Recording, PausedTimeIsLeftOutAndResumeAppendsToTheSameFile) {
    for (Format format : {Format::Wav, Format::Mp3, Format::Wma}) {
        WriteLameValues(1, 0);
        CCaptureGraph graph;
        ASSERT_TRUE(BindVirtualMic(graph));
        auto file = dir_ / (format == Format::Wav ? "p.wav" : format == Format::Mp3 ? "p.mp3" : "p.wma");
        graph.m_strFileName = file.string();
        BuildFor(graph, format);
        ASSERT_EQ(graph.SetOutputFile(), S_OK);
        ASSERT_EQ(graph.Recording(), S_OK);
        std::this_thread::sleep_for(700ms);
        ASSERT_EQ(graph.Pause(), S_OK);
        EXPECT_EQ(graph.m_nState, 1);
        std::this_thread::sleep_for(600ms);
        ASSERT_EQ(graph.Recording(), S_OK);
        std::this_thread::sleep_for(700ms);
        LONGLONG position = 0;
        EXPECT_EQ(graph.GetCurrentPosition(&position), S_OK);
        ASSERT_EQ(graph.Pause(), S_OK);
        ASSERT_EQ(graph.GetCurrentPosition(&position), S_OK);
        EXPECT_NEAR(position / 1e7, 1.4, 0.3);
        ASSERT_EQ(graph.Stop(), S_OK);
        auto info = harness::Probe(file);
        ASSERT_TRUE(info.ok) << file;
        EXPECT_NEAR(info.duration, position / 1e7, 0.1) << file;
    }
}

TEST_F(Recording, TapStampsTheRecordingTimeAndStopClearsItToZeros) {
    CCaptureGraph graph;
    TheSampleBuffer().Free();
    Record(graph, Format::Wav, dir_ / "tap.wav", 1000ms);
    std::vector<std::uint8_t> bytes;
    double t = TheSampleBuffer().CopyOut(bytes);
    EXPECT_NEAR(t, 1.0, 0.2);
    ASSERT_FALSE(bytes.empty());
    // 50 ms of 44.1 kHz 16-bit stereo per buffer.
    EXPECT_EQ(bytes.size(), 8820u);
    EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; }));
}

TEST_F(Recording, TooLongPathIsRefusedInsteadOfCut) {
    CCaptureGraph graph;
    ASSERT_TRUE(BindVirtualMic(graph));
    // Folders exist, so only the length stands in the way.
    fs::path folder = dir_ / std::string(120, 'b') / std::string(120, 'c');
    fs::create_directories(folder);
    std::string longName = (folder / "recording.wav").string();
    ASSERT_GT(longName.size(), 259u);
    graph.m_strFileName = longName;
    BuildFor(graph, Format::Wav);
    EXPECT_LT(graph.SetOutputFile(), 0);
    EXPECT_LT(graph.Recording(), 0);
    EXPECT_EQ(graph.m_nState, 0);
    // Nothing was written under the cut name either.
    EXPECT_TRUE(fs::is_empty(folder));
}

TEST_F(Recording, StartIntoAnUnwritableFolderFailsAndLeavesTheStateAlone) {
    CCaptureGraph graph;
    ASSERT_TRUE(BindVirtualMic(graph));
    graph.m_strFileName = (dir_ / "missing" / "rec.wav").string();
    BuildFor(graph, Format::Wav);
    EXPECT_EQ(graph.SetOutputFile(), S_OK);
    EXPECT_LT(graph.Recording(), 0);
    EXPECT_EQ(graph.m_nState, 0);
}
