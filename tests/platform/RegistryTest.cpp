#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/Registry.h"
#include "tests/harness/Harness.h"

using namespace platform;
namespace fs = std::filesystem;

namespace {

const char* kKey = "Software\\Murmelo";

class RegistryTest : public ::testing::Test {
protected:
    harness::TempDir dir;
    harness::ScopedEnv env{"MURMELO_CONFIG_DIR", dir.path().string()};

    fs::path Hklm() const { return dir / "HKLM.reg"; }
    static std::string ReadFile(const fs::path& p) { return harness::ReadFile(p); }
    void WriteFile(const fs::path& p, const std::string& text) const {
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        out << text;
    }
    std::vector<fs::path> CorruptCopies() const {
        std::vector<fs::path> out;
        for (auto& e : fs::directory_iterator(dir.path())) {
            if (e.path().filename().string().rfind("HKLM.reg.corrupt-", 0) == 0) out.push_back(e.path());
        }
        return out;
    }
};

TEST_F(RegistryTest, ValuesRoundTripInTheExportFormat) {
    RegKey w;
    ASSERT_FALSE(w.OpenForWrite(Hive::LocalMachine, kKey, false)) << "key must not exist yet";
    ASSERT_TRUE(w.OpenForWrite(Hive::LocalMachine, kKey, true));
    const std::vector<std::pair<std::string, std::string>> texts = {
        {"FolderPath", "/home/u/My Recorded Files/"},
        {"Tricky", "a\\b\"c\"\\"},
        {"Lines", "one\ntwo\r"},
        {"Unicode", "Lautstärke 语音录制"},
        {"Empty", ""},
    };
    for (auto& [n, v] : texts) ASSERT_TRUE(w.SetString(n, v));
    ASSERT_TRUE(w.SetDword("Count", 30));
    ASSERT_TRUE(w.SetString("FolderPath", "/elsewhere/"));  // replaced in place
    w.Close();

    RegKey r;
    ASSERT_TRUE(r.OpenForQuery(Hive::LocalMachine, kKey));
    EXPECT_EQ(r.QueryString("FolderPath"), "/elsewhere/");
    EXPECT_EQ(r.QueryString("folderpath"), "/elsewhere/") << "names compare without case";
    for (std::size_t i = 1; i < texts.size(); ++i) EXPECT_EQ(r.QueryString(texts[i].first), texts[i].second);
    EXPECT_EQ(r.QueryDword("Count"), 30u);
    EXPECT_EQ(r.QueryString("Count"), std::nullopt) << "a number is not text";
    EXPECT_EQ(r.QueryDword("Tricky"), std::nullopt);
    EXPECT_EQ(r.QueryString("Absent"), std::nullopt);

    const std::string file = ReadFile(Hklm());
    EXPECT_NE(file.find("[Software\\Murmelo]\n"), std::string::npos) << file;
    EXPECT_NE(file.find("\"Tricky\"=\"a\\\\b\\\"c\\\"\\\\\"\n"), std::string::npos) << file;
    EXPECT_NE(file.find("\"Count\"=dword:0000001e\n"), std::string::npos) << file;
    EXPECT_LT(file.find("\"FolderPath\""), file.find("\"Tricky\"")) << "a rewritten value keeps its place";

    RegKey other;
    EXPECT_FALSE(other.OpenForQuery(Hive::CurrentUser, kKey)) << "hives are separate";
    ASSERT_TRUE(w.OpenForWrite(Hive::LocalMachine, kKey, false));
    EXPECT_TRUE(w.DeleteValue("Tricky"));
    EXPECT_FALSE(r.QueryString("Tricky").has_value());
    RegKey ro;
    ASSERT_TRUE(ro.OpenForQuery(Hive::LocalMachine, kKey));
    EXPECT_FALSE(ro.SetString("X", "1")) << "a query handle cannot write";
}

TEST_F(RegistryTest, TextBeyond259UnitsCannotBeReadBack) {
    RegKey w;
    ASSERT_TRUE(w.OpenForWrite(Hive::LocalMachine, kKey, true));
    struct Case { std::string text; bool readable; };
    const std::string emoji = "\xF0\x9F\x8E\xA4";  // outside the BMP: two UTF-16 units
    const Case cases[] = {
        {std::string(259, 'a'), true},
        {std::string(260, 'a'), false},
        {std::string(257, 'a') + emoji, true},
        {std::string(258, 'a') + emoji, false},
        {std::string(120, 'a') + std::string(139, 'b') , true},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(w.SetString("V", c.text)) << "writing is never bounded";
        RegKey r;
        ASSERT_TRUE(r.OpenForQuery(Hive::LocalMachine, kKey));
        EXPECT_EQ(r.QueryString("V").has_value(), c.readable) << c.text.size();
        EXPECT_EQ(r.QueryString("V", 4096), c.text) << "a larger buffer takes it";
    }
}

TEST_F(RegistryTest, TwoProcessesWritingAtOnceLoseNothing) {
    {
        RegKey w;
        ASSERT_TRUE(w.OpenForWrite(Hive::LocalMachine, kKey, true));
    }
    constexpr int kWrites = 150;
    pid_t kids[2];
    for (int k = 0; k < 2; ++k) {
        kids[k] = fork();
        ASSERT_GE(kids[k], 0);
        if (kids[k] == 0) {
            RegKey w;
            if (!w.OpenForWrite(Hive::LocalMachine, kKey, false)) _exit(2);
            for (int i = 0; i < kWrites; ++i) {
                if (!w.SetString("P" + std::to_string(k) + "_" + std::to_string(i), std::to_string(i * 7 + k))) _exit(3);
            }
            _exit(0);
        }
    }
    for (pid_t kid : kids) {
        int status = 0;
        ASSERT_EQ(waitpid(kid, &status, 0), kid);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    RegKey r;
    ASSERT_TRUE(r.OpenForQuery(Hive::LocalMachine, kKey));
    for (int k = 0; k < 2; ++k) {
        for (int i = 0; i < kWrites; ++i) {
            EXPECT_EQ(r.QueryString("P" + std::to_string(k) + "_" + std::to_string(i)), std::to_string(i * 7 + k));
        }
    }
    EXPECT_FALSE(fs::exists(dir / "HKLM.reg.tmp"));
}

TEST_F(RegistryTest, AKilledWriterLeavesTheOldOrTheNewFile) {
    {
        RegKey w;
        ASSERT_TRUE(w.OpenForWrite(Hive::LocalMachine, kKey, true));
        ASSERT_TRUE(w.SetString("Big", std::string(100000, 'x')));
        ASSERT_TRUE(w.SetString("Keep", "kept"));
    }
    for (int round = 0; round < 12; ++round) {
        pid_t kid = fork();
        ASSERT_GE(kid, 0);
        if (kid == 0) {
            RegKey w;
            if (!w.OpenForWrite(Hive::LocalMachine, kKey, false)) _exit(2);
            for (int i = 0;; ++i) w.SetString("Big", std::string(100000, i % 2 ? 'y' : 'x'));
        }
        usleep(3000 + round * 2500);
        kill(kid, SIGKILL);
        waitpid(kid, nullptr, 0);
        RegKey r;
        ASSERT_TRUE(r.OpenForQuery(Hive::LocalMachine, kKey));
        auto big = r.QueryString("Big", 200000);
        ASSERT_TRUE(big.has_value()) << "round " << round;
        EXPECT_TRUE(*big == std::string(100000, 'x') || *big == std::string(100000, 'y'));
        EXPECT_EQ(r.QueryString("Keep"), "kept");
    }
    EXPECT_TRUE(CorruptCopies().empty());

    // A temporary file left behind by a crash is ignored and replaced by the next write.
    WriteFile(dir / "HKLM.reg.tmp", "[Software\\Murmelo]\n\"Keep\"=\"half");
    RegKey r;
    ASSERT_TRUE(r.OpenForQuery(Hive::LocalMachine, kKey));
    EXPECT_EQ(r.QueryString("Keep"), "kept");
    RegKey w;
    ASSERT_TRUE(w.OpenForWrite(Hive::LocalMachine, kKey, false));
    ASSERT_TRUE(w.SetString("After", "1"));
    EXPECT_EQ(r.QueryString("Keep"), "kept");
    EXPECT_EQ(r.QueryString("After"), "1");
}

TEST_F(RegistryTest, ADamagedFileIsSetAsideAndDefaultsFollow) {
    const std::string damaged[] = {
        "[Software\\Murmelo]\n\"Keep\"=\"unterminated\n",
        "garbage before any key\n",
        std::string("[Software\\Murmelo]\n\"A\"=\"x\0y\"\n", 29),
        "[Software\\Murmelo]\n\"N\"=dword:12\n",
    };
    int n = 0;
    for (const std::string& text : damaged) {
        WriteFile(Hklm(), text);
        ::testing::internal::CaptureStderr();
        RegKey r;
        EXPECT_FALSE(r.OpenForQuery(Hive::LocalMachine, kKey)) << "starts empty";
        std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find("damaged"), std::string::npos) << err;
        ++n;
        auto copies = CorruptCopies();
        ASSERT_EQ(copies.size(), static_cast<std::size_t>(n)) << "an earlier copy is never overwritten";
        EXPECT_FALSE(fs::exists(Hklm()));
    }
    for (auto& c : CorruptCopies()) {
        std::string content = ReadFile(c);
        EXPECT_TRUE(std::find(std::begin(damaged), std::end(damaged), content) != std::end(damaged));
    }
    // A write after damage starts from defaults and works.
    WriteFile(Hklm(), "junk");
    ::testing::internal::CaptureStderr();
    RegKey w;
    ASSERT_TRUE(w.OpenForWrite(Hive::LocalMachine, kKey, true));
    ASSERT_TRUE(w.SetString("Fresh", "1"));
    ::testing::internal::GetCapturedStderr();
    RegKey r;
    ASSERT_TRUE(r.OpenForQuery(Hive::LocalMachine, kKey));
    EXPECT_EQ(r.QueryString("Fresh"), "1");
    EXPECT_EQ(CorruptCopies().size(), static_cast<std::size_t>(n + 1));
}

TEST_F(RegistryTest, FilesFromTheRegistryEditorAreRead) {
    WriteFile(Hklm(),
              "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n; comment\r\n"
              "[Software\\Murmelo]\r\n\"XPos\"=\"-12\"\r\n@=\"default\"\r\n\"Hex\"=dword:DEADbeef\r\n");
    RegKey r;
    ASSERT_TRUE(r.OpenForQuery(Hive::LocalMachine, "software\\murmelo"));
    EXPECT_EQ(r.QueryString("XPos"), "-12");
    EXPECT_EQ(r.QueryString(""), "default");
    EXPECT_EQ(r.QueryDword("Hex"), 0xDEADBEEFu);
    EXPECT_TRUE(CorruptCopies().empty());
}

}  // namespace
