#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include "app/SettingsStore.h"
#include "platform/Drives.h"
#include "platform/Registry.h"
#include "tests/harness/Harness.h"

using namespace app;
namespace fs = std::filesystem;

namespace {

class SettingsTest : public ::testing::Test {
protected:
    harness::TempDir config;
    harness::TempDir home;
    harness::ScopedEnv configEnv{"MURMELO_CONFIG_DIR", config.path().string()};
    harness::ScopedEnv homeEnv{"HOME", home.path().string()};

    void Put(std::initializer_list<std::pair<std::string, std::string>> values) {
        ASSERT_TRUE(WriteSettings({values.begin(), values.end()}, true));
    }
    std::optional<std::string> Get(const char* name) { return SettingsReader().Text(name); }
    std::string DefaultFolder() const { return (home.path() / "My Recorded Files").string() + "/"; }
};

TEST(SettingsNumbers, DecimalParseAndFormat) {
    struct Case { const char* text; int value; };
    const Case cases[] = {
        {"30", 30}, {"  -2000", -2000}, {"\t+7", 7}, {"12abc", 12}, {"abc", 0}, {"", 0}, {"-", 0},
        {"--5", 0}, {"+-5", 0}, {" 1 2", 1}, {"0030", 30}, {"\n\r\v\f9", 9},
        {"99999999999999", INT_MAX}, {"-99999999999999", INT_MIN}, {"2147483647", INT_MAX}, {"-2147483648", INT_MIN},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseDecimal(c.text), c.value) << '"' << c.text << '"';
    EXPECT_EQ(FormatDecimal(0), "0");
    EXPECT_EQ(FormatDecimal(1800), "1800");
    EXPECT_EQ(FormatDecimal(-2000), "-2000");
    EXPECT_EQ(StartupSettings::PlayVolumePercent(-1000), 50);
    EXPECT_EQ(StartupSettings::PlayVolumePercent(-2000), 0);
    EXPECT_EQ(StartupSettings::PlayVolumePercent(0), 100);
    EXPECT_EQ(StartupSettings::PlayVolumePercent(-1999), 1) << "division toward zero";
    EXPECT_EQ(StartupSettings::Centre(1280, 331), 474);
}

TEST(SettingsTable, EveryValueOnceWithAUsableDefault) {
    std::set<std::string> names;
    for (const SettingDef& d : SettingsTable()) {
        EXPECT_TRUE(names.insert(d.name).second) << d.name;
        EXPECT_EQ(FindSetting(d.name), &d);
        auto def = FirstStartDefault(d);
        if (def && d.type != SettingType::Text) {
            EXPECT_EQ(FormatDecimal(ParseDecimal(*def)), *def) << d.name;
        }
        if (d.type == SettingType::Flag) {
            EXPECT_TRUE(*def == "0" || *def == "1") << d.name;
        }
    }
    EXPECT_EQ(names.size(), 28u);
    EXPECT_EQ(FindSetting("Nope"), nullptr);
}

TEST_F(SettingsTest, FirstStartSeedsDefaultsAndKeepsWhatIsThere) {
    EXPECT_FALSE(LoadStartupSettings().keyOpened);
    ASSERT_TRUE(EnsureDefaultSettings());
    StartupSettings s = LoadStartupSettings();
    ASSERT_TRUE(s.keyOpened);
    EXPECT_TRUE(s.selectDefaultMicrophone());
    EXPECT_EQ(s.placement(), StartupSettings::Placement::Centred);
    EXPECT_EQ(s.format, StoredFormat::Wav);
    EXPECT_EQ(s.mp3Profile, 1);
    EXPECT_EQ(s.vizState, 1);
    EXPECT_EQ(s.limitApplies, false);
    EXPECT_FALSE(s.lastFile.has_value());
    EXPECT_EQ(Get(setting::FolderPath), DefaultFolder());
    EXPECT_EQ(Get(setting::Pellow), "1");
    EXPECT_FALSE(Get(setting::ApplicationPath).has_value()) << "written by the save-folder check only";

    Put({{setting::VizState, "3"}, {setting::LastFile, std::string(300, 'x')}});
    platform::RegKey key;
    ASSERT_TRUE(key.OpenForWrite(platform::Hive::LocalMachine, kSettingsKey, false));
    ASSERT_TRUE(key.DeleteValue(setting::Hour));
    ASSERT_TRUE(EnsureDefaultSettings());
    EXPECT_EQ(Get(setting::VizState), "3");
    EXPECT_EQ(Get(setting::Hour), "1") << "a missing value gets its default";
    EXPECT_EQ(key.QueryString(setting::LastFile, 1000), std::string(300, 'x')) << "an unreadable long value stays";
}

TEST_F(SettingsTest, StartupLoadRules) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> values;
        std::function<void(const StartupSettings&)> check;
    };
    const std::vector<Case> cases = {
        {"limit 0:30", {{"UnlimitedRecording", "1"}, {"Hour", "0"}, {"Minute", "30"}},
         [](auto& s) { EXPECT_EQ(s.limitApplies, true); EXPECT_EQ(s.LimitSeconds(), 1800); }},
        {"no limit whatever the fields", {{"UnlimitedRecording", "0"}, {"Hour", "5"}, {"Minute", "30"}},
         [](auto& s) { EXPECT_EQ(s.limitApplies, false); }},
        {"limit 2 is not 1", {{"UnlimitedRecording", "2"}}, [](auto& s) { EXPECT_EQ(s.limitApplies, false); }},
        {"limit fields clamped", {{"UnlimitedRecording", "1"}, {"Hour", "99999999"}, {"Minute", "-4"}},
         [](auto& s) { EXPECT_EQ(s.LimitSeconds(), 23 * 3600); }},
        {"play volume -1000", {{"PlayVolume", "-1000"}},
         [](auto& s) { EXPECT_EQ(StartupSettings::PlayVolumePercent(*s.playVolume), 50); }},
        {"play volume out of range", {{"PlayVolume", "-7000"}}, [](auto& s) { EXPECT_EQ(s.playVolume, -2000); }},
        {"wav and wma: wav wins",
         {{"Fileformatwav", "1"}, {"Fileformatwma", "1"}, {"WavFrequency", "2"}, {"WavBit", "1"}, {"WavMode", "1"},
          {"WmaProfile", "4"}},
         [](auto& s) {
             EXPECT_EQ(s.format, StoredFormat::Wav);
             EXPECT_EQ(s.wavFrequency, 2); EXPECT_EQ(s.wavBit, 1); EXPECT_EQ(s.wavMode, 1);
             EXPECT_FALSE(s.wmaProfile.has_value());
         }},
        {"wma taken with its profile only", {{"Fileformatwav", "0"}, {"Fileformatwma", "1"}, {"WmaProfile", "4"}},
         [](auto& s) { EXPECT_EQ(s.format, StoredFormat::Wma); EXPECT_EQ(s.wmaProfile, 4); EXPECT_FALSE(s.wavFrequency); }},
        {"mp3 codes in every case",
         {{"Fileformatwav", "0"}, {"Fileformatwma", "0"}, {"Fileformatmp3", "0"}, {"Mp3Profile", "3"}, {"Mp3Mode", "1"}},
         [](auto& s) { EXPECT_FALSE(s.format.has_value()); EXPECT_EQ(s.mp3Profile, 3); EXPECT_EQ(s.mp3Mode, 1); }},
        {"mp3", {{"Fileformatwav", "junk"}, {"Fileformatwma", ""}, {"Fileformatmp3", " 1"}},
         [](auto& s) { EXPECT_EQ(s.format, StoredFormat::Mp3); }},
        {"manual any non-zero", {{"Manual", "-3"}}, [](auto& s) { EXPECT_EQ(s.manual, true); }},
        {"mute only 1", {{"RecorderMute", "2"}}, [](auto& s) { EXPECT_EQ(s.muted, false); }},
        {"record volume", {{"RecordVolume", "100"}},
         [](auto& s) { EXPECT_EQ(StartupSettings::MixerLevel(*s.recordVolume), 65000); }},
        {"record volume clamped", {{"RecordVolume", "5000000"}}, [](auto& s) { EXPECT_EQ(s.recordVolume, 100); }},
        {"stored position", {{"DefaultMic", "0"}, {"XPos", "-12"}, {"YPos", "40"}},
         [](auto& s) {
             EXPECT_FALSE(s.selectDefaultMicrophone());
             EXPECT_EQ(s.placement(), StartupSettings::Placement::Stored);
             EXPECT_EQ(s.xPos, -12); EXPECT_EQ(s.yPos, 40);
         }},
        {"odd DefaultMic leaves the window", {{"DefaultMic", "7"}},
         [](auto& s) { EXPECT_EQ(s.placement(), StartupSettings::Placement::Keep); }},
        {"empty last file", {{"LastFile", ""}}, [](auto& s) { EXPECT_FALSE(s.lastFile.has_value()); }},
        {"last file", {{"LastFile", "/x/a b.wav"}}, [](auto& s) { EXPECT_EQ(s.lastFile, "/x/a b.wav"); }},
        {"last file too long", {{"LastFile", "/" + std::string(259, 'a')}},
         [](auto& s) { EXPECT_FALSE(s.lastFile.has_value()); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(config.path());
        fs::create_directories(config.path());
        ASSERT_TRUE(WriteSettings(c.values, true));
        StartupSettings s = LoadStartupSettings();
        ASSERT_TRUE(s.keyOpened);
        c.check(s);
    }
}

TEST_F(SettingsTest, SaveFolderCheck) {
    const std::string program = "/opt/murmelo/bin";
    const fs::path existing = home / "rec";
    fs::create_directories(existing);
    const fs::path refusing = home / "refusing";
    fs::create_directories(refusing / "Temp.txt" / "inside");  // the probe cannot create its file there

    struct Case {
        const char* what;
        std::optional<std::string> stored;
        std::string folder;  // expected save folder
        bool wroteBack;
        bool defaultCreated;
    };
    const std::vector<Case> cases = {
        {"usable folder stays, nothing written", existing.string() + "/", existing.string() + "/", false, false},
        {"folder that refuses writing stays", refusing.string() + "/", refusing.string() + "/", false, false},
        {"empty: default, written, not created", "", DefaultFolder(), true, false},
        {"absent: default, written", std::nullopt, DefaultFolder(), true, false},
        {"missing folder on an existing drive: default created", (home / "gone").string() + "/", DefaultFolder(),
         true, true},
        {"folder below a file", (home / "file.txt" / "x").string() + "/", DefaultFolder(), true, true},
        {"missing drive: default, not created", "/media/nobody/NOSTICK/rec/", DefaultFolder(), true, false},
        {"relative path (no drive)", "rec/", DefaultFolder(), true, false},
    };
    { std::ofstream(home / "file.txt") << "x"; }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(config.path());
        fs::create_directories(config.path());
        fs::remove_all(DefaultFolder());
        ASSERT_TRUE(EnsureDefaultSettings());
        platform::RegKey key;
        ASSERT_TRUE(key.OpenForWrite(platform::Hive::LocalMachine, kSettingsKey, false));
        if (c.stored) ASSERT_TRUE(key.SetString(setting::FolderPath, *c.stored));
        else ASSERT_TRUE(key.DeleteValue(setting::FolderPath));

        SaveFolderCheck r = CheckSaveFolder(program);
        EXPECT_EQ(r.saveFolder, c.folder);
        EXPECT_EQ(r.wroteBack, c.wroteBack);
        EXPECT_EQ(fs::exists(DefaultFolder()), c.defaultCreated);
        EXPECT_EQ(r.driveRoot, "/");
        if (c.wroteBack) {
            EXPECT_EQ(Get(setting::FolderPath), c.folder);
            EXPECT_EQ(Get(setting::EditorOpenDir), c.folder);
            EXPECT_EQ(Get(setting::EditorSaveDir), c.folder);
            EXPECT_EQ(Get(setting::ApplicationPath), program);
        } else {
            EXPECT_EQ(Get(setting::FolderPath), c.stored);
            EXPECT_FALSE(Get(setting::ApplicationPath).has_value());
        }
        EXPECT_FALSE(fs::exists(existing / "Temp.txt"));
    }
}

TEST_F(SettingsTest, ProbeNeverTouchesTheUsersTempFile) {
    { std::ofstream(home / "Temp.txt") << "my notes"; }
    EXPECT_EQ(ProbeSaveFolder(home.path().string() + "/"), EEXIST);
    std::ifstream in(home / "Temp.txt");
    std::string content;
    std::getline(in, content);
    EXPECT_EQ(content, "my notes");
    fs::remove(home / "Temp.txt");
    EXPECT_EQ(ProbeSaveFolder(home.path().string() + "/"), 0);
    EXPECT_FALSE(fs::exists(home / "Temp.txt"));
    EXPECT_EQ(ProbeSaveFolder(home.path().string() + "/none/"), ENOENT);
}

TEST_F(SettingsTest, WritesInTheirOrderAndForm) {
    CloseTimeSettings close{"/m/last.wav", -1000, true, -5, 300};
    EXPECT_FALSE(SaveCloseTimeSettings(close)) << "the main window never creates the key";
    GeneralPageSettings general;
    general.format = StoredFormat::Wma;
    general.wmaProfile = 4;
    general.inputDevice = "Virtual_Microphone";
    general.inputSource = 2;
    general.folderPath = "/home/u/rec/";
    general.recordVolume = 65;
    general.pellow = false;
    ASSERT_TRUE(WriteGeneralPageSettings(general));
    ASSERT_TRUE(SaveCloseTimeSettings(close));
    ASSERT_TRUE(WriteAdvancedPageSettings({true, 0, 30, 2}));

    const std::vector<std::pair<const char*, const char*>> expected = {
        {"Fileformatwav", "0"}, {"Fileformatwma", "1"}, {"Fileformatmp3", "0"}, {"WmaProfile", "4"},
        {"InputSource", "2"}, {"InputDevice", "Virtual_Microphone"}, {"Manual", "0"}, {"FolderPath", "/home/u/rec/"},
        {"RecordVolume", "65"}, {"Pellow", "0"}, {"DefaultMic", "0"}, {"LastFile", "/m/last.wav"},
        {"PlayVolume", "-1000"}, {"RecorderMute", "1"}, {"XPos", "-5"}, {"YPos", "300"},
        {"UnlimitedRecording", "1"}, {"Hour", "0"}, {"Minute", "30"}, {"VizState", "2"},
    };
    for (auto& [n, v] : expected) EXPECT_EQ(Get(n), v) << n;
    StartupSettings s = LoadStartupSettings();
    EXPECT_EQ(s.LimitSeconds(), 1800);
    EXPECT_EQ(s.placement(), StartupSettings::Placement::Stored);

    // The file lists the General page's values in the order the page writes them.
    std::ifstream in(config / "HKLM.reg");
    std::string file((std::istreambuf_iterator<char>(in)), {});
    const char* order[] = {"Fileformatwav", "Fileformatwma", "Fileformatmp3", "WavFrequency", "WavBit", "WavMode",
                           "WmaProfile", "Mp3Profile", "Mp3Mode", "InputSource", "InputDevice", "Manual",
                           "FolderPath", "RecordVolume", "Pellow", "DefaultMic"};
    std::size_t last = 0;
    for (const char* n : order) {
        std::size_t at = file.find(std::string("\"") + n + "\"=");
        ASSERT_NE(at, std::string::npos) << n;
        EXPECT_GT(at, last) << n;
        last = at;
    }
    ASSERT_TRUE(StoreDefaultMicChoice(1, "Other"));
    EXPECT_EQ(Get(setting::InputSource), "1");
    EXPECT_EQ(Get(setting::InputDevice), "Other");
}

TEST(Drives, RootsAndExistence) {
    struct Case { const char* path; const char* root; };
    const Case cases[] = {
        {"/media/ann/STICK/rec/", "/media/ann/STICK/"}, {"/media/ann/STICK", "/media/ann/STICK/"},
        {"/run/media/ann/Card/x.wav", "/run/media/ann/Card/"}, {"/mnt/nas/a/b", "/mnt/nas/"},
        {"/home/ann/My Recorded Files/", "/"}, {"/media/ann", "/"}, {"/mnt", "/"}, {"/", "/"},
        {"//media//ann//STICK//", "/media/ann/STICK/"}, {"", ""}, {"rec/", ""}, {"\\\\server\\share\\", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(platform::DriveRoot(c.path), c.root) << c.path;
    EXPECT_TRUE(platform::DriveExists("/home/whatever/not/there/"));
    EXPECT_FALSE(platform::DriveExists("/media/nobody/NOSTICK/x"));
    EXPECT_FALSE(platform::DriveExists("relative/path"));
    EXPECT_FALSE(platform::DriveExists(""));
    EXPECT_EQ(platform::GetDriveType("/tmp/x"), platform::DriveType::Fixed);
    EXPECT_EQ(platform::GetDriveType("/media/nobody/NOSTICK/"), platform::DriveType::NoRootDir);
    EXPECT_EQ(platform::GetDriveType("rel"), platform::DriveType::NoRootDir);
    EXPECT_EQ(platform::DriveTypeOfFileSystem("nfs4"), platform::DriveType::Remote);
    EXPECT_EQ(platform::DriveTypeOfFileSystem("fuse.sshfs"), platform::DriveType::Remote);
    EXPECT_EQ(platform::DriveTypeOfFileSystem("iso9660"), platform::DriveType::CdRom);
    EXPECT_EQ(platform::DriveTypeOfFileSystem("ext4"), platform::DriveType::Fixed);
    auto free = platform::FreeBytes("/tmp");
    ASSERT_TRUE(free.has_value());
    EXPECT_GT(*free, 0u);
    EXPECT_FALSE(platform::FreeBytes("/no/such/place").has_value());
    bool sawRoot = false;
    for (auto& e : platform::ReadMountTable()) sawRoot |= e.mountPoint == "/";
    EXPECT_TRUE(sawRoot);
}

}  // namespace
