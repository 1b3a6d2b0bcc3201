// The sound server's port listing and switching, against the session's real PulseAudio server, and
// against servers that are missing or never answer.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

#include "platform/SourcePorts.h"
#include "tests/harness/Harness.h"

using namespace std::chrono;

TEST(SourcePorts, TheSessionServerListsItsSourcesAndRefusesUnknownPorts) {
    if (!harness::HaveSoundServer()) GTEST_SKIP() << "no sound server (run in scripts/session.sh)";
    auto table = platform::SourcePorts().ListPorts();
    ASSERT_TRUE(table.count("virtual_mic"));
    // A remapped source has no jacks, so no ports.
    EXPECT_TRUE(table["virtual_mic"].empty());
    EXPECT_TRUE(table.count("mic_feed.monitor"));
    EXPECT_FALSE(platform::SourcePorts().SetActivePort("virtual_mic", "analog-input-mic"));
    EXPECT_FALSE(platform::SourcePorts().SetActivePort("no_such_source", "analog-input-mic"));
}

TEST(SourcePorts, AMissingOrSilentServerGivesNoPortsWithinTheTimeout) {
    harness::TempDir dir;
    // A socket that accepts connections and never says a word.
    const std::string path = (dir.path() / "silent").string();
    int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof(addr.sun_path));
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
    ASSERT_EQ(listen(listener, 4), 0);

    for (const std::string& server : {std::string("unix:/nonexistent/murmelo-no-server"), "unix:" + path}) {
        harness::ScopedEnv env("PULSE_SERVER", server);
        auto start = steady_clock::now();
        EXPECT_TRUE(platform::SourcePorts().ListPorts().empty()) << server;
        EXPECT_FALSE(platform::SourcePorts().SetActivePort("virtual_mic", "analog-input-mic")) << server;
        EXPECT_LT(steady_clock::now() - start, 8s) << server;
    }
    close(listener);
}

TEST(SourcePorts, InputNameIsTheDescriptionElseThePortName) {
    EXPECT_EQ(platform::PortInputName({"analog-input-mic", "Microphone", true}), "Microphone");
    EXPECT_EQ(platform::PortInputName({"analog-input-aux", "", true}), "analog-input-aux");
}
