#include <gtest/gtest.h>
#include <wx/frame.h>

#include <atomic>
#include <thread>

#include "platform/WxMessageTarget.h"
#include "tests/harness/Harness.h"

using namespace platform;

TEST(WindowMessage, PostedFromAnotherThreadArrivesOnTheWindowThreadInOrder) {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "target");
    std::vector<std::uintptr_t> seen;
    frame->Bind(EVT_WINDOW_MESSAGE, [&](WindowMessageEvent& e) {
        EXPECT_TRUE(wxThread::IsMain());
        if (e.msg == WM_APP + 6) seen.push_back(e.wParam);
    });
    MessageTargetScope scope(frame);
    std::thread poster([ref = scope.get()] {
        for (std::uintptr_t i = 0; i < 100; ++i) PostWindowMessage(ref, WM_APP + 6, i, 0);
    });
    poster.join();
    ASSERT_TRUE(harness::PumpUntil([&] { return seen.size() == 100; }, std::chrono::seconds(5)));
    for (std::uintptr_t i = 0; i < 100; ++i) EXPECT_EQ(seen[i], i);
    scope.Reset();
    frame->Destroy();
}

TEST(WindowMessage, SendReturnsTheHandlersResultAndAGoneWindowTakesNothing) {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "target");
    frame->Bind(EVT_WINDOW_MESSAGE, [](WindowMessageEvent& e) { e.result = static_cast<std::intptr_t>(e.wParam) * 2; });
    WindowRef ref = RegisterMessageTarget(frame);
    EXPECT_EQ(SendWindowMessage(ref, WM_APP + 7, 21, 0), 42);
    UnregisterMessageTarget(ref);
    EXPECT_FALSE(PostWindowMessage(ref, WM_APP + 7, 1, 0));
    EXPECT_EQ(SendWindowMessage(ref, WM_APP + 7, 21, 0), 0);
    EXPECT_FALSE(PostWindowMessage(nullptr, WM_APP + 7, 1, 0));
    frame->Destroy();
}
