// Prints how long listing the capture devices takes, and how much of it is the sound server's port
// listing. Needs a sound server: run through scripts/session.sh.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "audio/GraphHelpers.h"
#include "platform/SourcePorts.h"

namespace {
template <class Fn>
double MedianMillis(int runs, Fn&& fn) {
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        auto a = std::chrono::steady_clock::now();
        fn();
        t.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - a).count());
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}
}  // namespace

int main() {
    EnsureGstInitialized();
    constexpr int kRuns = 21;
    int devices = 0;
    double listing = MedianMillis(kRuns, [&] {
        VectorListBox list;
        EnumerateDevices(nullptr, CLSID_AudioInputDeviceCategory, list);
        devices = list.GetCount();
    });
    std::size_t sources = 0;
    double ports = MedianMillis(kRuns, [&] { sources = platform::SourcePorts().ListPorts().size(); });
    std::printf("capture device listing (%d devices): %.2f ms median of %d\n", devices, listing, kRuns);
    std::printf("  of which the port listing (%zu sources): %.2f ms\n", sources, ports);
    return 0;
}
