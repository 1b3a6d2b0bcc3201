#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <set>

#include "micarray/MicArrayDriver.h"
#include "micarray/MicConfiguration.h"
#include "platform/Chassis.h"
#include "tests/harness/Harness.h"
#include "tests/micarray/FakeMicArrayDriver.h"

namespace {

// A driver on a fake endpoint in a scratch folder; announcements are counted together with the
// number of requests the fake had seen when each was posted.
struct Rig {
    harness::TempDir dir;
    std::string path = (dir / "MicArrayFilter").string();
    std::unique_ptr<FakeMicArrayDriver> fake;
    std::vector<std::size_t> announcedAfter;

    explicit Rig(bool serve = true) {
        if (serve) fake = std::make_unique<FakeMicArrayDriver>(path);
    }
    std::unique_ptr<CMicArrayDriver> Driver() {
        return std::make_unique<CMicArrayDriver>(path, [this] {
            announcedAfter.push_back(fake ? fake->RequestCount() : 0);
        });
    }
    void Enable(std::set<std::uint32_t> on) {
        for (std::uint32_t f = 0; f < 4; ++f) fake->SetFilter(f, true, on.count(f) > 0);
    }
};

FilterState WrittenState(const FakeMicArrayDriver::Request& r) {
    return FilterState::Unpack(r.input.data());
}

}  // namespace

TEST(FilterState, PacksThirteenLittleEndianFields) {
    FilterState s;
    s.filter = 3;
    s.available = 0x01020304;
    s.enabled = 1;
    s.reserved[7] = 0xAABBCCDD;
    s.last = 0x11223344;
    const auto b = s.Pack();
    ASSERT_EQ(b.size(), 52u);
    EXPECT_EQ(b[0], 3);
    EXPECT_EQ(b[8], 0x04);
    EXPECT_EQ(b[11], 0x01);
    EXPECT_EQ(b[12], 1);
    EXPECT_EQ(b[44], 0xDD);
    EXPECT_EQ(b[47], 0xAA);
    EXPECT_EQ(b[48], 0x44);
    EXPECT_EQ(b[51], 0x11);
    EXPECT_EQ(FilterState::Unpack(b.data()), s);
}

TEST(MicArrayDriver, ModeFollowsTheFilterPrecedence) {
    Rig rig;
    auto driver = rig.Driver();
    ASSERT_TRUE(driver->IsPresent());
    struct Case {
        std::set<std::uint32_t> enabled;
        int mode;
    };
    const Case cases[] = {
        {{}, 0},        {{0}, 1},       {{1}, 1},       {{0, 1}, 1},    {{3}, 2},
        {{0, 3}, 2},    {{1, 3}, 1},    {{2}, 3},       {{2, 3}, 2},    {{0, 2}, 3},
        {{0, 1, 2, 3}, 1},
    };
    for (const Case& c : cases) {
        rig.Enable(c.enabled);
        EXPECT_EQ(driver->GetSpecialRecordingMode(), c.mode) << "filters on: " << c.enabled.size();
    }
    // Every question goes to the driver as a read request carrying the filter number.
    rig.fake->ClearRequests();
    rig.Enable({});
    driver->GetSpecialRecordingMode();
    const auto reqs = rig.fake->Requests();
    ASSERT_EQ(reqs.size(), 4u);
    const std::uint32_t order[] = {1, 3, 2, 0};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(reqs[i].code, 0x222004u);
        EXPECT_EQ(reqs[i].input.size(), 52u);
        EXPECT_EQ(reqs[i].outputCapacity, 52u);
        EXPECT_EQ(WrittenState(reqs[i]).filter, order[i]);
    }
    EXPECT_TRUE(rig.announcedAfter.empty());
}

TEST(MicArrayDriver, AvailabilityAsksTheModesFilter) {
    Rig rig;
    auto driver = rig.Driver();
    struct Case {
        int mode;
        int filterAsked;  // -1: nothing is asked
    };
    const Case cases[] = {{1, 0}, {2, 3}, {3, 2}, {0, -1}, {4, -1}, {-1, -1}, {99, -1}};
    for (const Case& c : cases) {
        for (std::uint32_t f = 0; f < 4; ++f) rig.fake->SetFilter(f, true, false);
        rig.fake->ClearRequests();
        EXPECT_EQ(driver->IsSpecialRecordingModeAvailable(c.mode), c.filterAsked >= 0) << c.mode;
        const auto reqs = rig.fake->Requests();
        if (c.filterAsked < 0) {
            EXPECT_TRUE(reqs.empty()) << c.mode;
            continue;
        }
        ASSERT_EQ(reqs.size(), 1u);
        EXPECT_EQ(WrittenState(reqs[0]).filter, static_cast<std::uint32_t>(c.filterAsked));
        // Only that filter's availability counts.
        for (std::uint32_t f = 0; f < 4; ++f) rig.fake->SetFilter(f, f != static_cast<std::uint32_t>(c.filterAsked), false);
        EXPECT_FALSE(driver->IsSpecialRecordingModeAvailable(c.mode)) << c.mode;
    }
}

TEST(MicArrayDriver, SettingAModeWritesFourFiltersInOrderAndAnnouncesOnceAfterTheLast) {
    Rig rig;
    auto driver = rig.Driver();
    struct Case {
        int mode;
        std::uint32_t f0, f1, f3, f2;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 0}, {1, 1, 1, 0, 0}, {2, 0, 0, 1, 0}, {3, 0, 0, 0, 1},
        {4, 0, 0, 0, 0}, {-1, 0, 0, 0, 0}, {7, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        rig.Enable({0, 1, 2, 3});
        rig.fake->ClearRequests();
        rig.announcedAfter.clear();
        driver->SetSpecialRecordingMode(c.mode);
        const auto reqs = rig.fake->Requests();
        ASSERT_EQ(reqs.size(), 4u) << c.mode;
        const std::uint32_t filters[] = {0, 1, 3, 2};
        const std::uint32_t enabled[] = {c.f0, c.f1, c.f3, c.f2};
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(reqs[i].code, 0x222000u);
            EXPECT_EQ(reqs[i].outputCapacity, 0u);
            ASSERT_EQ(reqs[i].input.size(), 52u);
            const FilterState s = WrittenState(reqs[i]);
            EXPECT_EQ(s.filter, filters[i]) << c.mode;
            EXPECT_EQ(s.enabled, enabled[i]) << c.mode << " filter " << filters[i];
            EXPECT_EQ(s.last, 0u);
        }
        ASSERT_EQ(rig.announcedAfter.size(), 1u) << c.mode;
        EXPECT_EQ(rig.announcedAfter[0], 4u) << "announced before the last write";
        // The driver now reports the mode that was set (anything outside 1..3 is none).
        EXPECT_EQ(driver->GetSpecialRecordingMode(), c.mode >= 1 && c.mode <= 3 ? c.mode : 0);
    }
}

TEST(MicArrayDriver, RefusedWriteIsStillAnnouncedWhenAsked) {
    Rig rig;
    auto driver = rig.Driver();
    rig.fake->SetFilter(2, false, false);  // no speaker phone: the driver refuses writes to it
    FilterState s;
    s.filter = 2;
    s.enabled = 1;
    EXPECT_FALSE(driver->SetFilter(s, true));
    EXPECT_EQ(rig.announcedAfter.size(), 1u);
    s.filter = 0;
    EXPECT_TRUE(driver->SetFilter(s, false));
    EXPECT_EQ(rig.announcedAfter.size(), 1u);
    EXPECT_TRUE(rig.fake->Enabled(0));
}

TEST(MicArrayDriver, AbsentDriverAnswersNothingAndAnnouncesNothing) {
    Rig rig(false);
    auto driver = rig.Driver();
    EXPECT_FALSE(driver->IsPresent());
    FilterState s;
    s.filter = 1;
    EXPECT_FALSE(driver->QueryFilter(s));
    EXPECT_FALSE(driver->SetFilter(s, true));
    EXPECT_EQ(driver->GetSpecialRecordingMode(), 0);
    for (int mode = 0; mode <= 4; ++mode) EXPECT_FALSE(driver->IsSpecialRecordingModeAvailable(mode));
    driver->SetSpecialRecordingMode(1);
    EXPECT_TRUE(rig.announcedAfter.empty());

    // A driver that starts later is not seen by this instance; the next one finds it.
    rig.fake = std::make_unique<FakeMicArrayDriver>(rig.path);
    ASSERT_TRUE(rig.fake->listening());
    rig.Enable({3});
    EXPECT_FALSE(driver->IsPresent());
    EXPECT_EQ(driver->GetSpecialRecordingMode(), 0);
    EXPECT_EQ(rig.fake->Connections(), 0);
    EXPECT_EQ(rig.fake->RequestCount(), 0u);
    auto next = rig.Driver();
    EXPECT_TRUE(next->IsPresent());
    EXPECT_EQ(next->GetSpecialRecordingMode(), 2);
}

TEST(MicArrayDriver, VanishedDriverReadsAsOffButSwitchesAreStillAnnounced) {
    Rig rig;
    auto driver = rig.Driver();
    rig.Enable({3});
    EXPECT_EQ(driver->GetSpecialRecordingMode(), 2);
    rig.fake->Stop();
    EXPECT_TRUE(driver->IsPresent());
    EXPECT_EQ(driver->GetSpecialRecordingMode(), 0);
    EXPECT_FALSE(driver->IsSpecialRecordingModeAvailable(3));
    driver->SetSpecialRecordingMode(1);  // must not raise SIGPIPE
    EXPECT_EQ(rig.announcedAfter.size(), 1u);

    // Coming back at the same place does not revive this instance.
    rig.fake = std::make_unique<FakeMicArrayDriver>(rig.path);
    rig.Enable({3});
    EXPECT_EQ(driver->GetSpecialRecordingMode(), 0);
    EXPECT_EQ(rig.fake->RequestCount(), 0u);
}

TEST(MicArrayDriver, BadAnswersCountAsFailedQueries) {
    using R = FakeMicArrayDriver::Reply;
    struct Case {
        R reply;
        const char* what;
    };
    const Case cases[] = {{R::Fail, "error status"}, {R::NoBytes, "no bytes"},
                          {R::Oversized, "more bytes than asked"}, {R::Silent, "no answer"}};
    for (const Case& c : cases) {
        Rig rig;
        auto driver = rig.Driver();
        rig.Enable({1});
        rig.fake->SetReply(c.reply);
        FilterState s;
        s.filter = 1;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(driver->QueryFilter(s)) << c.what;
        EXPECT_EQ(driver->GetSpecialRecordingMode(), 0) << c.what;
        EXPECT_FALSE(driver->IsSpecialRecordingModeAvailable(1)) << c.what;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << c.what;
    }
}

TEST(MicConfiguration, FollowsTheDriverAndTheTablet) {
    struct Case {
        bool present, speakerPhone, tablet;
        int config;
        bool absent, noSpeakerPhone;
    };
    const Case cases[] = {
        {false, false, false, 3, true, false},  {false, false, true, 2, true, false},
        {true, true, false, 1, false, false},   {true, true, true, 2, false, false},
        {true, false, false, 3, false, true},   {true, false, true, 2, false, true},
    };
    for (const Case& c : cases) {
        Rig rig(c.present);
        if (c.present) rig.fake->SetFilter(2, c.speakerPhone, false);
        auto driver = rig.Driver();
        const MicConfigurationChoice choice = DecideMicConfiguration(*driver, c.tablet);
        EXPECT_EQ(choice.micConfiguration, c.config);
        EXPECT_EQ(choice.driverAbsent, c.absent);
        EXPECT_EQ(choice.noSpeakerPhone, c.noSpeakerPhone);
    }
}

TEST(Chassis, TabletTypesAre30To32) {
    harness::TempDir dir;
    struct Case {
        const char* content;
        bool tablet;
    };
    const Case cases[] = {{"30\n", true}, {"31\n", true}, {"32", true},  {" 31 \n", true}, {"3\n", false},
                          {"10\n", false}, {"300\n", false}, {"", false}, {"tablet\n", false}};
    for (const Case& c : cases) {
        const auto file = dir / "chassis_type";
        std::ofstream(file) << c.content;
        EXPECT_EQ(platform::IsTabletPc(file.string()), c.tablet) << '"' << c.content << '"';
    }
    EXPECT_FALSE(platform::IsTabletPc((dir / "missing").string()));
    // On this machine the real file gives an answer without failing.
    (void)platform::IsTabletPc();
}

TEST(MicArrayEndpoint, LivesInTheRuntimeFolder) {
    {
        harness::ScopedEnv env("XDG_RUNTIME_DIR", "/run/user/1000");
        EXPECT_EQ(platform::MicArrayEndpoint::DefaultPath(), "/run/user/1000/MicArrayFilter");
    }
    {
        harness::ScopedEnv env("XDG_RUNTIME_DIR", "relative/dir");
        EXPECT_EQ(platform::MicArrayEndpoint::DefaultPath(), "");
    }
    {
        harness::ScopedEnv env("XDG_RUNTIME_DIR", std::nullopt);
        EXPECT_EQ(platform::MicArrayEndpoint::DefaultPath(), "");
    }
}
