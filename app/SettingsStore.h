// The settings that outlive a run: text values under HKEY_LOCAL_MACHINE "Software\Murmelo"
// (platform/Registry.h). One table names every value with its type and first-start default; the
// start-up load, the save-folder check, the close-time save and the options pages' writes are
// plain functions here so that every reader and writer uses the same names and number form.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace app {

constexpr const char* kSettingsKey = "Software\\Murmelo";

// Value names.
namespace setting {
constexpr const char* DefaultMic = "DefaultMic";
constexpr const char* InputDevice = "InputDevice";
constexpr const char* InputSource = "InputSource";
constexpr const char* Pellow = "Pellow";
constexpr const char* PlayVolume = "PlayVolume";
constexpr const char* RecorderMute = "RecorderMute";
constexpr const char* XPos = "XPos";
constexpr const char* YPos = "YPos";
constexpr const char* LastFile = "LastFile";
constexpr const char* Fileformatwav = "Fileformatwav";
constexpr const char* Fileformatwma = "Fileformatwma";
constexpr const char* Fileformatmp3 = "Fileformatmp3";
constexpr const char* WavFrequency = "WavFrequency";
constexpr const char* WavMode = "WavMode";
constexpr const char* WavBit = "WavBit";
constexpr const char* WmaProfile = "WmaProfile";
constexpr const char* Mp3Profile = "Mp3Profile";
constexpr const char* Mp3Mode = "Mp3Mode";
constexpr const char* Manual = "Manual";
constexpr const char* RecordVolume = "RecordVolume";
constexpr const char* FolderPath = "FolderPath";
constexpr const char* UnlimitedRecording = "UnlimitedRecording";
constexpr const char* Hour = "Hour";
constexpr const char* Minute = "Minute";
constexpr const char* VizState = "VizState";
constexpr const char* EditorOpenDir = "EditorOpenDir";
constexpr const char* EditorSaveDir = "EditorSaveDir";
constexpr const char* ApplicationPath = "ApplicationPath";
}  // namespace setting

enum class SettingType { Text, Number, Flag };

struct SettingDef {
    const char* name;
    SettingType type;
    // Written when the value is absent at start (first start); null: not seeded (written only by
    // the save-folder check). FolderPath's default is computed (DefaultSaveFolder).
    const char* firstStartDefault;
};

// Every value, in the order of the settings table.
const std::vector<SettingDef>& SettingsTable();
const SettingDef* FindSetting(std::string_view name);
// The first-start default text of a value (FolderPath: DefaultSaveFolder()); nullopt when none.
std::optional<std::string> FirstStartDefault(const SettingDef& def);

// The number form: skips leading white space, takes one sign, stops at the first non-digit, 0 for
// empty or non-numeric text; saturates instead of overflowing.
int ParseDecimal(std::string_view text);
// "%d": no leading zeros, a minus only for negative numbers.
std::string FormatDecimal(int value);

// "$HOME/My Recorded Files/".
std::string DefaultSaveFolder();

// The key open for query for this object's life; each read reads one value into a 260-unit buffer.
class SettingsReader {
public:
    SettingsReader();
    bool IsOpen() const { return open_; }
    std::optional<std::string> Text(const char* name) const;
    std::optional<int> Number(const char* name) const;  // ParseDecimal of the text

private:
    bool open_ = false;
};

// The texts of some values as read at one moment: the options pages read theirs when a page is
// created and work from that copy. A value never read reads as empty text, so as the number 0.
class SettingsSnapshot {
public:
    // Reads the named values; one that cannot be read keeps its earlier text.
    void Read(std::initializer_list<const char*> names);
    std::string Text(const char* name) const;
    int Number(const char* name) const { return ParseDecimal(Text(name)); }

private:
    std::map<std::string, std::string> values_;
};

// Writes texts in the given order in one replacement of the settings file. `create` true opens the
// key as the options pages do (created when absent); false as the main window does (the key must
// exist). False when nothing was written.
bool WriteSettings(const std::vector<std::pair<std::string, std::string>>& values, bool create);
bool WriteSetting(const char* name, const std::string& text, bool create);

// First start (and values missing after an upgrade): creates the key and writes the default of
// every seeded value that is absent; values present are left alone.
bool EnsureDefaultSettings();

// --- start-up load ---------------------------------------------------------------------------

enum class StoredFormat { Wav, Wma, Mp3 };

struct StartupSettings {
    bool keyOpened = false;

    // DefaultMic as read. When it is 1 the caller selects the microphone input of the current
    // device, stores it (StoreDefaultMicChoice), applies it to the capture filter and centres the
    // window; when 0 the window goes to (xPos, yPos).
    std::optional<int> defaultMic;
    bool selectDefaultMicrophone() const { return defaultMic == 1; }

    // Volume bar position -2000..0 (a stored value outside is clamped) and its percent for the user.
    std::optional<int> playVolume;
    static int PlayVolumePercent(int position) { return position * 100 / 2000 + 100; }
    std::optional<bool> muted;  // true only for 1
    std::optional<int> vizState;

    // The first set flag of Fileformatwav, Fileformatwma, Fileformatmp3; nullopt: none set, the
    // in-memory format stays. The WAV codes are taken only with WAV, the WMA code only with WMA.
    std::optional<StoredFormat> format;
    std::optional<int> wavFrequency, wavBit, wavMode;
    std::optional<int> wmaProfile;
    std::optional<int> mp3Profile, mp3Mode;  // always taken; then WriteLameProfile runs

    std::optional<bool> manual;             // any non-zero value
    std::optional<int> recordVolume;        // percent 0..100 (clamped)
    static int MixerLevel(int percent) { return percent * 650; }

    // nullopt: UnlimitedRecording could not be read. Otherwise whether the limit applies; with the
    // limit, hour (0..23) and minute (0..59) as read and clamped.
    std::optional<bool> limitApplies;
    int limitHour = 0, limitMinute = 0;
    int LimitSeconds() const { return (limitHour * 60 + limitMinute) * 60; }

    std::optional<int> xPos, yPos;
    std::optional<std::string> lastFile;  // set only when read and not empty

    // Where the window goes: centred (DefaultMic 1), to the stored position (DefaultMic 0), or
    // left where it is (anything else).
    enum class Placement { Keep, Stored, Centred };
    Placement placement() const {
        if (defaultMic == 1) return Placement::Centred;
        if (defaultMic == 0) return Placement::Stored;
        return Placement::Keep;
    }
    static int Centre(int screen, int window) { return (screen - window) / 2; }
};

// Steps 1-10 of the start-up load (everything but the mixer and window work, which the caller
// does with the result).
StartupSettings LoadStartupSettings();

// With DefaultMic 1: stores the chosen input's index and the device's name.
bool StoreDefaultMicChoice(int inputSource, const std::string& inputDevice);

// --- save folder -----------------------------------------------------------------------------

// Creates `folder` + `probeName` and deletes it again: 0 when that worked, else the errno. An
// existing file of that name (the user's own) is neither truncated nor deleted: the folder then
// counts as present (EEXIST is returned).
int ProbeSaveFolder(const std::string& folder, const std::string& probeName = "Temp.txt");

// A folder path with exactly one trailing separator; empty text stays empty.
std::string WithTrailingSlash(const std::string& folder);

struct SaveFolderCheck {
    std::string saveFolder;   // ends with "/"
    std::string driveRoot;    // for free-space checks (platform::DriveRoot of the folder)
    bool wroteBack = false;   // FolderPath, EditorOpenDir, EditorSaveDir, ApplicationPath written
    bool createdDefault = false;
};

// The start-up check: keeps a usable stored folder, else falls back to the default folder
// (created only when the stored folder's drive exists but the folder does not) and writes it back
// with the program folder.
SaveFolderCheck CheckSaveFolder(const std::string& programFolder);

// --- writes --------------------------------------------------------------------------------

struct CloseTimeSettings {
    std::string lastFile;
    int playVolume = 0;
    bool muted = false;
    int xPos = 0, yPos = 0;
};
// When the main window is destroyed: LastFile, PlayVolume, RecorderMute, DefaultMic "0", XPos,
// YPos, in that order. Nothing is written when the key cannot be opened for writing.
bool SaveCloseTimeSettings(const CloseTimeSettings& values);

struct GeneralPageSettings {
    StoredFormat format = StoredFormat::Wav;
    int wavFrequency = 0, wavBit = 0, wavMode = 0;
    int wmaProfile = 1;
    int mp3Profile = 1, mp3Mode = 0;
    int inputSource = 0;
    std::string inputDevice;
    bool manual = false;
    std::string folderPath;
    int recordVolume = 100;
    bool pellow = true;
};
// The General page on OK or Apply (the key is created when absent). The caller then runs
// WriteLameProfile and notifies the main window.
bool WriteGeneralPageSettings(const GeneralPageSettings& values);
// The General page's start when the stored folder's drive is missing.
bool WriteFolderPath(const std::string& folder);

struct AdvancedPageSettings {
    bool limitApplies = false;
    int hour = 0, minute = 0;
    int vizState = 1;
};
// The Advanced page when it is left with valid input.
bool WriteAdvancedPageSettings(const AdvancedPageSettings& values);

}  // namespace app
