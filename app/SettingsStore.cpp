#include "app/SettingsStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/Drives.h"
#include "platform/Registry.h"

namespace app {

namespace {

constexpr platform::Hive kHive = platform::Hive::LocalMachine;
// Marks FolderPath: its default is computed. An array of its own, so no literal can share its address.
constexpr char kComputed[] = "<computed>";

std::string Flag(bool on) { return on ? "1" : "0"; }

}  // namespace

const std::vector<SettingDef>& SettingsTable() {
    using T = SettingType;
    static const std::vector<SettingDef> table = {
        {setting::DefaultMic, T::Flag, "1"},
        {setting::InputDevice, T::Text, ""},
        {setting::InputSource, T::Number, "0"},
        {setting::Pellow, T::Flag, "1"},
        {setting::PlayVolume, T::Number, "0"},
        {setting::RecorderMute, T::Flag, "0"},
        {setting::XPos, T::Number, "0"},
        {setting::YPos, T::Number, "0"},
        {setting::LastFile, T::Text, ""},
        {setting::Fileformatwav, T::Flag, "1"},
        {setting::Fileformatwma, T::Flag, "0"},
        {setting::Fileformatmp3, T::Flag, "0"},
        {setting::WavFrequency, T::Number, "0"},
        {setting::WavMode, T::Number, "0"},
        {setting::WavBit, T::Number, "0"},
        {setting::WmaProfile, T::Number, "1"},
        {setting::Mp3Profile, T::Number, "1"},
        {setting::Mp3Mode, T::Number, "0"},
        {setting::Manual, T::Flag, "0"},
        {setting::RecordVolume, T::Number, "100"},
        {setting::FolderPath, T::Text, kComputed},
        {setting::UnlimitedRecording, T::Flag, "0"},
        {setting::Hour, T::Number, "1"},
        {setting::Minute, T::Number, "0"},
        {setting::VizState, T::Number, "1"},
        {setting::EditorOpenDir, T::Text, nullptr},
        {setting::EditorSaveDir, T::Text, nullptr},
        {setting::ApplicationPath, T::Text, nullptr},
    };
    return table;
}

const SettingDef* FindSetting(std::string_view name) {
    for (const SettingDef& d : SettingsTable()) {
        if (name == d.name) return &d;
    }
    return nullptr;
}

std::optional<std::string> FirstStartDefault(const SettingDef& def) {
    if (!def.firstStartDefault) return std::nullopt;
    if (def.firstStartDefault == kComputed) return DefaultSaveFolder();
    return std::string(def.firstStartDefault);
}

int ParseDecimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long n = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        n = n * 10 + (text[i] - '0');
        if (n > static_cast<long long>(INT_MAX) + 1) n = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) n = -n;
    return static_cast<int>(std::clamp<long long>(n, INT_MIN, INT_MAX));
}

std::string FormatDecimal(int value) { return std::to_string(value); }

std::string DefaultSaveFolder() {
    const char* home = std::getenv("HOME");
    std::string base = home && *home ? home : "/tmp";
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    if (base == "/") base.clear();
    return base + "/My Recorded Files/";
}

// --- reading and writing ---------------------------------------------------------------------

SettingsReader::SettingsReader() {
    platform::RegKey key;
    open_ = key.OpenForQuery(kHive, kSettingsKey);
}

std::optional<std::string> SettingsReader::Text(const char* name) const {
    if (!open_) return std::nullopt;
    platform::RegKey key;
    if (!key.OpenForQuery(kHive, kSettingsKey)) return std::nullopt;
    return key.QueryString(name, platform::kRegValueCapacity);
}

std::optional<int> SettingsReader::Number(const char* name) const {
    auto text = Text(name);
    if (!text) return std::nullopt;
    return ParseDecimal(*text);
}

void SettingsSnapshot::Read(std::initializer_list<const char*> names) {
    SettingsReader reader;
    for (const char* name : names) {
        if (auto text = reader.Text(name)) values_[name] = *text;
    }
}

std::string SettingsSnapshot::Text(const char* name) const {
    auto it = values_.find(name);
    return it == values_.end() ? std::string() : it->second;
}

bool WriteSettings(const std::vector<std::pair<std::string, std::string>>& values, bool create) {
    platform::RegKey key;
    if (!key.OpenForWrite(kHive, kSettingsKey, create)) return false;
    return key.SetStrings(values);
}

bool WriteSetting(const char* name, const std::string& text, bool create) {
    return WriteSettings({{name, text}}, create);
}

bool EnsureDefaultSettings() {
    platform::RegKey key;
    if (!key.OpenForWrite(kHive, kSettingsKey, true)) return false;
    std::vector<std::pair<std::string, std::string>> missing;
    for (const SettingDef& d : SettingsTable()) {
        auto def = FirstStartDefault(d);
        if (!def) continue;
        // Present means present in any form: a value too long to read back is still the user's.
        if (key.QueryString(d.name, SIZE_MAX) || key.QueryDword(d.name)) continue;
        missing.emplace_back(d.name, *def);
    }
    if (missing.empty()) return true;
    return key.SetStrings(missing);
}

// --- start-up load ---------------------------------------------------------------------------

StartupSettings LoadStartupSettings() {
    StartupSettings s;
    SettingsReader r;
    s.keyOpened = r.IsOpen();
    if (!s.keyOpened) return s;

    s.defaultMic = r.Number(setting::DefaultMic);
    if (auto v = r.Number(setting::PlayVolume)) s.playVolume = std::clamp(*v, -2000, 0);
    if (auto v = r.Number(setting::RecorderMute)) s.muted = *v == 1;
    s.vizState = r.Number(setting::VizState);

    auto wav = r.Number(setting::Fileformatwav);
    auto wma = r.Number(setting::Fileformatwma);
    auto mp3 = r.Number(setting::Fileformatmp3);
    auto wavFrequency = r.Number(setting::WavFrequency);
    auto wavBit = r.Number(setting::WavBit);
    auto wavMode = r.Number(setting::WavMode);
    auto wmaProfile = r.Number(setting::WmaProfile);
    s.mp3Profile = r.Number(setting::Mp3Profile);
    s.mp3Mode = r.Number(setting::Mp3Mode);
    if (wav == 1) {
        s.format = StoredFormat::Wav;
        s.wavFrequency = wavFrequency;
        s.wavBit = wavBit;
        s.wavMode = wavMode;
    } else if (wma == 1) {
        s.format = StoredFormat::Wma;
        s.wmaProfile = wmaProfile;
    } else if (mp3 == 1) {
        s.format = StoredFormat::Mp3;
    }

    if (auto v = r.Number(setting::Manual)) s.manual = *v != 0;
    // Clamped so that the mixer level (percent x 650) stays in its range.
    if (auto v = r.Number(setting::RecordVolume)) s.recordVolume = std::clamp(*v, 0, 100);

    if (auto v = r.Number(setting::UnlimitedRecording)) {
        s.limitApplies = *v == 1;
        if (*v == 1) {
            s.limitHour = std::clamp(r.Number(setting::Hour).value_or(0), 0, 23);
            s.limitMinute = std::clamp(r.Number(setting::Minute).value_or(0), 0, 59);
        }
    }

    s.xPos = r.Number(setting::XPos);
    s.yPos = r.Number(setting::YPos);
    if (auto v = r.Text(setting::LastFile); v && !v->empty()) s.lastFile = *v;
    return s;
}

bool StoreDefaultMicChoice(int inputSource, const std::string& inputDevice) {
    return WriteSettings({{setting::InputSource, FormatDecimal(inputSource)}, {setting::InputDevice, inputDevice}},
                         false);
}

// --- save folder -----------------------------------------------------------------------------

std::string WithTrailingSlash(const std::string& folder) {
    if (folder.empty() || folder.back() == '/') return folder;
    return folder + "/";
}

int ProbeSaveFolder(const std::string& folder, const std::string& probeName) {
    const std::string probe = folder + probeName;
    int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return errno;
    close(fd);
    unlink(probe.c_str());
    return 0;
}

SaveFolderCheck CheckSaveFolder(const std::string& programFolder) {
    SaveFolderCheck result;
    const std::string defaultFolder = DefaultSaveFolder();

    SettingsReader r;
    std::string stored = r.Text(setting::FolderPath).value_or(std::string());
    std::string folder = stored;
    bool usable = platform::DriveExists(folder);
    if (usable) {
        int err = ProbeSaveFolder(WithTrailingSlash(folder));
        if (err == ENOENT || err == ENOTDIR) {
            folder = defaultFolder;
            std::string dir = defaultFolder.substr(0, defaultFolder.size() - 1);
            result.createdDefault = mkdir(dir.c_str(), 0755) == 0;
            usable = false;
        }
    }
    if (!usable) folder = defaultFolder;

    if (stored.empty() || !usable) {
        result.wroteBack = WriteSettings({{setting::FolderPath, folder},
                                          {setting::EditorOpenDir, folder},
                                          {setting::EditorSaveDir, folder},
                                          {setting::ApplicationPath, programFolder}},
                                         false);
    }
    // The stored text is used as it stands; a path without the closing "/" still names the folder.
    result.saveFolder = WithTrailingSlash(folder);
    result.driveRoot = platform::DriveRoot(result.saveFolder);
    return result;
}

// --- writes ----------------------------------------------------------------------------------

bool SaveCloseTimeSettings(const CloseTimeSettings& v) {
    return WriteSettings({{setting::LastFile, v.lastFile},
                          {setting::PlayVolume, FormatDecimal(v.playVolume)},
                          {setting::RecorderMute, Flag(v.muted)},
                          {setting::DefaultMic, "0"},
                          {setting::XPos, FormatDecimal(v.xPos)},
                          {setting::YPos, FormatDecimal(v.yPos)}},
                         false);
}

bool WriteGeneralPageSettings(const GeneralPageSettings& v) {
    return WriteSettings({{setting::Fileformatwav, Flag(v.format == StoredFormat::Wav)},
                          {setting::Fileformatwma, Flag(v.format == StoredFormat::Wma)},
                          {setting::Fileformatmp3, Flag(v.format == StoredFormat::Mp3)},
                          {setting::WavFrequency, FormatDecimal(v.wavFrequency)},
                          {setting::WavBit, FormatDecimal(v.wavBit)},
                          {setting::WavMode, FormatDecimal(v.wavMode)},
                          {setting::WmaProfile, FormatDecimal(v.wmaProfile)},
                          {setting::Mp3Profile, FormatDecimal(v.mp3Profile)},
                          {setting::Mp3Mode, FormatDecimal(v.mp3Mode)},
                          {setting::InputSource, FormatDecimal(v.inputSource)},
                          {setting::InputDevice, v.inputDevice},
                          {setting::Manual, Flag(v.manual)},
                          {setting::FolderPath, v.folderPath},
                          {setting::RecordVolume, FormatDecimal(v.recordVolume)},
                          {setting::Pellow, Flag(v.pellow)},
                          {setting::DefaultMic, "0"}},
                         true);
}

bool WriteFolderPath(const std::string& folder) { return WriteSetting(setting::FolderPath, folder, true); }

bool WriteAdvancedPageSettings(const AdvancedPageSettings& v) {
    return WriteSettings({{setting::UnlimitedRecording, Flag(v.limitApplies)},
                          {setting::Hour, FormatDecimal(v.hour)},
                          {setting::Minute, FormatDecimal(v.minute)},
                          {setting::VizState, FormatDecimal(v.vizState)}},
                         true);
}

}  // namespace app
