// Prints how long one visualizer drawing takes (272 x 40, each type, 16-bit stereo) and how long
// loading the whole skin takes. Needs a display: run through scripts/session.sh.
#include <wx/app.h>
#include <wx/dir.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/panel.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "audio/SampleBuffer.h"
#include "controls/AudioVisualizer.h"
#include "controls/ControlMessages.h"
#include "controls/SkinImage.h"
#include "controls/VisualizerCore.h"
#include "controls/VisualizerType.h"
#include "platform/ResourceModule.h"

using Clock = std::chrono::steady_clock;

namespace {
class BenchApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

template <class Fn>
double MedianMicros(int runs, Fn&& fn) {
    std::vector<double> t;
    t.reserve(runs);
    for (int i = 0; i < runs; ++i) {
        const auto a = Clock::now();
        fn();
        t.push_back(std::chrono::duration<double, std::micro>(Clock::now() - a).count());
    }
    std::nth_element(t.begin(), t.begin() + runs / 2, t.end());
    return t[runs / 2];
}

std::vector<std::uint8_t> Speechlike(int frames) {
    std::vector<std::uint8_t> pcm;
    for (int i = 0; i < frames; ++i) {
        double v = 3;
        for (int k = 1; k <= 24; ++k) v += 2400.0 / (k + 1) * std::sin(2 * M_PI * 6.3 * k * i / 1024 + k);
        const int s = static_cast<int>(v);
        for (int c = 0; c < 2; ++c) {
            pcm.push_back(static_cast<std::uint8_t>(s & 0xFF));
            pcm.push_back(static_cast<std::uint8_t>((s >> 8) & 0xFF));
        }
    }
    return pcm;
}
}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path bin = std::filesystem::canonical("/proc/self/exe").parent_path();
    wxApp::SetInstance(new BenchApp);
    int wxArgc = 1;
    char* wxArgv[] = {argv[0], nullptr};
    if (!wxEntryStart(wxArgc, wxArgv)) {
        std::fprintf(stderr, "no display: run through scripts/session.sh\n");
        return 1;
    }
    wxTheApp->CallOnInit();
    wxInitAllImageHandlers();
    const bool module = platform::ResourceModule::Load((bin / "Lexel.so").string());

    // 50 ms of 44.1 kHz 16-bit stereo, as the tap delivers it.
    const auto pcm = Speechlike(2205);
    const auto len = static_cast<std::uint32_t>(pcm.size());
    const char* names[] = {"graph", "spectrum", "equalizer"};

    std::printf("visualizer drawing, 272 x 40, 16-bit stereo buffer of %u bytes (median of 5000)\n", len);
    for (int type = 1; type <= 3; ++type) {
        controls::VisualizerEngine engine;
        controls::PixelCanvas canvas(272, 40);
        const double us = MedianMicros(5000, [&] {
            canvas.Fill(0x00FFB4B4);
            engine.Draw(canvas, type, pcm.data(), len, 2, 2, false);
        });
        std::printf("  %-9s picture only:            %7.1f us\n", names[type - 1], us);
    }

    auto* frame = new wxFrame(nullptr, wxID_ANY, "bench", wxDefaultPosition, wxSize(331, 236));
    auto* panel = new wxPanel(frame);
    auto* vis = new CAudioVisualizer(panel, 1001, wxRect(28, 92, 272, 40));
    vis->SetFormat(2, 2);
    frame->Show();
    TheSampleBuffer().Store(1.0, pcm.data(), len);
    for (int type = 1; type <= 3; ++type) {
        SetVisualizerType(type);
        const double us = MedianMicros(2000, [&] { vis->DrawNow(); });
        std::printf("  %-9s whole drawing (buffer copy, background, bitmap): %7.1f us%s\n", names[type - 1], us,
                    module ? "" : " (no Lexel.so)");
    }

    // The whole skin as the main window and the options page load it at start.
    std::vector<wxString> files;
    wxArrayString all;
    wxDir::GetAllFiles((bin / "res").string(), &all, wxEmptyString, wxDIR_FILES);
    for (const wxString& f : all) files.push_back(f);
    std::size_t loaded = 0;
    const double ms = MedianMicros(21, [&] {
                          loaded = 0;
                          for (const wxString& f : files) loaded += LoadSkinBitmap(f).IsOk();
                      }) / 1000.0;
    std::printf("skin loading: %zu of %zu files in %.2f ms (median of 21)\n", loaded, files.size(), ms);

    frame->Destroy();
    if (module) platform::ResourceModule::Free();
    wxEntryCleanup();
    return loaded == files.size() && !files.empty() ? 0 : 1;
}
