// Two real Murmelo processes under the private display: the hand-over of a second start, the
// termination signal, and a start without the resource module.
#include <gtest/gtest.h>
#include <X11/Xlib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wx/frame.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/HandOver.h"
#include "platform/DesktopWindows.h"
#include "platform/SingleInstance.h"
#include "tests/harness/Harness.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// Murmelo (or a copy of it) started with the arguments, its standard error appended to a file.
class Process : public harness::Process {
public:
    Process(const fs::path& program, std::vector<std::string> args, const fs::path& errFile)
        : harness::Process(WithProgram(program, std::move(args)), errFile) {}
    // Exit status after pumping our own events until the process ends; -1 on timeout or a signal.
    int Wait(std::chrono::milliseconds timeout = 20s) {
        harness::Process::Wait(timeout);
        return ExitCode().value_or(-1);
    }

private:
    static std::vector<std::string> WithProgram(const fs::path& program, std::vector<std::string> args) {
        args.insert(args.begin(), program.string());
        return args;
    }
};

class SingleInstanceTest : public ::testing::Test {
protected:
    harness::TempDir dir;
    harness::ScopedEnv config{"MURMELO_CONFIG_DIR", (dir / "config").string()};
    harness::ScopedEnv home{"HOME", dir.path().string()};
    harness::ScopedEnv log{"MURMELO_TEST_LOG", (dir / "received.log").string()};
    harness::ScopedEnv answers{"MURMELO_UI_ANSWERS", (dir / "answers").string()};
    harness::ScopedEnv uiLog{"MURMELO_UI_LOG", (dir / "ui.log").string()};
    harness::ScopedEnv runtime{"XDG_RUNTIME_DIR", (dir / "run").string()};

    void SetUp() override {
        fs::create_directories(dir / "run");
        fs::permissions(dir / "run", fs::perms::owner_all);
        std::ofstream(dir / "answers") << "ok\nok\nok\nok\nok\nok\nok\nok\n";
    }
    fs::path Program() const { return harness::BinDir() / "Murmelo"; }
    fs::path Err() const { return dir / "stderr.txt"; }

    // Starts the first instance and waits for its window.
    std::unique_ptr<Process> StartFirst() {
        auto first = std::make_unique<Process>(Program(), std::vector<std::string>{}, Err());
        const bool up = harness::PumpUntil([&] { return platform::FindTopLevelWindow("Murmelo") != 0 || first->Finished(); }, 30s);
        EXPECT_TRUE(up && !first->Finished()) << harness::ReadFile(Err());
        return first;
    }
    std::string Received() const { return harness::ReadFile(dir / "received.log"); }
};

TEST_F(SingleInstanceTest, ASecondStartHandsItsArgumentsOverAndEnds) {
    auto first = StartFirst();
    const platform::DesktopWindow main = platform::FindTopLevelWindow("Murmelo");
    ASSERT_NE(main, 0u);

    Process second(Program(), {"a.wav", "b.wav"}, Err());
    EXPECT_EQ(second.Wait(), 0);
    EXPECT_EQ(Received(), "a.wav b.wav\n") << "received when the second start ended";

    // Without arguments nothing is sent; the running window comes to the front.
    auto* cover = new wxFrame(nullptr, wxID_ANY, "cover", wxPoint(0, 0), wxSize(800, 700));
    cover->Show();
    const platform::DesktopWindow coverId = platform::DesktopWindowOf(cover);
    auto above = [&] {
        Display* d = XOpenDisplay(nullptr);
        Window root, parent, *kids = nullptr;
        unsigned n = 0;
        XQueryTree(d, DefaultRootWindow(d), &root, &parent, &kids, &n);
        int posMain = -1, posCover = -1;
        for (unsigned i = 0; i < n; ++i) {
            if (kids[i] == main) posMain = int(i);
            if (kids[i] == coverId) posCover = int(i);
        }
        if (kids) XFree(kids);
        XCloseDisplay(d);
        return posMain > posCover;
    };
    ASSERT_TRUE(harness::PumpUntil([&] { return !above(); }, 5s));
    Process third(Program(), {}, Err());
    EXPECT_EQ(third.Wait(), 0);
    EXPECT_TRUE(harness::PumpUntil(above, 5s)) << "the running window was not raised";
    EXPECT_EQ(Received(), "a.wav b.wav\n") << "nothing sent without arguments";
    cover->Destroy();

    // A joined line that does not fit the record is refused, not cut.
    const std::string longName(200, 'n');
    Process fourth(Program(), {longName, longName}, Err());
    EXPECT_EQ(fourth.Wait(), 0);
    EXPECT_EQ(Received(), "a.wav b.wav\n");
    EXPECT_NE(harness::ReadFile(Err()).find("too long"), std::string::npos);

    EXPECT_FALSE(first->Finished()) << "the running instance goes on";
    kill(first->pid(), SIGTERM);
    EXPECT_EQ(first->Wait(), 0);
}

TEST_F(SingleInstanceTest, TerminationSignalsEndTheProgramAsTheCloseCommandWithSettingsSaved) {
    for (int sig : {SIGTERM, SIGHUP}) {
        SCOPED_TRACE(sig);
        fs::remove_all(dir / "config");
        auto first = StartFirst();
        harness::PumpFor(300ms);
        kill(first->pid(), sig);
        EXPECT_EQ(first->Wait(), 0) << harness::ReadFile(Err());
        const std::string hive = harness::ReadFile(dir / "config" / "HKLM.reg");
        EXPECT_NE(hive.find("\"DefaultMic\"=\"0\""), std::string::npos) << hive;
        EXPECT_NE(hive.find("\"XPos\"="), std::string::npos) << hive;
        EXPECT_EQ(platform::FindTopLevelWindow("Murmelo"), 0u);
    }
}

TEST_F(SingleInstanceTest, WithoutTheResourceModuleTheProgramEndsQuietly) {
    const fs::path alone = dir / "alone";
    fs::create_directories(alone);
    fs::copy_file(Program(), alone / "Murmelo");
    fs::permissions(alone / "Murmelo", fs::perms::owner_all);
    bool sawWindow = false;
    Process p(alone / "Murmelo", {}, Err());
    harness::PumpUntil([&] {
        sawWindow |= platform::FindTopLevelWindow("Murmelo") != 0;
        return p.Finished();
    }, 20s);
    EXPECT_EQ(p.Wait(), 0);
    EXPECT_FALSE(sawWindow);
    EXPECT_FALSE(fs::exists(dir / "ui.log")) << "nothing was asked";
}

TEST(SingleInstanceLock, HeldForTheLifeOfItsHolder) {
    harness::TempDir dir;
    harness::ScopedEnv runtime("XDG_RUNTIME_DIR", dir.path().string());
    {
        platform::SingleInstanceLock first("QuarnetMurmelo");
        EXPECT_FALSE(first.AlreadyExists());
        platform::SingleInstanceLock second("QuarnetMurmelo");
        EXPECT_TRUE(second.AlreadyExists());
        pid_t kid = fork();
        if (kid == 0) _exit(platform::SingleInstanceLock("QuarnetMurmelo").AlreadyExists() ? 0 : 1);
        int status = 0;
        waitpid(kid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "another process sees it";
    }
    platform::SingleInstanceLock again("QuarnetMurmelo");
    EXPECT_FALSE(again.AlreadyExists()) << "released with its holder";
}

TEST(HandOverRecord, EncodesJoinsAndBoundsTheCommandLine) {
    const char* argv[] = {"Murmelo", "a.wav", "b.wav", ""};
    EXPECT_EQ(app::JoinCommandLine(3, argv), "a.wav b.wav");
    EXPECT_EQ(app::JoinCommandLine(1, argv), "");
    EXPECT_EQ(app::JoinCommandLine(4, argv), "a.wav b.wav ");

    struct Case { std::string text; bool fits; };
    const Case cases[] = {
        {"a.wav b.wav", true}, {"", true}, {std::string(259, 'x'), true}, {std::string(260, 'x'), false},
        {"/home/ann/Größe 语音.wav", true}, {std::string(257, 'x') + "\xF0\x9F\x8E\xA4", true},
        {std::string(258, 'x') + "\xF0\x9F\x8E\xA4", false},
    };
    for (const Case& c : cases) {
        auto record = app::EncodeHandOverRecord(c.text);
        ASSERT_EQ(record.has_value(), c.fits) << c.text.size();
        if (!record) continue;
        EXPECT_EQ(record->size(), 520u);
        EXPECT_EQ(app::DecodeHandOverRecord(*record), c.text);
    }
    // The receiver trusts neither a missing terminator nor an odd size.
    std::vector<std::uint8_t> raw = {'a', 0, 'b', 0, 'c'};
    EXPECT_EQ(app::DecodeHandOverRecord(raw), "ab");
    raw = {0x3D, 0xD8, 'x', 0};  // a lone high surrogate
    EXPECT_EQ(app::DecodeHandOverRecord(raw), "\xEF\xBF\xBDx");
    EXPECT_EQ(app::DecodeHandOverRecord({}), "");
}

}  // namespace
