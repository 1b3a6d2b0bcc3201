// A stand-in for the sibling editor Sonaplex, for hand-off tests only: a window titled "Sonaplex"
// that records what it is handed in the file named by SONAPLEX_RECEIVED, one line each:
//   "argument<TAB>text"  each command-line argument it was started with
//   "ready"              its window can now take the "FileMapping" message
//   "mapping<TAB>path"   the path found in "/RJS659" on "FileMapping" ("mapping-unreadable" when none)
#include <wx/app.h>
#include <wx/frame.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/DesktopWindows.h"
#include "platform/SharedMemory.h"

namespace {

void Record(const std::string& line) {
    const char* path = std::getenv("SONAPLEX_RECEIVED");
    if (!path || !*path) return;
    std::ofstream out(path, std::ios::app);
    out << line << '\n';
}

class StandInApp : public wxApp {
public:
    bool OnInit() override {
        for (int i = 1; i < argc; ++i) Record("argument\t" + argv[i].utf8_string());
        auto* frame = new wxFrame(nullptr, wxID_ANY, "Sonaplex", wxDefaultPosition, wxSize(300, 120));
        frame->Show();
        CallAfter([frame] {
            const std::uint32_t fileMapping = platform::RegisterWindowMessage("FileMapping");
            platform::InstallDesktopMessageReceiver(
                frame, {[fileMapping](std::uint32_t message, std::uintptr_t, std::intptr_t) {
                            if (message != fileMapping) return;
                            auto block = platform::SharedMemoryBlock::Open();
                            auto path = block ? block.ReadPath() : std::nullopt;
                            Record(path ? "mapping\t" + *path : "mapping-unreadable");
                        },
                        nullptr});
            Record("ready");
        });
        return true;
    }
};

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(StandInApp);

int main(int argc, char** argv) {
    setenv("GDK_BACKEND", "x11", 0);
    return wxEntry(argc, argv);
}
