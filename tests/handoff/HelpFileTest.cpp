// The help file beside the program: a CHM whose title is "Quarnet Murmelo", holding every page it
// links to. The contents are checked with an independent reader (extract_chmLib) where installed.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>

#include "platform/Spawn.h"
#include "tests/harness/Harness.h"

namespace fs = std::filesystem;

namespace {

std::uint32_t Le32(const std::string& s, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
    return v;
}

// The #SYSTEM records: code 2 default topic, 3 title (zero-terminated texts).
std::map<int, std::string> SystemRecords(const std::string& system) {
    std::map<int, std::string> records;
    for (std::size_t i = 4; i + 4 <= system.size();) {
        const int code = static_cast<unsigned char>(system[i]) | static_cast<unsigned char>(system[i + 1]) << 8;
        const std::size_t len = static_cast<unsigned char>(system[i + 2]) | static_cast<unsigned char>(system[i + 3]) << 8;
        if (i + 4 + len > system.size()) break;
        std::string data = system.substr(i + 4, len);
        records[code] = data.substr(0, data.find('\0'));
        i += 4 + len;
    }
    return records;
}

const fs::path kHelp = harness::BinDir() / "Dizavadar.chm";

TEST(HelpFile, IsACompiledHelpFile) {
    ASSERT_TRUE(fs::exists(kHelp)) << kHelp;
    const std::string chm = harness::ReadFile(kHelp);
    ASSERT_GE(chm.size(), 0x60u);
    EXPECT_EQ(chm.substr(0, 4), "ITSF");
    EXPECT_EQ(Le32(chm, 4), 3u);      // version
    EXPECT_EQ(Le32(chm, 8), 0x60u);   // header length of version 3
}

TEST(HelpFile, HoldsItsTitleAndEveryLinkedPage) {
    if (!platform::ProgramExists("extract_chmLib")) GTEST_SKIP() << "extract_chmLib (libchm-bin) is not installed";
    harness::TempDir out;
    auto r = harness::Run({"extract_chmLib", kHelp.string(), out.path().string()});
    ASSERT_EQ(r.status, 0);

    const auto system = SystemRecords(harness::ReadFile(out / "#SYSTEM"));
    EXPECT_EQ(system.count(3) ? system.at(3) : "", "Quarnet Murmelo");
    EXPECT_EQ(system.count(2) ? system.at(2) : "", "index.html");

    const std::set<std::string> pages = {"index.html",   "recording.html", "formats.html", "playback.html",
                                         "options.html", "editor.html",    "keyboard.html"};
    for (const auto& page : pages) {
        SCOPED_TRACE(page);
        ASSERT_TRUE(fs::exists(out / page));
        const std::string html = harness::ReadFile(out / page);
        EXPECT_NE(html.find("<title>"), std::string::npos);
        for (std::size_t at = html.find("href=\""); at != std::string::npos; at = html.find("href=\"", at)) {
            at += 6;
            const std::string target = html.substr(at, html.find('"', at) - at);
            if (target.find(':') == std::string::npos && target.find('#') == std::string::npos) {
                EXPECT_TRUE(fs::exists(out / target)) << "broken link " << target;
            }
        }
    }
    // The pages a user asks about first.
    EXPECT_NE(harness::ReadFile(out / "keyboard.html").find("Ctrl+E"), std::string::npos);
    EXPECT_NE(harness::ReadFile(out / "keyboard.html").find("F1"), std::string::npos);
}

}  // namespace
