// The stand-in editor through the real pieces of a hand-off: started with an argument (Spawn), and
// running when a path is left in the shared block and "FileMapping" is sent to its window.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <thread>

#include "platform/DesktopWindows.h"
#include "platform/SharedMemory.h"
#include "platform/Spawn.h"
#include "tests/harness/Harness.h"

using namespace std::chrono_literals;

namespace {

const std::string kStandIn = SONAPLEX_STANDIN_PATH;

class SonaplexStandIn : public ::testing::Test {
protected:
    harness::TempDir dir;
    std::filesystem::path received = dir / "received";
    harness::ScopedEnv env{"SONAPLEX_RECEIVED", received.string()};

    bool WaitFor(const std::string& text) {
        return harness::PumpUntil([&] { return harness::ReadFile(received).find(text) != std::string::npos; }, 20s);
    }
    // Starts the stand-in; it is ended (by its process id) when the test ends, whatever happened.
    int Start(const std::vector<std::string>& args) {
        const int pid = platform::StartProgram(kStandIn, args);
        if (pid > 0) pids.push_back(pid);
        return pid;
    }
    void TearDown() override {
        for (int pid : pids) kill(pid, SIGTERM);
        harness::PumpUntil([] { return platform::FindTopLevelWindow("Sonaplex") == 0; }, 10s);
    }
    std::vector<int> pids;
};

TEST_F(SonaplexStandIn, TakesThePathFromItsCommandLine) {
    const std::string quoted = "\"/tmp/My Recorded Files/a b.wav\"";
    ASSERT_GT(Start({quoted}), 0);
    ASSERT_TRUE(WaitFor("ready"));
    EXPECT_EQ(harness::ReadFile(received), "argument\t" + quoted + "\nready\n");
    EXPECT_NE(platform::FindTopLevelWindow("Sonaplex"), 0u);
}

TEST_F(SonaplexStandIn, ReadsTheSharedBlockOnFileMapping) {
    ASSERT_GT(Start({}), 0);
    ASSERT_TRUE(WaitFor("ready"));
    const platform::DesktopWindow editor = platform::FindTopLevelWindow("Sonaplex");
    ASSERT_NE(editor, 0u);

    const std::string path = "/tmp/Registrazioni/perché 녹음.wav";
    {
        auto block = platform::SharedMemoryBlock::Create();
        ASSERT_TRUE(block);
        ASSERT_TRUE(block.WritePath(path));
        ASSERT_TRUE(platform::SendRegisteredMessage(editor, platform::RegisterWindowMessage("FileMapping"), 0, 0));
        EXPECT_TRUE(WaitFor("mapping"));
    }
    platform::SharedMemoryBlock::Remove();
    EXPECT_EQ(harness::ReadFile(received), "ready\nmapping\t" + path + "\n");
}

}  // namespace
