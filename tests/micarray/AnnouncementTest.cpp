#include <gtest/gtest.h>
#include <wx/frame.h>

#include "micarray/MicArrayDriver.h"
#include "platform/DesktopWindows.h"
#include "tests/harness/Harness.h"
#include "tests/micarray/FakeMicArrayDriver.h"

using namespace std::chrono_literals;

// The program-wide driver finds the endpoint in the runtime folder and its mode switches reach
// every top-level window as the registered "AE_FILTERS", once per switch, after the switch.
TEST(MicArrayAnnouncement, ModeSwitchIsBroadcastOnceAfterItReturned) {
    harness::TempDir runtime;
    harness::ScopedEnv env("XDG_RUNTIME_DIR", runtime.path().string());
    FakeMicArrayDriver fake((runtime / "MicArrayFilter").string());
    ASSERT_TRUE(fake.listening());

    auto* frame = new wxFrame(nullptr, wxID_ANY, "announcement receiver");
    frame->Show();
    struct Seen {
        std::uint32_t msg;
        std::uintptr_t wParam;
        std::intptr_t lParam;
    };
    std::vector<Seen> seen;
    const std::uint32_t aeFilters = platform::RegisterWindowMessage("AE_FILTERS");
    ASSERT_NE(aeFilters, 0u);
    platform::InstallDesktopMessageReceiver(frame, {[&](std::uint32_t m, std::uintptr_t w, std::intptr_t l) {
                                                         if (m == aeFilters) seen.push_back({m, w, l});
                                                     },
                                                     {}});
    harness::PumpFor(200ms);

    // How many deliveries one broadcast makes to this window (a window with native children may
    // hear it more than once); the switch must make exactly that many.
    ASSERT_TRUE(platform::BroadcastRegisteredMessage(aeFilters, 0, 0));
    ASSERT_TRUE(harness::PumpUntil([&] { return !seen.empty(); }, 5s));
    harness::PumpFor(300ms);
    const std::size_t perBroadcast = seen.size();
    seen.clear();

    CMicArrayDriver& driver = TheMicArrayDriver();
    EXPECT_EQ(&driver, &TheMicArrayDriver());
    ASSERT_TRUE(driver.IsPresent());
    EXPECT_EQ(AeFiltersMessage(), aeFilters);

    driver.SetSpecialRecordingMode(3);
    EXPECT_TRUE(seen.empty()) << "posted, not handled inside the switch";
    EXPECT_TRUE(fake.Enabled(2));
    ASSERT_TRUE(harness::PumpUntil([&] { return !seen.empty(); }, 5s));
    harness::PumpFor(300ms);
    ASSERT_EQ(seen.size(), perBroadcast) << "one broadcast per switch";
    EXPECT_EQ(seen[0].wParam, 0u);
    EXPECT_EQ(seen[0].lParam, 0);
    EXPECT_EQ(driver.GetSpecialRecordingMode(), 3);

    platform::RemoveDesktopMessageReceiver(frame);
    frame->Destroy();
    harness::PumpFor(50ms);
}
