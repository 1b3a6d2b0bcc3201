#include "tests/harness/Harness.h"

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/utils.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <spawn.h>

#include <cmath>
#include <fstream>
#include <cstdlib>
#include <random>
#include <sstream>
#include <thread>

namespace harness {
namespace fs = std::filesystem;

namespace {
bool Quiet(const std::vector<std::string>& argv) { return Run(argv, std::chrono::seconds(10)).status == 0; }
}  // namespace

bool HaveDisplay() {
    const char* d = std::getenv("DISPLAY");
    return d && *d && Quiet({"xdpyinfo"});
}

bool HaveSoundServer() { return Quiet({"pactl", "info"}); }

fs::path BinDir() {
    if (const char* b = std::getenv("MURMELO_BIN")) return b;
    return fs::read_symlink("/proc/self/exe").parent_path();
}

fs::path SourceDir() {
    if (const char* s = std::getenv("MURMELO_SOURCE")) return s;
    return fs::current_path();
}

TempDir::TempDir() {
    std::random_device rd;
    for (;;) {
        path_ = fs::temp_directory_path() / ("murmelo-test-" + std::to_string(rd()));
        std::error_code ec;
        if (fs::create_directory(path_, ec)) break;
    }
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

ScopedEnv::ScopedEnv(std::string name, std::optional<std::string> value) : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str())) old_ = old;
    if (value) setenv(name_.c_str(), value->c_str(), 1);
    else unsetenv(name_.c_str());
}

ScopedEnv::~ScopedEnv() {
    if (old_) setenv(name_.c_str(), old_->c_str(), 1);
    else unsetenv(name_.c_str());
}

ToneFeeder::ToneFeeder(double frequencyHz, double volume) {
    std::ostringstream freq, vol;
    freq << "freq=" << frequencyHz;
    vol << "volume=" << volume;
    pid_t pid = fork();
    if (pid == 0) {
        int devnull = open("/dev/null", O_RDWR);
        dup2(devnull, 1);
        dup2(devnull, 2);
        execlp("gst-launch-1.0", "gst-launch-1.0", "-q", "audiotestsrc", "is-live=true", freq.str().c_str(),
               vol.str().c_str(), "!", "audio/x-raw,rate=44100,channels=2", "!", "pulsesink", "device=mic_feed",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    pid_ = pid;
    // Give the stream time to reach the server before anyone records.
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
}

ToneFeeder::~ToneFeeder() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
}

RunResult Run(const std::vector<std::string>& argv, std::chrono::milliseconds timeout) {
    RunResult result;
    int pipefd[2];
    if (pipe(pipefd) != 0) return result;
    pid_t pid = fork();
    if (pid == 0) {
        dup2(pipefd[1], 1);
        int devnull = open("/dev/null", O_RDWR);
        dup2(devnull, 2);
        dup2(devnull, 0);
        close(pipefd[0]);
        std::vector<char*> args;
        for (auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    close(pipefd[1]);
    fcntl(pipefd[0], F_SETFL, O_NONBLOCK);
    auto deadline = std::chrono::steady_clock::now() + timeout;
    char buf[4096];
    int status = 0;
    bool exited = false;
    while (true) {
        ssize_t n = read(pipefd[0], buf, sizeof buf);
        if (n > 0) { result.out.append(buf, static_cast<std::size_t>(n)); continue; }
        if (!exited && waitpid(pid, &status, WNOHANG) == pid) exited = true;
        if (exited && n <= 0) {
            // drain what is left
            while ((n = read(pipefd[0], buf, sizeof buf)) > 0) result.out.append(buf, static_cast<std::size_t>(n));
            break;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            close(pipefd[0]);
            result.status = -1;
            return result;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    close(pipefd[0]);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

namespace {
std::map<std::string, std::string> FlatValues(const std::string& text) {
    std::map<std::string, std::string> values;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string value = line.substr(eq + 1);
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        values[line.substr(0, eq)] = value;
    }
    return values;
}
}  // namespace

MediaInfo Probe(const fs::path& file) {
    MediaInfo info;
    auto r = Run({"ffprobe", "-v", "error", "-select_streams", "a:0", "-show_streams", "-show_format", "-of",
                  "flat", file.string()});
    if (r.status != 0) return info;
    auto v = FlatValues(r.out);
    auto get = [&](const std::string& key) { auto it = v.find(key); return it == v.end() ? std::string() : it->second; };
    info.codec = get("streams.stream.0.codec_name");
    info.format = get("format.format_name");
    info.sampleRate = std::atoi(get("streams.stream.0.sample_rate").c_str());
    info.channels = std::atoi(get("streams.stream.0.channels").c_str());
    info.bitsPerSample = std::atoi(get("streams.stream.0.bits_per_sample").c_str());
    info.bitRate = std::atol(get("streams.stream.0.bit_rate").c_str());
    if (info.bitRate == 0) info.bitRate = std::atol(get("format.bit_rate").c_str());
    std::string d = get("streams.stream.0.duration");
    if (d.empty() || d == "N/A") d = get("format.duration");
    info.duration = std::atof(d.c_str());
    info.ok = !info.codec.empty();
    return info;
}

double DominantFrequency(const fs::path& file) {
    // Decode to 16-bit mono WAV with ffmpeg (reads every format we write), then ask sox.
    TempDir tmp;
    auto wav = tmp / "probe.wav";
    if (Run({"ffmpeg", "-v", "error", "-y", "-i", file.string(), "-ac", "1", "-c:a", "pcm_s16le", wav.string()})
            .status != 0)
        return 0;
    // "stat -freq" prints "freq  magnitude" lines on standard error; run through sh to capture it.
    auto r = Run({"sh", "-c", "sox \"$0\" -n trim 0.2 1 stat -freq 2>&1", wav.string()});
    double best = 0, bestMag = -1;
    std::istringstream in(r.out);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream ls(line);
        double f, m;
        if (ls >> f >> m && ls.eof() && f > 20) {
            if (m > bestMag) { bestMag = m; best = f; }
        }
    }
    return best;
}

double RmsAmplitude(const fs::path& file) {
    TempDir tmp;
    auto wav = tmp / "probe.wav";
    if (Run({"ffmpeg", "-v", "error", "-y", "-i", file.string(), "-ac", "1", "-c:a", "pcm_s16le", wav.string()})
            .status != 0)
        return 0;
    auto r = Run({"sh", "-c", "sox \"$0\" -n stat 2>&1", wav.string()});
    auto pos = r.out.find("RMS     amplitude:");
    if (pos == std::string::npos) return 0;
    return std::atof(r.out.c_str() + pos + 18);
}

bool MakeToneFile(const fs::path& file, int rate, int channels, int bits, double seconds, double frequencyHz) {
    return Run({"sox", "-n", "-r", std::to_string(rate), "-c", std::to_string(channels), "-b", std::to_string(bits),
                file.string(), "synth", std::to_string(seconds), "sine", std::to_string(frequencyHz), "vol", "0.5"})
               .status == 0;
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return done();
        if (wxTheApp) {
            wxTheApp->ProcessPendingEvents();
            if (auto* loop = wxEventLoopBase::GetActive()) {
                while (loop->Pending()) loop->Dispatch();
            } else {
                wxYield();
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

void PumpFor(std::chrono::milliseconds duration) {
    auto until = std::chrono::steady_clock::now() + duration;
    PumpUntil([&] { return std::chrono::steady_clock::now() >= until; }, duration + std::chrono::seconds(1));
}

Process::Process(std::vector<std::string> argv, const std::filesystem::path& errFile) {
    if (argv.empty()) return;
    std::vector<char*> args;
    for (auto& a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!errFile.empty())
        posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    pid_t pid = -1;
    if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ) == 0) pid_ = pid;
    posix_spawn_file_actions_destroy(&actions);
}

Process::~Process() {
    if (pid_ > 0 && !waitStatus_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

bool Process::Finished() {
    if (pid_ <= 0 || waitStatus_) return true;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) waitStatus_ = status;
    return waitStatus_.has_value();
}

bool Process::Wait(std::chrono::milliseconds timeout, bool pump) {
    if (pump) return PumpUntil([this] { return Finished(); }, timeout);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!Finished()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::optional<int> Process::ExitCode() const {
    if (!waitStatus_ || !WIFEXITED(*waitStatus_)) return std::nullopt;
    return WEXITSTATUS(*waitStatus_);
}

std::optional<int> Process::ExitStatus() const {
    if (!waitStatus_) return std::nullopt;
    return WIFEXITED(*waitStatus_) ? WEXITSTATUS(*waitStatus_) : 128 + WTERMSIG(*waitStatus_);
}

std::string ReadFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace harness
