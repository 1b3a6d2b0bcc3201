// CPU time per minute of recording through the engine (tap on), against a bare gst-launch-1.0
// pipeline of the same elements capturing the same source in the same run.
//   bench_audio_capture [seconds]   (default 20 s per run; run inside scripts/session.sh)
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "audio/CaptureGraph.h"
#include "platform/Registry.h"
#include "audio/LameSettings.h"

namespace fs = std::filesystem;

namespace {

double CpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

pid_t Spawn(const std::vector<std::string>& argv) {
    std::fflush(stdout);
    pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> args;
        for (auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        freopen("/dev/null", "w", stdout);
        execvp(args[0], args.data());
        _exit(127);
    }
    return pid;
}

// CPU seconds the bare pipeline used for `seconds` of capture (ended with end-of-stream).
double BarePipeline(const std::vector<std::string>& elements, double seconds) {
    std::vector<std::string> argv = {"gst-launch-1.0", "-q", "-e"};
    argv.insert(argv.end(), elements.begin(), elements.end());
    const double before = CpuSeconds(RUSAGE_CHILDREN);
    pid_t pid = Spawn(argv);
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    kill(pid, SIGINT);
    int status = 0;
    waitpid(pid, &status, 0);
    return CpuSeconds(RUSAGE_CHILDREN) - before;
}

double Engine(bool mp3, const fs::path& file, double seconds) {
    CCaptureGraph graph;
    VectorListBox devices, inputs;
    EnumerateDevices(nullptr, CLSID_AudioInputDeviceCategory, devices);
    for (int i = 0; i < devices.GetCount(); ++i)
        if (devices.GetItemData(i) && devices.GetItemData(i)->SourceName() == "virtual_mic")
            graph.SelectCaptureDevice(devices, i, inputs);
    graph.m_strFileName = file.string();
    if (mp3) {
        graph.BuildMp3Graph();
    } else {
        graph.ConfigureWavCapture();
        graph.BuildWavGraph();
    }
    graph.SetOutputFile();
    const double before = CpuSeconds(RUSAGE_SELF);
    if (FAILED(graph.Recording())) {
        std::fprintf(stderr, "recording did not start\n");
        return -1;
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    graph.Pause();
    graph.Stop();
    return CpuSeconds(RUSAGE_SELF) - before;
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 20.0;
    fs::path dir = fs::temp_directory_path() / ("murmelo-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    setenv("MURMELO_CONFIG_DIR", dir.c_str(), 1);
    {
        platform::RegKey key;
        if (key.OpenForWrite(platform::Hive::CurrentUser, kLameRegistryKey, true)) {
            key.SetDword("Sample Rate", 44100);
            key.SetDword("Bitrate", 128);
            key.SetDword("Stereo Mode", 0);
            key.SetDword("Force Mono", 0);
            key.SetDword("Quality", 5);
            key.SetDword("Variable", 0);
        }
    }
    EnsureGstInitialized();
    // A tone on the virtual microphone, as a speaker would give.
    pid_t tone = Spawn({"gst-launch-1.0", "-q", "audiotestsrc", "is-live=true", "freq=440", "!",
                        "audio/x-raw,rate=44100,channels=2", "!", "pulsesink", "device=mic_feed"});
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    const double toneCpuStart = CpuSeconds(RUSAGE_CHILDREN);
    (void)toneCpuStart;

    struct Case {
        const char* name;
        bool mp3;
        std::vector<std::string> bare;
    };
    const std::string bareFile = (dir / "bare").string();
    std::vector<Case> cases = {
        {"WAV 44.1 kHz 16-bit stereo", false,
         {"pulsesrc", "device=virtual_mic", "latency-time=50000", "buffer-time=300000", "!",
          "audio/x-raw,format=S16LE,rate=44100,channels=2,layout=interleaved", "!", "capsfilter", "caps=audio/x-raw",
          "!", "wavenc", "!", "filesink", "location=" + bareFile + ".wav"}},
        {"MP3 128 kbit/s", true,
         {"pulsesrc", "device=virtual_mic", "!", "capsfilter", "caps=audio/x-raw", "!",
          "audio/x-raw,rate=44100,channels=2", "!", "lamemp3enc", "target=bitrate", "bitrate=128", "cbr=true",
          "encoding-engine-quality=standard", "!", "identity", "!", "filesink", "location=" + bareFile + ".mp3"}},
    };
    std::printf("CPU time per minute of recording (%.0f s runs, scaled to 60 s)\n", seconds);
    std::printf("%-28s %12s %12s %8s\n", "format", "engine s/min", "bare s/min", "ratio");
    for (const auto& c : cases) {
        double engine = Engine(c.mp3, dir / (c.mp3 ? "engine.mp3" : "engine.wav"), seconds);
        double bare = BarePipeline(c.bare, seconds);
        double e = engine / seconds * 60, b = bare / seconds * 60;
        std::printf("%-28s %12.3f %12.3f %8.2f\n", c.name, e, b, b > 0 ? e / b : 0.0);
    }
    kill(tone, SIGTERM);
    waitpid(tone, nullptr, 0);
    fs::remove_all(dir);
    return 0;
}
