// Starting programs: arguments pass untouched (no shell), the working folder, a clean start in a
// session of its own, failures reported, children reaped; finding programs; opening documents.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/Spawn.h"
#include "tests/harness/Harness.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const fs::path kArgDump = ARGDUMP_PATH;

struct Dump {
    std::string cwd, session, sigpipe, blocked, input;
    std::vector<std::string> args;
};

// Waits for the helper's output file and splits it into its fields.
std::optional<Dump> WaitForDump(const fs::path& file) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!fs::exists(file)) {
        if (std::chrono::steady_clock::now() > deadline) return std::nullopt;
        std::this_thread::sleep_for(10ms);
    }
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> fields;
    for (std::string f; std::getline(in, f, '\0');) fields.push_back(f);
    if (fields.size() < 5) return std::nullopt;
    return Dump{fields[0], fields[1], fields[2], fields[3], fields[4], {fields.begin() + 5, fields.end()}};
}

class PlatformSpawn : public ::testing::Test {
protected:
    harness::TempDir dir;
    fs::path out = dir / "dump";
    harness::ScopedEnv env{"ARGDUMP_OUT", out.string()};
};

TEST_F(PlatformSpawn, ArgumentsArriveExactlyAsGiven) {
    const std::vector<std::string> args = {
        "two words",   "\"quoted\"",    "it's",       "$HOME",     "`id`",        "$(id)",
        "; rm -rf /",  "a|b&c>d<e",     "*",          "~",         "back\\slash", "",
        "new\nline",   "\ttab",         "-x",         "--",        "àèìòù 한국어", "C:\\My Recorded Files\\a.wav",
    };
    ASSERT_GT(platform::StartProgram(kArgDump.string(), args), 0);
    auto dump = WaitForDump(out);
    ASSERT_TRUE(dump);
    EXPECT_EQ(dump->args, args);
}

TEST_F(PlatformSpawn, RunsInTheGivenFolderOrOurs) {
    ASSERT_GT(platform::StartProgram(kArgDump.string(), {}, (dir / "").string()), 0);
    auto dump = WaitForDump(out);
    ASSERT_TRUE(dump);
    EXPECT_EQ(fs::path(dump->cwd), fs::canonical(dir.path()));
    EXPECT_TRUE(dump->args.empty());

    fs::remove(out);
    ASSERT_GT(platform::StartProgram(kArgDump.string(), {"x"}), 0);
    dump = WaitForDump(out);
    ASSERT_TRUE(dump);
    EXPECT_EQ(fs::path(dump->cwd), fs::current_path());
}

TEST_F(PlatformSpawn, ChildStartsCleanInItsOwnSession) {
    // What we ignore or block must not leak into the program we start.
    struct sigaction ignore {}, old {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, &old);
    sigset_t block, oldMask;
    sigemptyset(&block);
    sigaddset(&block, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &block, &oldMask);
    const int pid = platform::StartProgram(kArgDump.string(), {});
    pthread_sigmask(SIG_SETMASK, &oldMask, nullptr);
    sigaction(SIGPIPE, &old, nullptr);
    ASSERT_GT(pid, 0);
    auto dump = WaitForDump(out);
    ASSERT_TRUE(dump);
    EXPECT_EQ(dump->session, "session");
    EXPECT_EQ(dump->sigpipe, "default");
    EXPECT_EQ(dump->blocked, "unblocked");
    EXPECT_EQ(dump->input, "/dev/null");
}

TEST_F(PlatformSpawn, ReportsWhatCannotStart) {
    const fs::path notExecutable = dir / "plain.txt";
    std::ofstream(notExecutable) << "#!/bin/sh\n";
    struct Case {
        const char* what;
        std::string program;
        std::string folder;
    } cases[] = {
        {"missing program", (dir / "missing").string(), ""},
        {"missing program in PATH", "murmelo-no-such-program", ""},
        {"not executable", notExecutable.string(), ""},
        {"a folder", dir.path().string(), ""},
        {"missing working folder", kArgDump.string(), (dir / "nowhere").string()},
        {"empty name", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        errno = 0;
        EXPECT_EQ(platform::StartProgram(c.program, {"arg"}, c.folder), -1);
        EXPECT_NE(errno, 0);
    }
    std::this_thread::sleep_for(200ms);
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(PlatformSpawn, EndedChildrenAreReaped) {
    std::vector<int> pids;
    for (int i = 0; i < 5; ++i) {
        int pid = platform::StartProgram("true", {});
        ASSERT_GT(pid, 0);
        pids.push_back(pid);
    }
    // A reaped child leaves no /proc entry; a zombie would stay there in state Z.
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    for (int pid : pids) {
        const fs::path proc = "/proc/" + std::to_string(pid);
        while (fs::exists(proc) && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(10ms);
        EXPECT_FALSE(fs::exists(proc)) << "child " << pid << " was not reaped";
    }
}

TEST_F(PlatformSpawn, FindsProgramsByPathOrName) {
    const fs::path bin = dir / "bin";
    fs::create_directories(bin / "folder-named-tool");
    fs::copy_file(kArgDump, bin / "mytool");
    std::ofstream(bin / "plain") << "x";
    harness::ScopedEnv path("PATH", bin.string() + ":/usr/bin:/bin");

    EXPECT_EQ(platform::FindProgram("mytool"), (bin / "mytool").string());
    EXPECT_EQ(platform::FindProgram(kArgDump.string()), kArgDump.string());
    EXPECT_TRUE(platform::ProgramExists("sh"));
    EXPECT_FALSE(platform::ProgramExists("plain"));
    EXPECT_FALSE(platform::ProgramExists("folder-named-tool"));
    EXPECT_FALSE(platform::ProgramExists("murmelo-no-such-program"));
    EXPECT_FALSE(platform::ProgramExists((dir / "missing").string()));
    EXPECT_FALSE(platform::ProgramExists(""));

    // A name found in PATH starts by that name.
    ASSERT_GT(platform::StartProgram("mytool", {"via PATH"}), 0);
    auto dump = WaitForDump(out);
    ASSERT_TRUE(dump);
    EXPECT_EQ(dump->args, std::vector<std::string>{"via PATH"});
}

TEST_F(PlatformSpawn, OpensDocumentsThroughTheOpenerWithAnAbsolutePath) {
    // The desktop's opener is whatever "xdg-open" PATH finds; here one that reports its arguments.
    const fs::path bin = dir / "bin";
    fs::create_directories(bin);
    fs::copy_file(kArgDump, bin / "xdg-open");
    harness::ScopedEnv path("PATH", bin.string() + ":/usr/bin:/bin");

    ASSERT_TRUE(platform::OpenDocument((dir / "Dizavadar.chm").string()));
    auto dump = WaitForDump(out);
    ASSERT_TRUE(dump);
    EXPECT_EQ(dump->args, std::vector<std::string>{(dir / "Dizavadar.chm").string()});

    // A relative name that looks like an option reaches the opener as an absolute path.
    fs::remove(out);
    ASSERT_TRUE(platform::OpenDocument("--help me.chm"));
    dump = WaitForDump(out);
    ASSERT_TRUE(dump);
    EXPECT_EQ(dump->args, std::vector<std::string>{(fs::current_path() / "--help me.chm").string()});

    EXPECT_FALSE(platform::OpenDocument(""));
    harness::ScopedEnv nowhere("PATH", (dir / "empty").string());
    EXPECT_FALSE(platform::OpenDocument((dir / "a.chm").string()));
}

}  // namespace
