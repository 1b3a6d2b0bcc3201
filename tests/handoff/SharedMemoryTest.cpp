// The shared path block: layout, limits, sharing between handles, and what it refuses.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>

#include "platform/SharedMemory.h"

using platform::SharedMemoryBlock;

namespace {

// A name of our own, so that a real hand-off running beside the tests is not disturbed.
class PlatformSharedBlock : public ::testing::Test {
protected:
    const std::string name = "/RJS659-test-" + std::to_string(getpid());
    ~PlatformSharedBlock() override { SharedMemoryBlock::Remove(name); }
};

TEST(PlatformSharedBlockName, IsTheHandOffBlock) {
    EXPECT_STREQ(platform::kHandOffBlockName, "/RJS659");
    EXPECT_EQ(platform::kHandOffBlockSize, 4096u);
}

TEST_F(PlatformSharedBlock, PathsRoundTripOrAreRefusedWhole) {
    const std::string emoji = "\xF0\x9F\x8E\x99";  // U+1F399, two UTF-16 units
    struct Case {
        const char* what;
        std::string path;
        bool fits;
    } cases[] = {
        {"plain", "/home/anna/My Recorded Files/20240102_0930.wav", true},
        {"accents and Hangul", "/home/anna/Registrazioni/perché/녹음.wav", true},
        {"outside the basic plane", "/tmp/" + emoji + ".wav", true},
        {"empty", "", true},
        {"2047 units", "/" + std::string(2046, 'a'), true},
        {"2048 units", "/" + std::string(2047, 'a'), false},
        {"2047 units ending in a pair", "/" + std::string(2044, 'a') + emoji, true},
        {"2048 units ending in a pair", "/" + std::string(2045, 'a') + emoji, false},
        {"far too long", std::string(10000, 'x'), false},
        {"not UTF-8", "/tmp/\xFF\xFE.wav", false},
        {"truncated sequence", "/tmp/\xE3\x81", false},
        {"overlong slash", "/tmp/\xC0\xAF", false},
        {"encoded surrogate", "/tmp/\xED\xA0\x80", false},
        {"embedded zero", std::string("/tmp/a\0b.wav", 12), false},
    };
    SharedMemoryBlock block = SharedMemoryBlock::Create(name);
    ASSERT_TRUE(block);
    const std::string before = "/previous/path.wav";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(block.WritePath(before));
        EXPECT_EQ(block.WritePath(c.path), c.fits);
        EXPECT_EQ(block.ReadPath(), c.fits ? c.path : before);
    }
}

TEST_F(PlatformSharedBlock, LayoutIsZeroTerminatedUtf16AtOffsetZero) {
    SharedMemoryBlock block = SharedMemoryBlock::Create(name);
    ASSERT_TRUE(block);
    EXPECT_EQ(block.Size(), 4096u);
    ASSERT_TRUE(block.WritePath("/\xC3\xA9"));  // "/é"
    const unsigned char expected[] = {'/', 0, 0xE9, 0, 0, 0};
    EXPECT_EQ(std::memcmp(block.Data(), expected, sizeof expected), 0);

    // A block without a terminator, or with a lone surrogate, holds no path.
    std::memset(block.Data(), 'a', block.Size());
    EXPECT_EQ(block.ReadPath(), std::nullopt);
    const char16_t lone[] = {u'/', 0xD800, u'x', 0};
    std::memcpy(block.Data(), lone, sizeof lone);
    EXPECT_EQ(block.ReadPath(), std::nullopt);
}

TEST_F(PlatformSharedBlock, HandlesShareOneBlockUntilItIsRemoved) {
    EXPECT_FALSE(SharedMemoryBlock::Exists(name));
    EXPECT_FALSE(SharedMemoryBlock::Open(name));

    SharedMemoryBlock first = SharedMemoryBlock::Create(name);
    ASSERT_TRUE(first);
    EXPECT_TRUE(first.WasCreated());
    SharedMemoryBlock second = SharedMemoryBlock::Create(name);  // exists: the same block
    ASSERT_TRUE(second);
    EXPECT_FALSE(second.WasCreated());
    SharedMemoryBlock reader = SharedMemoryBlock::Open(name);
    ASSERT_TRUE(reader);

    ASSERT_TRUE(first.WritePath("/one.wav"));
    EXPECT_EQ(reader.ReadPath(), "/one.wav");
    ASSERT_TRUE(second.WritePath("/two.wav"));
    EXPECT_EQ(reader.ReadPath(), "/two.wav");

    // Removing the name leaves open handles working; a new Create makes a fresh, empty block.
    EXPECT_TRUE(SharedMemoryBlock::Remove(name));
    EXPECT_FALSE(SharedMemoryBlock::Exists(name));
    EXPECT_EQ(reader.ReadPath(), "/two.wav");
    SharedMemoryBlock fresh = SharedMemoryBlock::Create(name);
    ASSERT_TRUE(fresh);
    EXPECT_TRUE(fresh.WasCreated());
    EXPECT_EQ(fresh.ReadPath(), "");
    EXPECT_FALSE(SharedMemoryBlock::Remove(name + "-never"));

    // Moving hands the mapping over; a closed handle reads nothing.
    SharedMemoryBlock moved = std::move(fresh);
    EXPECT_FALSE(fresh);
    EXPECT_TRUE(moved.WritePath("/m.wav"));
    moved.Close();
    EXPECT_FALSE(moved.WritePath("/m.wav"));
    EXPECT_EQ(moved.ReadPath(), std::nullopt);
}

TEST_F(PlatformSharedBlock, ASmallerBlockIsGrownByCreateAndRefusedByOpen) {
    int fd = shm_open(name.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, 10), 0);
    close(fd);
    EXPECT_FALSE(SharedMemoryBlock::Open(name));
    SharedMemoryBlock block = SharedMemoryBlock::Create(name);
    ASSERT_TRUE(block);
    EXPECT_FALSE(block.WasCreated());
    EXPECT_TRUE(block.WritePath("/" + std::string(2046, 'a')));
    EXPECT_TRUE(SharedMemoryBlock::Open(name));
}

TEST_F(PlatformSharedBlock, AnotherUsersBlockIsRefused) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to give a block to another user";
    int fd = shm_open(name.c_str(), O_RDWR | O_CREAT | O_EXCL, 0666);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, 4096), 0);
    ASSERT_EQ(fchown(fd, 65534, 65534), 0);
    close(fd);
    EXPECT_FALSE(SharedMemoryBlock::Create(name));
    EXPECT_FALSE(SharedMemoryBlock::Open(name));
}

TEST_F(PlatformSharedBlock, BadNamesAreRefused) {
    for (const std::string bad : {"", "/", "RJS659", "/a/b"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(SharedMemoryBlock::Create(bad));
    }
}

}  // namespace
