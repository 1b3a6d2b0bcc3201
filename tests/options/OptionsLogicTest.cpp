// The options pages' rules without windows: format actions, estimates, names, folder checks,
// microphone rules and the Advanced page's limit and mode rules.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "options/AdvancedPageLogic.h"
#include "options/GeneralPageLogic.h"
#include "options/OptionsIds.h"
#include "tests/harness/Harness.h"

using namespace options;

namespace {

struct WavCase {
    int frequency, mode, bit;
    const char* text;
};

TEST(EstimateTable, WavCombinations) {
    const WavCase cases[] = {
        {0, 0, 0, "10320 KB"}, {0, 0, 1, "5160 KB"}, {0, 1, 0, "5160 KB"}, {1, 0, 0, "5160 KB"},
        {0, 1, 1, "2580 KB"},  {1, 0, 1, "2580 KB"}, {1, 1, 0, "2580 KB"}, {2, 0, 0, "2580 KB"},
        {1, 1, 1, "1320 KB"},  {2, 0, 1, "1320 KB"}, {2, 1, 0, "1320 KB"}, {2, 1, 1, "660 KB"},
    };
    for (const WavCase& c : cases) {
        EXPECT_EQ(WavEstimate(c.frequency, c.mode, c.bit), std::optional<std::string>(c.text))
            << c.frequency << "," << c.mode << "," << c.bit;
    }
    EXPECT_FALSE(WavEstimate(3, 0, 0));
    EXPECT_FALSE(WavEstimate(0, 2, 0));
    EXPECT_FALSE(WavEstimate(0, 0, -1));
}

TEST(EstimateTable, Mp3AndWma) {
    const char* mp3[] = {"2398 KB", "958 KB", "479 KB", "958 KB", "479 KB"};
    const char* wma[] = {"1040 KB", "784 KB", "528 KB", "258 KB", "160 KB"};
    for (int q = 0; q < 5; ++q) {
        EXPECT_EQ(*Mp3Estimate(q), mp3[q]);
        EXPECT_EQ(*WmaEstimate(q), wma[q]);
    }
    EXPECT_FALSE(Mp3Estimate(5));
    EXPECT_FALSE(WmaEstimate(-1));
}

QualityCodes Stored(int wf, int wm, int wb, int wma, int mp3, int mp3mode) {
    QualityCodes c;
    c.wavFrequency = wf;
    c.wavMode = wm;
    c.wavBit = wb;
    c.wmaProfile = wma;
    c.mp3Profile = mp3;
    c.mp3Mode = mp3mode;
    return c;
}

TEST(FormatActions, RestoringWmaMonoProfileShowsMonoLabel) {
    QualityPanel panel;
    bool restoring = true;
    ChooseWma(panel, restoring, Stored(0, 0, 0, 4, 1, 0));
    WmaQualityChanged(panel);  // as initialization does after choosing WMA
    EXPECT_FALSE(restoring);
    EXPECT_EQ(panel.format, OutputFormat::Wma);
    EXPECT_EQ(panel.wmaQuality.selection, 4);
    EXPECT_TRUE(panel.wmaQuality.visible);
    EXPECT_TRUE(panel.wmaMono.visible);
    EXPECT_FALSE(panel.wmaStereo.visible);
    EXPECT_FALSE(panel.wavRate.visible || panel.mp3Quality.visible || panel.mp3Channels.visible);
    EXPECT_EQ(panel.estimate, "160 KB");
    EXPECT_EQ(panel.caption, IDS_QUALITY_WMA);
}

TEST(FormatActions, RestoringWavShowsStoredCodesOnce) {
    QualityPanel panel;
    bool restoring = true;
    ChooseWav(panel, restoring, Stored(1, 1, 1, 1, 1, 0));
    EXPECT_EQ(panel.estimate, "1320 KB");
    EXPECT_EQ(panel.wavRate.selection, 1);
    EXPECT_EQ(panel.wavChannels.selection, 1);
    EXPECT_EQ(panel.wavBits.selection, 1);
    EXPECT_EQ(panel.caption, IDS_QUALITY_WAV);
    EXPECT_FALSE(restoring);
    // A later WAV choice (not restoring) shows the defaults.
    ChooseWav(panel, restoring, Stored(1, 1, 1, 1, 1, 0));
    EXPECT_EQ(panel.estimate, "10320 KB");
    EXPECT_EQ(panel.wavRate.selection, 0);
}

TEST(FormatActions, WavAfterWmaResetsOthersToDefaults) {
    QualityPanel panel;
    bool restoring = true;
    ChooseWma(panel, restoring, Stored(2, 1, 1, 3, 4, 1));
    WmaQualityChanged(panel);
    EXPECT_EQ(panel.estimate, "258 KB");
    ChooseWav(panel, restoring, Stored(2, 1, 1, 3, 4, 1));
    EXPECT_EQ(panel.format, OutputFormat::Wav);
    EXPECT_EQ(panel.estimate, "10320 KB");
    TakeSelectedCodes(panel, Stored(2, 1, 1, 3, 4, 1));
    EXPECT_EQ(panel.codes.wavFrequency, 0);
    EXPECT_EQ(panel.codes.wavMode, 0);
    EXPECT_EQ(panel.codes.wavBit, 0);
    EXPECT_EQ(panel.codes.wmaProfile, 1);
    EXPECT_EQ(panel.codes.mp3Profile, 1);
    EXPECT_EQ(panel.codes.mp3Mode, 0);
    EXPECT_TRUE(panel.wavRate.visible && panel.wavChannels.visible && panel.wavBits.visible);
    EXPECT_FALSE(panel.wmaQuality.visible || panel.wmaStereo.visible || panel.wmaMono.visible);
}

TEST(FormatActions, Mp3ChoiceAndChannelsKeepEstimate) {
    QualityPanel panel;
    bool restoring = true;
    ChooseMp3(panel, restoring, Stored(0, 0, 0, 1, 3, 1));
    EXPECT_EQ(panel.mp3Quality.selection, 3);
    EXPECT_EQ(panel.mp3Channels.selection, 1);
    EXPECT_EQ(panel.estimate, "958 KB");
    EXPECT_EQ(panel.codes.mp3Profile, 3);
    EXPECT_EQ(panel.codes.mp3Mode, 1);
    panel.mp3Channels.Select(0);
    Mp3ChannelsChanged(panel);
    EXPECT_EQ(panel.estimate, "958 KB");
    EXPECT_EQ(panel.codes.mp3Mode, 0);
}

TEST(FormatActions, StoredCodeOutsideItemsFallsBackToDefault) {
    QualityPanel panel;
    bool restoring = true;
    ChooseWma(panel, restoring, Stored(0, 0, 0, 9, 1, 0));
    WmaQualityChanged(panel);
    EXPECT_EQ(panel.wmaQuality.selection, 1);
    EXPECT_EQ(panel.estimate, "784 KB");
}

TEST(FormatActions, Mp3StoredWithoutChoiceKeepsStoredCodes) {
    // Nothing was chosen: the lists have no selection and OK keeps what is stored.
    QualityPanel panel;
    TakeSelectedCodes(panel, Stored(2, 1, 0, 3, 4, 1));
    EXPECT_EQ(panel.codes.wavFrequency, 2);
    EXPECT_EQ(panel.codes.wmaProfile, 3);
    EXPECT_EQ(panel.codes.mp3Profile, 4);
    EXPECT_EQ(panel.codes.mp3Mode, 1);
    EXPECT_FALSE(RestoreDefaultQuality(panel));  // Default does nothing without a chosen format
    EXPECT_TRUE(panel.estimate.empty());
}

TEST(FormatActions, DefaultButtonPerFormat) {
    QualityPanel panel;
    bool restoring = false;
    ChooseWma(panel, restoring, {});
    panel.wmaQuality.Select(4);
    WmaQualityChanged(panel);
    EXPECT_TRUE(RestoreDefaultQuality(panel));
    EXPECT_EQ(panel.wmaQuality.selection, 1);
    EXPECT_TRUE(panel.wmaStereo.visible);
    EXPECT_FALSE(panel.wmaMono.visible);
    EXPECT_EQ(panel.estimate, "784 KB");

    ChooseWav(panel, restoring, {});
    panel.wavRate.Select(2);
    WavQualityChanged(panel);
    EXPECT_EQ(panel.estimate, "2580 KB");
    EXPECT_FALSE(RestoreDefaultQuality(panel));
    EXPECT_EQ(panel.estimate, "10320 KB");

    ChooseMp3(panel, restoring, {});
    panel.mp3Quality.Select(0);
    Mp3QualityChanged(panel);
    EXPECT_EQ(panel.estimate, "2398 KB");
    EXPECT_FALSE(RestoreDefaultQuality(panel));
    EXPECT_EQ(panel.estimate, "958 KB");
    EXPECT_EQ(panel.codes.mp3Profile, 1);
}

TEST(AutoFileName, DateTimeParts) {
    harness::ScopedEnv tz("TZ", "UTC");
    tzset();
    EXPECT_EQ(MakeAutoFileName(1136073600), "2006-01-01-00h-00m-00s");  // 1 January 2006
    EXPECT_EQ(MakeAutoFileName(1110204309), "2005-03-07-14h-05m-09s");
    EXPECT_EQ(ExampleText("x"), "Ex) x");
}

TEST(SaveFolderCheck, Verdicts) {
    harness::TempDir dir;
    const std::string folder = dir.path().string() + "/";
    EXPECT_EQ(CheckSaveFolder(folder).verdict, FolderVerdict::Accept);
    EXPECT_FALSE(std::filesystem::exists(dir / "Temp.txt"));

    // A Temp.txt of the user's survives the check.
    { std::ofstream(dir / "Temp.txt") << "keep"; }
    EXPECT_EQ(CheckSaveFolder(folder).verdict, FolderVerdict::Accept);
    std::ifstream in(dir / "Temp.txt");
    std::string kept;
    in >> kept;
    EXPECT_EQ(kept, "keep");

    std::string longFolder = folder;
    while (longFolder.size() < 231) longFolder += "a";
    FolderCheck tooLong = CheckSaveFolder(longFolder);
    EXPECT_EQ(tooLong.verdict, FolderVerdict::TooLong);
    EXPECT_EQ(tooLong.error, ENAMETOOLONG);

    FolderCheck missing = CheckSaveFolder(folder + "missing/");
    EXPECT_EQ(missing.verdict, FolderVerdict::PathNotFound);
    EXPECT_EQ(missing.error, ENOENT);

    // sysfs refuses new files even to root.
    FolderCheck denied = CheckSaveFolder("/sys/");
    EXPECT_EQ(denied.verdict, FolderVerdict::AccessDenied);
    EXPECT_EQ(denied.error, EACCES);
}

TEST(FreeSpace, Megabytes) {
    EXPECT_EQ(BytesToFreeMB(0), 0u);
    EXPECT_EQ(BytesToFreeMB(1048575), 0u);
    EXPECT_EQ(BytesToFreeMB(1048576ull * 100 + 12345), 100u);
    EXPECT_EQ(BytesToFreeMB(~0ull), 0xFFFFFFFFu);
}

TEST(MicrophoneRules, InitializationByDevice) {
    MicPlan p = PlanMicrophoneControls("SoundMAX HD Audio", kMicConfigBuiltInAndExternal, true, false);
    EXPECT_TRUE(p.touch && p.labelEnabled && p.builtInEnabled && p.externalEnabled);
    EXPECT_EQ(p.check, MicCheck::External);
    EXPECT_EQ(p.helper, MicHelper::External);

    p = PlanMicrophoneControls("SoundMAX HD Audio", kMicConfigBuiltInOnly, true, false);
    EXPECT_TRUE(p.builtInEnabled && !p.externalEnabled);
    EXPECT_EQ(p.check, MicCheck::BuiltIn);
    EXPECT_EQ(p.helper, MicHelper::None);

    p = PlanMicrophoneControls("SoundMAX HD Audio", kMicConfigNone, false, true);
    EXPECT_TRUE(p.touch && !p.labelEnabled);
    EXPECT_EQ(p.check, MicCheck::None);

    EXPECT_FALSE(PlanMicrophoneControls("SoundMAX HD Audio", kMicConfigExternalOnly, false, true).touch);
    EXPECT_FALSE(PlanMicrophoneControls("Realtek HD", kMicConfigBuiltInAndExternal, true, true).touch);
    EXPECT_TRUE(PlanMicrophoneControls("Realtek HD", kMicConfigExternalOnly, true, true).touch);

    p = PlanMicrophoneControls("virtual_mic", kMicConfigExternalOnly, true, true);
    EXPECT_TRUE(p.touch && p.selectFirstInput && !p.labelEnabled);
    EXPECT_FALSE(PlanMicrophoneControls("virtual_mic", kMicConfigExternalOnly, false, true).touch);
}

TEST(MicrophoneRules, InputChange) {
    MicPlan p = PlanInputChanged("Monitor of Null Output", kMicConfigExternalOnly, true, true);
    EXPECT_TRUE(p.disableOk && p.warnOtherInput);
    EXPECT_FALSE(p.modified);
    p = PlanInputChanged("Monitor of Null Output", kMicConfigExternalOnly, false, true);
    EXPECT_FALSE(p.disableOk || p.warnOtherInput);
    EXPECT_TRUE(p.modified);
    EXPECT_EQ(p.check, MicCheck::None);

    p = PlanInputChanged("Realtek HD", kMicConfigExternalOnly, true, true);
    EXPECT_FALSE(p.disableOk || p.labelEnabled);

    p = PlanInputChanged("SoundMAX", kMicConfigBuiltInAndExternal, true, true);
    EXPECT_EQ(p.helper, MicHelper::BuiltIn);
    EXPECT_EQ(p.check, MicCheck::BuiltIn);
    EXPECT_TRUE(MicRadiosStartHelpers("SoundMAX", kMicConfigBuiltInAndExternal));
    EXPECT_FALSE(MicRadiosStartHelpers("SoundMAX", kMicConfigExternalOnly));
    EXPECT_FALSE(MicRadiosStartHelpers("Realtek", kMicConfigBuiltInAndExternal));
}

TEST(GeneralRules, ChoiceAfterTheListWasFilledAgain) {
    struct Case {
        std::vector<std::string> names;
        std::string shown;
        int fallback;
        int expected;
    };
    const Case cases[] = {
        {{"Aardvark", "Headset", "Virtual"}, "Headset", 2, 1},  // the shown entry moved: it stays chosen
        {{"Aardvark", "Virtual"}, "Headset", 1, 1},             // gone: the main window's choice
        {{"Aardvark", "Virtual"}, "Headset", 5, 0},             // gone, choice outside: the first
        {{"Aardvark", "Virtual"}, "", 1, 1},                    // nothing was shown
        {{}, "Headset", 0, -1},
    };
    for (const Case& c : cases) EXPECT_EQ(ChoiceAfterRefill(c.names, c.shown, c.fallback), c.expected) << c.shown;
}

TEST(AdvancedRules, LimitAndVisualizer) {
    EXPECT_TRUE(LimitRefused(true, 0, 0));
    EXPECT_FALSE(LimitRefused(false, 0, 0));
    EXPECT_FALSE(LimitRefused(true, 0, 1));
    EXPECT_EQ(VizTypeFromStored(3), kVizEqualizer);
    EXPECT_EQ(VizTypeFromStored(0), kVizGraph);
    EXPECT_EQ(VizTypeFromStored(7), kVizGraph);
}

TEST(AdvancedRules, ModeRadios) {
    ModeRadios r = PlanModeRadios(kModeNone, {true, true, false}, true, kModeVoiceRecording);
    EXPECT_TRUE(r.enabled[0] && r.enabled[1]);
    EXPECT_FALSE(r.enabled[2]);  // no speaker phone takes directional array along
    EXPECT_FALSE(r.enabled[3]);
    EXPECT_EQ(r.checked, kModeVoiceRecording);

    r = PlanModeRadios(kModeNoDriver, {true, true, true}, false, kModeNone);
    for (bool e : r.enabled) EXPECT_FALSE(e);
    EXPECT_EQ(r.checked, -1);

    EXPECT_EQ(ModeToApply(kModeNone, false), kModeNone);
    EXPECT_EQ(ModeToApply(kModeDirectionalArray, true), kModeDirectionalArray);
    EXPECT_FALSE(ModeToApply(kModeDirectionalArray, false));
    EXPECT_FALSE(ModeToApply(kModeNoDriver, true));
    EXPECT_EQ(RadioForDriverMode(3), 3);
    EXPECT_FALSE(RadioForDriverMode(5));
}

}  // namespace
