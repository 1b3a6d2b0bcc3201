#include "app/Messages.h"

#include <cerrno>
#include <cstring>

#include "platform/ResourceModule.h"
#include "platform/SystemLanguage.h"
#include "platform/Ui.h"
#include "resources/MessageTable.h"

namespace {

// Windows' system error codes that callers pass as they stand.
constexpr long kErrorPathNotFound = 3;
constexpr long kErrorAccessDenied = 5;
constexpr long kErrorCannotMake = 82;
constexpr long kErrorDiskFull = 112;

// The message formatter with the maximum-width mask ignores the text's own line breaks.
std::string DropLineBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c != '\r' && c != '\n') out += c;
    }
    return out;
}

void ShowErrorBox(long code) {
    platform::MessageBox(nullptr, SystemErrorText(code), platform::ApplicationCaption(), platform::MB_OK);
}

}  // namespace

std::string CutToUnits(std::string_view utf8, std::size_t maxUnits) {
    std::size_t units = 0;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t len = 1;
        if (lead >= 0xF0 && lead < 0xF8) len = 4;
        else if (lead >= 0xE0) len = lead < 0xF0 ? 3 : 1;
        else if (lead >= 0xC0) len = 2;
        if (i + len > utf8.size()) len = 1;  // truncated sequence: count the byte alone
        const std::size_t need = len == 4 ? 2 : 1;  // beyond the basic plane: a surrogate pair
        if (units + need > maxUnits) break;
        units += need;
        i += len;
    }
    return std::string(utf8.substr(0, i));
}

std::string GetLocalizedMessage(unsigned id) {
    const platform::LANGID system = platform::GetSystemDefaultLangID();
    const unsigned sublanguage = (system == 0x0816 || system == 0x0804) ? 2 : 1;
    const unsigned asked = (sublanguage * 1024) | system;
    auto text = resources::FindMessage(asked, id);
    if (!text) text = resources::FindMessage(platform::kLangEnglishUS, id);
    if (!text) return std::string();
    return CutToUnits(DropLineBreaks(*text), kMessageBufferUnits - 1);
}

std::string LoadResourceString(unsigned id) { return platform::ResourceModule::LoadString(id); }

int ErrnoFromSystemCode(long code) {
    switch (code) {
        case kErrorPathNotFound: return ENOENT;
        case kErrorAccessDenied: return EACCES;
        case kErrorCannotMake: return ENAMETOOLONG;
        case kErrorDiskFull: return ENOSPC;
        default: return static_cast<int>(code);
    }
}

std::string SystemErrorText(long code) {
    char buffer[512];
    const char* text = strerror_r(ErrnoFromSystemCode(code), buffer, sizeof buffer);
    return CutToUnits(text ? text : "", kMessageBufferUnits - 1);
}

void ShowSystemError(unsigned code) { ShowErrorBox(static_cast<long>(code)); }

bool ShowErrorCode(long code) {
    if (code < 1 || code >= 16000) return false;
    ShowErrorBox(code);
    return true;
}

void ShowLastError() {
    const int code = errno;
    ShowErrorCode(code);
}
