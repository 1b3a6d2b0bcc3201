// Quillon as a program: started on a private display against fake cards, it either turns the
// switch on and ends by itself, or reports (or silently finds nothing) and keeps its dialog open.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>

#include "tests/harness/Harness.h"
#include "tests/micswitch/FakeCard.h"

namespace {

using namespace std::chrono_literals;

// Quillon running in the background with the test's environment.
class QuillonProcess : public harness::Process {
public:
    QuillonProcess() : harness::Process({(harness::BinDir() / "Quillon").string()}) {}
    // The exit status once the program has ended within `timeout`.
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout) {
        Wait(timeout, false);
        return ExitStatus();
    }
};

// The X window id of the visible dialog titled "External Mic", or "" when none shows in time.
std::string WaitForDialog(std::chrono::seconds timeout) {
    auto r = harness::Run({"xdotool", "search", "--sync", "--onlyvisible", "--name", "^External Mic$"}, timeout);
    if (r.status != 0) return {};
    return r.out.substr(0, r.out.find('\n'));
}

class QuillonProgram : public ::testing::Test {
protected:
    harness::TempDir dir;
    harness::ScopedEnv uiLog{"MURMELO_UI_LOG", (dir / "ui.log").string()};
    harness::ScopedEnv uiAnswers{"MURMELO_UI_ANSWERS", (dir / "answers").string()};
    std::string UiLog() const { return harness::ReadFile(dir / "ui.log"); }
};

TEST_F(QuillonProgram, TurnsTheSwitchOnAndEndsWithoutInput) {
    FakeCard card(FakeCard::WithElevenAt({"elem int 2 30 Mic Playback Volume"}, "elem bool 2 0 Mic Playback Switch",
                                         {"elem bool 2 0 Front Mic Playback Switch"}));
    harness::ScopedEnv alsa("ALSA_CONFIG_PATH", card.ConfigPath().string());
    QuillonProcess quillon;
    ASSERT_TRUE(quillon.started());
    auto status = quillon.WaitForExit(20s);
    ASSERT_TRUE(status.has_value()) << "Quillon did not end by itself";
    EXPECT_EQ(*status, 0);
    EXPECT_EQ(card.Writes(), "write 11 Mic Playback Switch=1,1\n");
    EXPECT_EQ(UiLog(), "");
}

TEST_F(QuillonProgram, StaysOpenAndChangesNothingWhenItCannot) {
    struct Case {
        const char* what;
        std::optional<std::vector<std::string>> card;  // nullopt: the machine's own (absent) card 0
        const char* message;                           // the error text shown, or "" for none
    } cases[] = {
        {"no sound card", std::nullopt, "No mixer device present."},
        {"card refuses to open", std::vector<std::string>{"fail open EACCES"}, "Could not open mixer device"},
        {"elements cannot be listed", std::vector<std::string>{"fail list", "elem bool 1 0 Mic Capture Switch"},
         "Error querying device capabilities."},
        {"mixer without lines", std::vector<std::string>{}, ""},
        {"no microphone line", FakeCard::WithElevenAt({}, "elem bool 2 0 Line Capture Switch"), ""},
        {"switch on the second microphone line",
         FakeCard::WithElevenAt({"elem int 2 30 Mic Capture Volume"}, "elem bool 2 0 Internal Mic Capture Switch"), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(dir / "ui.log");
        std::optional<FakeCard> card;
        if (c.card) card.emplace(*c.card);
        // Without a fake card the machine has no card 0 at all (tests run without sound hardware).
        harness::ScopedEnv alsa("ALSA_CONFIG_PATH",
                                card ? std::optional<std::string>(card->ConfigPath().string()) : std::nullopt);
        { std::ofstream(dir / "answers") << "ok\n"; }

        QuillonProcess quillon;
        ASSERT_TRUE(quillon.started());
        const std::string window = WaitForDialog(20s);
        ASSERT_FALSE(window.empty()) << "the dialog did not show";
        EXPECT_FALSE(quillon.WaitForExit(1s).has_value()) << "Quillon ended by itself";
        const std::string expected = *c.message ? std::string("message\tQuillon\t") + c.message + "\n" : "";
        EXPECT_EQ(UiLog(), expected);
        if (card) {
            EXPECT_EQ(card->Writes(), "");
        }

        // OK (the default button, by Return) ends the program.
        harness::Run({"xdotool", "windowfocus", "--sync", window, "key", "--clearmodifiers", "Return"}, 10s);
        auto status = quillon.WaitForExit(10s);
        ASSERT_TRUE(status.has_value()) << "OK did not end Quillon";
        EXPECT_EQ(*status, 0);
    }
}

}  // namespace
