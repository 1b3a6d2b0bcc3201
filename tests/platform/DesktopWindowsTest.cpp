#include <gtest/gtest.h>
#include <X11/Xlib.h>
#include <unistd.h>
#include <wx/frame.h>

#include <chrono>
#include <optional>
#include <thread>

#include "app/HandOver.h"
#include "platform/DesktopWindows.h"
#include "tests/harness/Harness.h"

using namespace platform;
using namespace std::chrono_literals;

namespace {

// The peer runs while this process keeps its event loop going.
class Peer : public harness::Process {
public:
    explicit Peer(std::vector<std::string> args) : harness::Process(WithProgram(std::move(args))) {}
    // Exit code after pumping events until the peer ends; -1 after a signal, -2 on timeout.
    int Wait(std::chrono::milliseconds timeout = 10s) {
        if (!harness::Process::Wait(timeout)) return -2;
        return ExitCode().value_or(-1);
    }

private:
    static std::vector<std::string> WithProgram(std::vector<std::string> args) {
        args.insert(args.begin(), (harness::BinDir() / "DesktopPeer").string());
        return args;
    }
};

std::string UniqueTitle(const char* what) { return std::string(what) + " " + std::to_string(getpid()); }

wxFrame* ShownFrame(const std::string& title) {
    auto* frame = new wxFrame(nullptr, wxID_ANY, title, wxPoint(20, 20), wxSize(200, 120));
    frame->Show();
    harness::PumpUntil([&] { return FindTopLevelWindow(title) != 0; }, 5s);
    return frame;
}

// Stacking order of the root's children, bottom first.
std::vector<unsigned long> Stacking() {
    std::vector<unsigned long> out;
    Display* d = XOpenDisplay(nullptr);
    Window root, parent, *kids = nullptr;
    unsigned n = 0;
    if (XQueryTree(d, DefaultRootWindow(d), &root, &parent, &kids, &n)) out.assign(kids, kids + n);
    if (kids) XFree(kids);
    XCloseDisplay(d);
    return out;
}

TEST(DesktopWindows, FindsTopLevelWindowsByExactTitle) {
    const std::string title = UniqueTitle("Finder");
    wxFrame* frame = ShownFrame(title);
    const DesktopWindow ours = DesktopWindowOf(frame);
    ASSERT_NE(ours, 0u);
    EXPECT_EQ(FindTopLevelWindow(title), ours);
    EXPECT_EQ(FindTopLevelWindow(title + " "), 0u);
    EXPECT_EQ(FindTopLevelWindow(title.substr(1)), 0u);
    frame->SetTitle(wxString::FromUTF8("Lautstärke " + title));
    harness::PumpFor(100ms);
    EXPECT_EQ(FindTopLevelWindow("Lautstärke " + title), ours) << "UTF-8 titles";
    frame->Destroy();
    harness::PumpUntil([&] { return FindTopLevelWindow("Lautstärke " + title) == 0; }, 5s);
    EXPECT_EQ(FindTopLevelWindow("Lautstärke " + title), 0u);
}

TEST(DesktopWindows, CopyDataArrivesOnTheWindowThreadAndTheSenderWaitsForTheHandler) {
    const std::string title = UniqueTitle("Receiver");
    wxFrame* frame = ShownFrame(title);
    std::vector<std::string> received;
    std::uintptr_t seenData = 0;
    Peer* current = nullptr;
    bool senderWaited = false;
    InstallDesktopMessageReceiver(frame, {nullptr, [&](std::uintptr_t dwData, const std::vector<std::uint8_t>& data) {
                                              EXPECT_TRUE(wxThread::IsMain());
                                              EXPECT_EQ(data.size(), app::kHandOverBytes);
                                              std::this_thread::sleep_for(200ms);
                                              senderWaited = current && !current->Finished();
                                              seenData = dwData;
                                              received.push_back(app::DecodeHandOverRecord(data));
                                          }});
    for (const std::string text : {"a.wav b.wav", "/home/ann/Aufnahme grün.wav"}) {
        Peer peer({"copy", title, text});
        current = &peer;
        EXPECT_EQ(peer.Wait(), 0) << text;
        current = nullptr;
        ASSERT_FALSE(received.empty());
        EXPECT_EQ(received.back(), text);
        EXPECT_EQ(seenData, 7u);
        EXPECT_TRUE(senderWaited) << "the sender returned before the handler had run";
    }
    RemoveDesktopMessageReceiver(frame);
    // Without a receiver nobody takes the data: the sender gives up after its timeout.
    const auto start = std::chrono::steady_clock::now();
    Peer ignored({"copy", title, "nobody", "400"});
    EXPECT_EQ(ignored.Wait(), 2);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 400ms);
    EXPECT_EQ(received.size(), 2u);
    Peer missing({"copy", UniqueTitle("Nobody"), "x"});
    EXPECT_EQ(missing.Wait(), 1);
    frame->Destroy();
}

TEST(DesktopWindows, RegisteredMessagesReachOnlyWindowsThatRegisteredThem) {
    const std::string title = UniqueTitle("Registered");
    wxFrame* frame = ShownFrame(title);
    std::vector<std::tuple<std::uint32_t, std::uintptr_t, std::intptr_t>> got;
    InstallDesktopMessageReceiver(frame, {[&](std::uint32_t m, std::uintptr_t w, std::intptr_t l) {
                                              EXPECT_TRUE(wxThread::IsMain());
                                              got.emplace_back(m, w, l);
                                          },
                                          nullptr});
    const std::uint32_t filters = RegisterWindowMessage("AE_FILTERS");
    EXPECT_NE(filters, 0u);
    EXPECT_EQ(RegisterWindowMessage("AE_FILTERS"), filters);
    EXPECT_NE(RegisterWindowMessage("FileMapping"), filters);

    EXPECT_EQ(Peer({"message", title, "AE_FILTERS", "3", "-4"}).Wait(), 0);
    ASSERT_TRUE(harness::PumpUntil([&] { return got.size() == 1; }, 5s));
    EXPECT_EQ(got[0], std::make_tuple(filters, std::uintptr_t(3), std::intptr_t(-4)));

    EXPECT_EQ(Peer({"message", title, "NotRegisteredHere", "1", "1"}).Wait(), 0);
    EXPECT_EQ(Peer({"broadcast", "AE_FILTERS", "2", "0"}).Wait(), 0);
    ASSERT_TRUE(harness::PumpUntil([&] { return got.size() >= 2; }, 5s));
    harness::PumpFor(200ms);
    ASSERT_EQ(got.size(), 2u) << "only the broadcast of a registered name arrives";
    EXPECT_EQ(got[1], std::make_tuple(filters, std::uintptr_t(2), std::intptr_t(0)));
    RemoveDesktopMessageReceiver(frame);
    frame->Destroy();
}

TEST(DesktopWindows, RaiseAndCloseRequests) {
    const std::string lowTitle = UniqueTitle("Low");
    wxFrame* low = ShownFrame(lowTitle);
    wxFrame* high = ShownFrame(UniqueTitle("High"));
    const DesktopWindow lowId = DesktopWindowOf(low), highId = DesktopWindowOf(high);
    auto position = [](DesktopWindow w) {
        auto s = Stacking();
        return std::find(s.begin(), s.end(), w) - s.begin();
    };
    ASSERT_LT(position(lowId), position(highId));
    EXPECT_EQ(Peer({"minimized", lowTitle}).Wait(), 5);
    EXPECT_EQ(Peer({"raise", lowTitle}).Wait(), 0);
    EXPECT_TRUE(harness::PumpUntil([&] { return position(lowId) > position(highId); }, 5s));

    bool closeAsked = false;
    low->Bind(wxEVT_CLOSE_WINDOW, [&](wxCloseEvent&) { closeAsked = true; });
    EXPECT_EQ(Peer({"close", lowTitle}).Wait(), 0);
    EXPECT_TRUE(harness::PumpUntil([&] { return closeAsked; }, 5s));
    low->Destroy();
    high->Destroy();
}

// The map state of every window titled `title` among the root's children (the test session runs no
// window manager), read on a connection of the test's own.
std::vector<int> MapStates(const std::string& title) {
    std::vector<int> states;
    Display* d = XOpenDisplay(nullptr);
    if (!d) return states;
    Window root, parent, *kids = nullptr;
    unsigned n = 0;
    if (XQueryTree(d, DefaultRootWindow(d), &root, &parent, &kids, &n)) {
        for (unsigned i = 0; i < n; ++i) {
            char* name = nullptr;
            XWindowAttributes attrs;
            if (XFetchName(d, kids[i], &name) && name && title == name && XGetWindowAttributes(d, kids[i], &attrs))
                states.push_back(attrs.map_state);
            if (name) XFree(name);
        }
    }
    if (kids) XFree(kids);
    XCloseDisplay(d);
    return states;
}

TEST(DesktopWindows, HiderHidesAnotherProgramsWindowThatShowsWhileItWatches) {
    struct Case {
        const char* what;
        int showAfterMs;
        int watchMs;
        bool hiddenNamesake;  // a window of the same title, hidden before, is listed first
        bool hidden;
    };
    const Case cases[] = {
        {"shown already", 0, 3000, false, true},
        {"shown while watched", 700, 3000, false, true},
        {"shown while watched, after a hidden namesake", 700, 3000, true, true},
        {"shown after the watch ended", 1500, 300, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string title = UniqueTitle("External Mic");
        std::optional<Peer> namesake;
        if (c.hiddenNamesake) {
            namesake.emplace(std::vector<std::string>{"show", title, "0", "20"});
            ASSERT_TRUE(harness::PumpUntil([&] { return MapStates(title) == std::vector<int>{IsViewable}; }, 5s));
            ASSERT_TRUE(HideWindow(FindTopLevelWindow(title)));
            ASSERT_TRUE(harness::PumpUntil([&] { return MapStates(title) == std::vector<int>{IsUnmapped}; }, 5s));
            EXPECT_FALSE(IsWindowShown(FindTopLevelWindow(title)));
        }
        Peer peer({"show", title, std::to_string(c.showAfterMs), "20"});
        const std::size_t windows = namesake ? 2 : 1;
        if (c.showAfterMs == 0) {
            ASSERT_TRUE(harness::PumpUntil([&] { return MapStates(title).size() == windows; }, 5s));
        }
        WindowHider hider;
        hider.Start(title, c.watchMs);
        ASSERT_TRUE(harness::PumpUntil([&] { return MapStates(title).size() == windows; }, 5s)) << "no window showed";
        EXPECT_TRUE(harness::PumpUntil([&] { return !hider.IsWatching(); }, 5s)) << "the watch does not end";
        harness::PumpFor(300ms);
        const std::vector<int> expected(windows, c.hidden ? IsUnmapped : IsViewable);
        EXPECT_EQ(MapStates(title), expected);
    }
}

}  // namespace
