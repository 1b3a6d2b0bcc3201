// main() for tests that open real windows: a wx application without its own main loop; tests pump
// events with harness::PumpUntil.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>

#include "tests/harness/Harness.h"

namespace {
class TestApp : public wxApp {
public:
    bool OnInit() override { return true; }
};
}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing tests needs no display.
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
    if (!harness::HaveDisplay()) {
        std::fprintf(stderr, "no display: run the tests through scripts/session.sh\n");
        return 1;
    }
    wxApp::SetInstance(new TestApp);
    int wxArgc = 1;
    char* wxArgv[] = {argv[0], nullptr};
    if (!wxEntryStart(wxArgc, wxArgv)) return 1;
    wxTheApp->CallOnInit();
    wxInitAllImageHandlers();
    int rc = RUN_ALL_TESTS();
    wxEntryCleanup();
    return rc;
}
