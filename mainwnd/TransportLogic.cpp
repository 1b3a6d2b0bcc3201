#include "mainwnd/TransportLogic.h"

#include <atomic>

namespace mainwnd {

RecordAction DecideRecord(const RecordInputs& in) {
    if (in.limitOn && in.limitSeconds <= 1.0) return RecordAction::RefuseLimitZero;
    // Checked before a pause too: the user is told early that the disk is nearly full.
    if (in.freeMB <= kMinFreeMBToStart) return RecordAction::RefuseDiskSpace;
    if (in.engineState == kEngineRunning) return RecordAction::Pause;
    if (in.recordPaused) return RecordAction::Resume;
    return RecordAction::FreshStart;
}

PlayAction DecidePlay(int playerState, bool reloadBeforePlay) {
    if (playerState == kEngineRunning) return PlayAction::Pause;
    if (reloadBeforePlay) return PlayAction::ReloadAndRun;
    if (playerState == kEngineStopped) return PlayAction::ReopenAndRun;
    return PlayAction::Resume;
}

StopAction DecideStop(int playerState, int recorderState) {
    if (playerState == kEnginePaused || playerState == kEngineRunning) return StopAction::StopPlayback;
    if (recorderState != kEngineStopped) return StopAction::FinishRecording;
    return StopAction::ResetDisplays;
}

int LimitSeconds(int hours, int minutes) { return (hours * 60 + minutes) * 60; }

unsigned PositionSeconds(std::int64_t position100ns) {
    if (position100ns <= 0) return 0;
    return static_cast<unsigned>(position100ns / 10000000);
}

bool LengthLimitReached(RecordFormat format, double limitSeconds, double elapsedSeconds,
                        std::int64_t wmaPosition100ns) {
    if (format == RecordFormat::Wma)
        return PositionSeconds(wmaPosition100ns) >= limitSeconds;
    return limitSeconds + 0.1 <= elapsedSeconds;
}

unsigned RecordTickSeconds(RecordFormat format, double elapsedSeconds, std::int64_t wmaPosition100ns) {
    if (format == RecordFormat::Wma) return PositionSeconds(wmaPosition100ns);
    if (!(elapsedSeconds > 0)) return 0;
    return static_cast<unsigned>(elapsedSeconds);
}

unsigned WmaLengthGuardMinutes(int wmaProfile) {
    switch (wmaProfile) {
        case 3: return 480;
        case 4: return 660;
        default: return 390;
    }
}

bool IsCheckTick(unsigned counterAfterIncrement) {
    return static_cast<std::uint64_t>(counterAfterIncrement) * kTimerPeriodMs >= 1000;
}

namespace {
std::atomic<std::uint64_t> g_sizeCap{kRecordedSizeCap};
}

std::uint64_t RecordedSizeCap() { return g_sizeCap.load(); }
void SetRecordedSizeCapForTesting(std::uint64_t bytes) { g_sizeCap = bytes ? bytes : kRecordedSizeCap; }
bool RecordedSizeExceeded(std::uint64_t bytes) { return bytes > RecordedSizeCap(); }

std::int64_t SeekTarget(std::int64_t duration100ns, int barPosition) {
    return duration100ns * barPosition / 100;
}

SeekEndAction SeekEnd(int stateBeforeSeek) {
    if (stateBeforeSeek == kEngineStopped) return SeekEndAction::Stop;
    if (stateBeforeSeek == kEngineRunning) return SeekEndAction::Run;
    return SeekEndAction::StayPaused;
}

}  // namespace mainwnd
