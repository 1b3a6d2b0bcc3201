// The pack format and the program's own resources, without a display.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/ResourcePack.h"
#include "resources/ProgramResources.h"

namespace {

TEST(ResourcePack, RoundTripsEntries) {
    const std::string blob = platform::BuildResourcePack({{"a.txt", "alpha"}, {"bin", std::string("\0\1\2", 3)},
                                                          {"empty", ""}});
    const auto entries = platform::ParseResourcePack(blob.data(), blob.size());
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 3u);
    EXPECT_EQ(entries->at("a.txt"), "alpha");
    EXPECT_EQ(entries->at("bin"), std::string_view("\0\1\2", 3));
    EXPECT_EQ(entries->at("empty"), "");
}

TEST(ResourcePack, RefusesMalformedPacks) {
    const std::string good = platform::BuildResourcePack({{"name", "data"}});
    auto with = [&](std::size_t at, std::uint32_t value) {
        std::string s = good;
        std::memcpy(s.data() + at, &value, 4);
        return s;
    };
    struct Case {
        const char* what;
        std::string blob;
        std::size_t available;
    };
    const Case cases[] = {
        {"empty", "", 0},
        {"bad magic", "LEXELRC2" + good.substr(8), good.size()},
        {"cut short", good, good.size() - 1},
        {"total beyond the object", with(8, 1u << 30), good.size()},
        {"count beyond the pack", with(12, 1000), good.size()},
        {"name beyond the pack", with(16, 0xFFFFFFF0u), good.size()},
        {"data beyond the pack", with(28, 1000), good.size()},
        {"empty name", with(20, 0), good.size()},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(platform::ParseResourcePack(c.blob.data(), c.available)) << c.what;
    }
}

TEST(ProgramResources, AcceleratorsVersionAndIcon) {
    const auto accel = resources::ProgramAccelerators();
    ASSERT_EQ(accel.size(), 3u);
    const std::pair<int, int> expected[] = {{'O', 1504}, {'S', 1505}, {'E', 1528}};
    for (std::size_t i = 0; i < accel.size(); ++i) {
        EXPECT_TRUE(accel[i].control);
        EXPECT_EQ(accel[i].key, expected[i].first);
        EXPECT_EQ(accel[i].command, expected[i].second);
    }
    EXPECT_EQ(resources::kProgramVersion.fileVersion, "1.0.1.38");
    EXPECT_EQ(resources::kProgramVersion.productVersion, "1.0.1.38");
    EXPECT_EQ(resources::kProgramVersion.companyName, "Quarnet Electronics");
    for (int size : {16, 32, 48, 256}) {
        const std::string_view png = resources::ProgramIconPng(size);
        ASSERT_GT(png.size(), 8u) << size;
        EXPECT_EQ(png.substr(1, 3), "PNG") << size;
    }
    EXPECT_TRUE(resources::ProgramIconPng(24).empty());
}

}  // namespace
