// What GUI and audio tests share: the private session (display and sound server brought up by
// scripts/session.sh), scratch folders, a tone on the virtual microphone, an independent decoder's
// view of a file, and a wx application for in-process window tests.
#pragma once
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace harness {

// True when a display and a sound server answer (tests skip with a reason otherwise).
bool HaveDisplay();
bool HaveSoundServer();

// The folder the program and its companions are built into (MURMELO_BIN), and the source tree.
std::filesystem::path BinDir();
std::filesystem::path SourceDir();

// A fresh folder removed with everything in it at the end of its scope.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Sets (or with nullopt unsets) an environment variable for its scope.
class ScopedEnv {
public:
    ScopedEnv(std::string name, std::optional<std::string> value);
    ~ScopedEnv();

private:
    std::string name_;
    std::optional<std::string> old_;
};

// Plays a sine into the sound server's "mic_feed" sink, which the source "virtual_mic" records.
class ToneFeeder {
public:
    explicit ToneFeeder(double frequencyHz = 440.0, double volume = 0.5);
    ~ToneFeeder();
    ToneFeeder(const ToneFeeder&) = delete;
    ToneFeeder& operator=(const ToneFeeder&) = delete;
    bool running() const { return pid_ > 0; }

private:
    int pid_ = -1;
};

// Runs a program (argument vector, no shell) and returns its exit status and standard output.
struct RunResult {
    int status = -1;
    std::string out;
};
RunResult Run(const std::vector<std::string>& argv, std::chrono::milliseconds timeout = std::chrono::seconds(60));

// A program started in the background (argument vector, no shell), killed if it still runs at the
// end of its scope. Standard error is appended to `errFile` when one is given.
class Process {
public:
    explicit Process(std::vector<std::string> argv, const std::filesystem::path& errFile = {});
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    bool started() const { return pid_ > 0; }
    int pid() const { return pid_; }
    // True once it has ended (or never started); never blocks.
    bool Finished();
    // Pumps the wx event loop, or with `pump` false sleeps, until it ends or the time runs out;
    // true when it ended.
    bool Wait(std::chrono::milliseconds timeout, bool pump = true);
    // Once ended: the exit code; nullopt while it runs or when a signal ended it.
    std::optional<int> ExitCode() const;
    // Once ended: the exit code, or 128 + the signal that ended it; nullopt while it runs.
    std::optional<int> ExitStatus() const;

private:
    int pid_ = -1;
    std::optional<int> waitStatus_;
};

// A whole file's bytes; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& file);

// What ffprobe says of a file's first audio stream and its container.
struct MediaInfo {
    bool ok = false;
    std::string codec;     // "pcm_s16le", "pcm_u8", "mp3", "wmav2", ...
    std::string format;    // "wav", "mp3", "asf", ...
    int sampleRate = 0;
    int channels = 0;
    int bitsPerSample = 0; // PCM only
    long bitRate = 0;      // bit/s of the stream (or the container when the stream has none)
    double duration = 0;   // seconds
};
MediaInfo Probe(const std::filesystem::path& file);

// The strongest frequency (Hz) in the decoded file, from sox's spectrum statistics; 0 on failure.
double DominantFrequency(const std::filesystem::path& file);
// RMS amplitude of the decoded file, 0..1 (sox stat).
double RmsAmplitude(const std::filesystem::path& file);

// Writes a WAV file with a sine of the given shape (sox), for playback tests.
bool MakeToneFile(const std::filesystem::path& file, int rate, int channels, int bits, double seconds,
                  double frequencyHz = 440.0);

// Pumps the wx event loop until the predicate holds or the time runs out; returns the predicate.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
void PumpFor(std::chrono::milliseconds duration);

}  // namespace harness
