#include <gtest/gtest.h>

#include "mainwnd/RecorderState.h"
#include "mainwnd/TransportLogic.h"

using namespace mainwnd;

TEST(ButtonStates, TableForEveryState) {
    constexpr Switch E = Switch::Enable, D = Switch::Disable, K = Switch::Keep;
    struct Row { int state; ButtonStates want; };
    const Row rows[] = {
        {StateIdle, {E, E, E, D, D, D, D, D, D, K, true}},
        {StatePlaying, {E, E, D, E, E, E, E, E, E, K, false}},
        {StateFileReady, {E, E, E, E, E, D, E, D, E, K, false}},
        {StateRecording, {D, D, E, D, D, E, D, D, D, D, false}},
        {StateRecorded, {E, E, E, E, E, D, E, D, E, E, false}},
    };
    for (const auto& r : rows) {
        ButtonStates b = ButtonStatesFor(r.state);
        SCOPED_TRACE(r.state);
        EXPECT_EQ(b.open, r.want.open);
        EXPECT_EQ(b.settings, r.want.settings);
        EXPECT_EQ(b.record, r.want.record);
        EXPECT_EQ(b.previous, r.want.previous);
        EXPECT_EQ(b.play, r.want.play);
        EXPECT_EQ(b.stop, r.want.stop);
        EXPECT_EQ(b.next, r.want.next);
        EXPECT_EQ(b.progress, r.want.progress);
        EXPECT_EQ(b.volume, r.want.volume);
        EXPECT_EQ(b.speaker, r.want.speaker);
        EXPECT_EQ(b.blankTexts, r.want.blankTexts);
    }
    EXPECT_EQ(ButtonStatesFor(7).record, K);
}

TEST(RecordCommand, DecisionOrder) {
    struct Case { RecordInputs in; RecordAction want; };
    const Case cases[] = {
        // The limit check comes first, even with a full disk or a running recording.
        {{true, 0.0, 50, kEngineRunning, false}, RecordAction::RefuseLimitZero},
        {{true, 1.0, 5000, kEngineStopped, false}, RecordAction::RefuseLimitZero},
        {{true, 60.0, 5000, kEngineStopped, false}, RecordAction::FreshStart},
        {{false, 0.0, 5000, kEngineStopped, false}, RecordAction::FreshStart},
        // Exactly 100 MB free is not enough; the check also guards a pause.
        {{false, 0.0, 100, kEngineStopped, false}, RecordAction::RefuseDiskSpace},
        {{false, 0.0, 101, kEngineStopped, false}, RecordAction::FreshStart},
        {{false, 0.0, 100, kEngineRunning, false}, RecordAction::RefuseDiskSpace},
        {{false, 0.0, 5000, kEngineRunning, false}, RecordAction::Pause},
        {{false, 0.0, 5000, kEnginePaused, true}, RecordAction::Resume},
        {{false, 0.0, 5000, kEnginePaused, false}, RecordAction::FreshStart},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.in.limitOn << " " << c.in.limitSeconds << " " << c.in.freeMB << " "
                                        << c.in.engineState << " " << c.in.recordPaused);
        EXPECT_EQ(DecideRecord(c.in), c.want);
    }
}

TEST(PlayAndStopCommands, Decisions) {
    EXPECT_EQ(DecidePlay(kEngineRunning, true), PlayAction::Pause);
    EXPECT_EQ(DecidePlay(kEngineStopped, true), PlayAction::ReloadAndRun);
    EXPECT_EQ(DecidePlay(kEnginePaused, true), PlayAction::ReloadAndRun);
    EXPECT_EQ(DecidePlay(kEngineStopped, false), PlayAction::ReopenAndRun);
    EXPECT_EQ(DecidePlay(kEnginePaused, false), PlayAction::Resume);

    EXPECT_EQ(DecideStop(kEngineRunning, kEngineStopped), StopAction::StopPlayback);
    EXPECT_EQ(DecideStop(kEnginePaused, kEngineRunning), StopAction::StopPlayback);
    EXPECT_EQ(DecideStop(kEngineStopped, kEnginePaused), StopAction::FinishRecording);
    EXPECT_EQ(DecideStop(kEngineStopped, kEngineRunning), StopAction::FinishRecording);
    EXPECT_EQ(DecideStop(kEngineStopped, kEngineStopped), StopAction::ResetDisplays);
}

TEST(RecordTimer, LengthLimit) {
    const double limit = LimitSeconds(0, 30);
    EXPECT_EQ(limit, 1800);
    EXPECT_EQ(LimitSeconds(23, 59), 86340);
    // WAV and MP3 stop once the elapsed time reaches limit + 0.1.
    EXPECT_FALSE(LengthLimitReached(RecordFormat::Wav, limit, 1800.09, 0));
    EXPECT_TRUE(LengthLimitReached(RecordFormat::Wav, limit, 1800.1, 0));
    EXPECT_TRUE(LengthLimitReached(RecordFormat::Mp3, limit, 1900, 0));
    // WMA stops at the first tick whose engine position is 1800 s or more (whole seconds).
    EXPECT_FALSE(LengthLimitReached(RecordFormat::Wma, limit, 9999, 17999999999));
    EXPECT_TRUE(LengthLimitReached(RecordFormat::Wma, limit, 0, 18000000000));
    EXPECT_EQ(RecordTickSeconds(RecordFormat::Wma, 99, 36259999999), 3625u);
    EXPECT_EQ(RecordTickSeconds(RecordFormat::Wav, 3725.9, 0), 3725u);
    EXPECT_EQ(RecordTickSeconds(RecordFormat::Wav, -1, 0), 0u);
}

TEST(RecordTimer, GuardsAndChecks) {
    EXPECT_EQ(WmaLengthGuardMinutes(0), 390u);
    EXPECT_EQ(WmaLengthGuardMinutes(2), 390u);
    EXPECT_EQ(WmaLengthGuardMinutes(3), 480u);
    EXPECT_EQ(WmaLengthGuardMinutes(4), 660u);
    EXPECT_FALSE(IsCheckTick(3));
    EXPECT_TRUE(IsCheckTick(4));

    EXPECT_EQ(RecordedSizeCap(), 2000000000ull);
    EXPECT_FALSE(RecordedSizeExceeded(2000000000ull));
    EXPECT_TRUE(RecordedSizeExceeded(2000000001ull));
    EXPECT_TRUE(RecordedSizeExceeded(5000000000ull));  // beyond 4 GB stays above the cap
    SetRecordedSizeCapForTesting(1000);
    EXPECT_TRUE(RecordedSizeExceeded(1001));
    SetRecordedSizeCapForTesting(0);
    EXPECT_EQ(RecordedSizeCap(), kRecordedSizeCap);
}

TEST(Seek, TargetAndRelease) {
    // 64-bit arithmetic: a ten-hour file at 50 %.
    const std::int64_t tenHours = 36000LL * 10000000LL;
    EXPECT_EQ(SeekTarget(tenHours, 50), tenHours / 2);
    EXPECT_EQ(SeekTarget(tenHours, 100), tenHours);
    EXPECT_EQ(SeekTarget(12345, 0), 0);
    EXPECT_EQ(SeekEnd(kEngineStopped), SeekEndAction::Stop);
    EXPECT_EQ(SeekEnd(kEngineRunning), SeekEndAction::Run);
    EXPECT_EQ(SeekEnd(kEnginePaused), SeekEndAction::StayPaused);
}
