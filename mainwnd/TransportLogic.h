// The transport's decisions, free of any window: what the record, play and stop commands do in
// each engine state, the recording timer's limits, and seeking with the progress bar.
#pragma once
#include <cstdint>

namespace mainwnd {

enum class RecordFormat { Wav, Mp3, Wma };

// Engine states as both engines report them.
constexpr int kEngineStopped = 0;
constexpr int kEnginePaused = 1;
constexpr int kEngineRunning = 2;

constexpr int IDT_RECORD = 101;
constexpr int IDT_PLAYBACK = 102;
constexpr int kTimerPeriodMs = 300;

constexpr std::uint32_t kMinFreeMBToStart = 100;  // more than this must be free to start
constexpr std::uint32_t kMinFreeMBWhileRecording = 100;  // below this a recording is finished

// Record command.
enum class RecordAction {
    RefuseLimitZero,  // the length limit is at zero: warning 1236, state recorded
    RefuseDiskSpace,  // not enough free space: warning 1238
    Pause,            // a running recording pauses
    Resume,           // the record button had paused it: resume into the same file
    FreshStart,       // new name, new file
};
struct RecordInputs {
    bool limitOn = false;
    double limitSeconds = 0;
    std::uint32_t freeMB = 0;
    int engineState = kEngineStopped;
    bool recordPaused = false;
};
RecordAction DecideRecord(const RecordInputs& in);

// Play command.
enum class PlayAction {
    Pause,          // running: pause, keep StatePlaying
    ReloadAndRun,   // a recording was just finished: reopen the current file first
    ReopenAndRun,   // stopped: release the graph, reopen the current file
    Resume,         // paused: run again
};
PlayAction DecidePlay(int playerState, bool reloadBeforePlay);

// Stop command.
enum class StopAction {
    StopPlayback,      // the player is paused or running
    FinishRecording,   // the recorder is not stopped
    ResetDisplays,     // nothing runs
};
StopAction DecideStop(int playerState, int recorderState);

// (hours × 60 + minutes) × 60.
int LimitSeconds(int hours, int minutes);

// Whole seconds of a WMA recording from the engine's position (100 ns units).
unsigned PositionSeconds(std::int64_t position100ns);

// Whether the recording has reached its length limit at this tick. WMA: the engine position in
// whole seconds is at least the limit. WAV and MP3: limit + 0.1 is at most the elapsed time.
bool LengthLimitReached(RecordFormat format, double limitSeconds, double elapsedSeconds, std::int64_t wmaPosition100ns);

// Seconds the read-out shows at a recording tick.
unsigned RecordTickSeconds(RecordFormat format, double elapsedSeconds, std::int64_t wmaPosition100ns);

// Longest WMA recording in minutes by quality code.
unsigned WmaLengthGuardMinutes(int wmaProfile);

// The recording timer counts ticks; every fourth (counter × 300 ≥ 1000) checks space and size.
bool IsCheckTick(unsigned counterAfterIncrement);

// The largest recorded file; a larger one is finished. Tests lower it; 0 restores the shipped value.
constexpr std::uint64_t kRecordedSizeCap = 2000000000ull;
std::uint64_t RecordedSizeCap();
void SetRecordedSizeCapForTesting(std::uint64_t bytes);
bool RecordedSizeExceeded(std::uint64_t bytes);

// Seeking with the progress bar (0..100).
std::int64_t SeekTarget(std::int64_t duration100ns, int barPosition);
enum class SeekEndAction { Stop, Run, StayPaused };
SeekEndAction SeekEnd(int stateBeforeSeek);

}  // namespace mainwnd
