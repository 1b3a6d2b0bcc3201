#include "app/HandOver.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "platform/DesktopWindows.h"

namespace app {

namespace {

// UTF-8 to UTF-16 units; a malformed byte becomes U+FFFD.
std::u16string ToUtf16(const std::string& s) {
    std::u16string out;
    for (std::size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        char32_t cp;
        std::size_t len;
        if (c < 0x80) { cp = c; len = 1; }
        else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; len = 2; }
        else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; len = 3; }
        else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; len = 4; }
        else { out += u'\uFFFD'; ++i; continue; }
        bool ok = i + len <= s.size();
        for (std::size_t k = 1; ok && k < len; ++k) {
            unsigned char cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) ok = false;
            else cp = (cp << 6) | (cc & 0x3F);
        }
        if (!ok || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) { out += u'\uFFFD'; ++i; continue; }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
        i += len;
    }
    return out;
}

void PutUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) out += static_cast<char>(cp);
    else if (cp < 0x800) { out += static_cast<char>(0xC0 | (cp >> 6)); out += static_cast<char>(0x80 | (cp & 0x3F)); }
    else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::string JoinCommandLine(int argc, const char* const* argv) {
    std::string joined;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) joined += ' ';
        joined += argv[i] ? argv[i] : "";
    }
    return joined;
}

std::optional<std::vector<std::uint8_t>> EncodeHandOverRecord(const std::string& commandLine) {
    std::u16string units = ToUtf16(commandLine);
    if (units.size() + 1 > kHandOverUnits) return std::nullopt;
    std::vector<std::uint8_t> record(kHandOverBytes, 0);
    for (std::size_t i = 0; i < units.size(); ++i) {
        record[2 * i] = static_cast<std::uint8_t>(units[i] & 0xFF);
        record[2 * i + 1] = static_cast<std::uint8_t>(units[i] >> 8);
    }
    return record;
}

std::string DecodeHandOverRecord(const std::vector<std::uint8_t>& data) {
    std::string out;
    const std::size_t count = data.size() / 2;
    for (std::size_t i = 0; i < count; ++i) {
        char32_t u = data[2 * i] | (static_cast<char32_t>(data[2 * i + 1]) << 8);
        if (u == 0) break;
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < count) {
            char32_t lo = data[2 * i + 2] | (static_cast<char32_t>(data[2 * i + 3]) << 8);
            if (lo >= 0xDC00 && lo <= 0xDFFF) {
                PutUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00));
                ++i;
                continue;
            }
        }
        PutUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? 0xFFFD : u);
    }
    return out;
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
