#include "app/HandOver.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "platform/DesktopWindows.h"
#include "platform/Utf16.h"

namespace app {

std::string JoinCommandLine(int argc, const char* const* argv) {
    std::string joined;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) joined += ' ';
        joined += argv[i] ? argv[i] : "";
    }
    return joined;
}

std::optional<std::vector<std::uint8_t>> EncodeHandOverRecord(const std::string& commandLine) {
    const std::u16string units = platform::Utf8ToUtf16Lenient(commandLine);
    if (units.size() + 1 > kHandOverUnits) return std::nullopt;
    std::vector<std::uint8_t> record(kHandOverBytes, 0);
    for (std::size_t i = 0; i < units.size(); ++i) {
        record[2 * i] = static_cast<std::uint8_t>(units[i] & 0xFF);
        record[2 * i + 1] = static_cast<std::uint8_t>(units[i] >> 8);
    }
    return record;
}

std::string DecodeHandOverRecord(const std::vector<std::uint8_t>& data) {
    std::u16string units;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
        const char16_t u = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        if (u == 0) break;
        units += u;
    }
    return platform::Utf16ToUtf8Lenient(std::move(units));
}

namespace {
std::vector<std::string>& Arguments() {
    static std::vector<std::string> args;
    return args;
}
}  // namespace

void SetProcessArguments(int argc, const char* const* argv) {
    Arguments().clear();
    for (int i = 1; i < argc; ++i) Arguments().emplace_back(argv[i] ? argv[i] : "");
}

const std::vector<std::string>& ProcessArguments() { return Arguments(); }

int ForwardToRunningInstance(const std::vector<std::string>& arguments) {
    const platform::DesktopWindow running = platform::FindTopLevelWindow("Murmelo");
    if (!running) return 1;
    if (!arguments.empty()) {
        std::string joined;
        for (std::size_t i = 0; i < arguments.size(); ++i) {
            if (i) joined += ' ';
            joined += arguments[i];
        }
        if (auto record = EncodeHandOverRecord(joined)) {
            if (!platform::SendCopyData(running, 0, *record))
                std::fprintf(stderr, "murmelo: the running instance did not take the command line\n");
        } else {
            std::fprintf(stderr,
                         "murmelo: command line too long to hand to the running instance (at most %zu characters): "
                         "%s\n",
                         kHandOverUnits - 1, joined.c_str());
        }
    }
    // Restores a minimized window and brings it (or its last popup) to the front.
    platform::RestoreAndRaise(running);
    return 0;
}

void LogReceivedCommandLine(const std::string& commandLine) {
    const char* path = std::getenv("MURMELO_TEST_LOG");
    if (!path || !*path) return;
    std::ofstream(path, std::ios::app) << commandLine << '\n';
}

}  // namespace app
