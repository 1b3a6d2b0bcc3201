// The General page's rules without a window: the quality controls as a state table driven by the
// format actions, the per-minute estimates, automatic names, the save-folder checks, the free-space
// arithmetic and the microphone rules. CFileFormat copies these states to and from its controls.
#pragma once
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "micarray/MicConfiguration.h"

namespace options {

enum class OutputFormat { None, Wav, Mp3, Wma };

// The stored quality codes (indexes of the combo items).
struct QualityCodes {
    int wavFrequency = 0;
    int wavMode = 0;
    int wavBit = 0;
    int wmaProfile = 1;
    int mp3Profile = 1;
    int mp3Mode = 0;
};

// One drop-down list: visible or not, the selected index (-1 none) and how many items it has.
struct ComboState {
    bool visible = true;
    int selection = -1;
    int count = 0;

    // Selecting an index outside the items clears the selection.
    void Select(int index) { selection = (index >= 0 && index < count) ? index : -1; }
};

// What the output group shows: the quality combos, the caption, the estimate and the format flags.
struct QualityPanel {
    ComboState wavRate{true, -1, 3};
    ComboState wavChannels{true, -1, 2};
    ComboState wavBits{true, -1, 2};
    ComboState mp3Quality{true, -1, 5};
    ComboState unused{false, -1, 0};
    ComboState wmaQuality{false, -1, 5};
    ComboState wmaStereo{false, -1, 1};
    ComboState wmaMono{false, -1, 1};
    ComboState mp3Channels{true, -1, 2};
    unsigned caption = 0;    // string id of the quality caption; 0 while none was shown
    std::string estimate;    // per-minute estimate; empty while none was shown
    OutputFormat format = OutputFormat::None;
    QualityCodes codes;      // the recording engine's codes as this page edits them

    ComboState* ById(int id);
    const ComboState* ById(int id) const;
};

// Per-minute estimate texts ("10320 KB" ...); nullopt for a code outside the table.
std::optional<std::string> WavEstimate(int frequency, int mode, int bit);
std::optional<std::string> Mp3Estimate(int profile);
std::optional<std::string> WmaEstimate(int profile);

// The format actions. `restoring` true shows the stored codes (a stored code outside the items
// falls back to that format's default) and is cleared by the action.
void ChooseMp3(QualityPanel& panel, bool& restoring, const QualityCodes& stored);
void ChooseWav(QualityPanel& panel, bool& restoring, const QualityCodes& stored);
void ChooseWma(QualityPanel& panel, bool& restoring, const QualityCodes& stored);

// Quality changes after the user picked an item (the panel's selections are already updated).
void WavQualityChanged(QualityPanel& panel);
void Mp3QualityChanged(QualityPanel& panel);
void Mp3ChannelsChanged(QualityPanel& panel);
void WmaQualityChanged(QualityPanel& panel);

// Default button: resets the chosen format's quality. Returns whether the page becomes modified.
bool RestoreDefaultQuality(QualityPanel& panel);

// On OK the selections become the engine's codes; a list without a selection (MP3 stored, so no
// format was shown) takes the stored code instead of -1.
void TakeSelectedCodes(QualityPanel& panel, const QualityCodes& stored);

// The automatic recording name for a moment, in local time: 2005-03-07-14h-05m-09s.
std::string MakeAutoFileName(std::time_t moment);

// "Ex) " + name.
std::string ExampleText(const std::string& name);

// Save folder check when the page is left.
enum class FolderVerdict {
    Accept,        // writable: leave the page
    TooLong,       // more than 230 characters: system text for ENAMETOOLONG, stay
    AccessDenied,  // not writable: system text for EACCES, stay
    PathNotFound,  // missing: system text for ENOENT, fall back to the default folder, stay
};
struct FolderCheck {
    FolderVerdict verdict = FolderVerdict::Accept;
    int error = 0;  // errno whose text is shown (0 when accepted)
};
constexpr std::size_t kMaxSaveFolderLength = 230;
// Creates and deletes folder + "Temp.txt" to find out whether recordings can be written there.
FolderCheck CheckSaveFolder(const std::string& folder);

// Free megabytes from free bytes, remainder dropped (saturates at the 32-bit maximum).
std::uint32_t BytesToFreeMB(std::uint64_t freeBytes);

// Microphone controls (label 1081, radios 1079 and 1080).
enum class MicCheck { Unchanged, None, BuiltIn, External };
enum class MicHelper { None, BuiltIn, External };  // run the built-in (Pellow) / external (Quillon) action
constexpr std::uint32_t kMicrophoneLineType = 0x1003;

struct MicPlan {
    bool touch = false;   // false: the controls stay as they are
    bool labelEnabled = false;
    bool builtInEnabled = false;
    bool externalEnabled = false;
    MicCheck check = MicCheck::Unchanged;
    MicHelper helper = MicHelper::None;
    bool selectFirstInput = false;  // the microphone cannot be used here: fall back to input 0
    bool disableOk = false;         // and refuse OK until another input is chosen
    bool warnOtherInput = false;    // message box "Use other Input source"
    bool modified = true;           // input changes: false marks the page not modified
};

// At initialization and after a device change.
MicPlan PlanMicrophoneControls(const std::string& deviceName, int micConfiguration, bool inputIsMicrophone,
                               bool storedBuiltIn);
// After the user picked another input.
MicPlan PlanInputChanged(const std::string& deviceName, int micConfiguration, bool inputIsMicrophone,
                         bool storedBuiltIn);
// Whether the microphone radios start a helper program for this device.
bool MicRadiosStartHelpers(const std::string& deviceName, int micConfiguration);

// What the MP3 encoder's key gets for an MP3 choice; codes outside the tables keep the previous
// sample rate / stereo mode with a bitrate of 0 / no forced mono.
struct LameProfile {
    std::uint32_t sampleRate = 0;
    std::uint32_t bitrate = 0;
    std::uint32_t stereoMode = 0;
    std::uint32_t forceMono = 0;
};
LameProfile LameProfileFor(int mp3Profile, int mp3Mode, std::uint32_t previousRate, std::uint32_t previousStereoMode);

constexpr const char* kOtherInputText = "Use other Input source";

// The caption of the microphone switch helper's window, which the page hides after starting a helper.
constexpr const char* kMicHelperCaption = "External Mic";

// Which entry a list selects after it was filled again: `shown` (what it showed before) wherever
// it is now; else `fallback` when that lies inside the list; else the first entry; -1 when empty.
int ChoiceAfterRefill(const std::vector<std::string>& names, const std::string& shown, int fallback);

}  // namespace options
