#include "platform/Utf16.h"

#include <glib.h>

namespace platform {

std::optional<std::u16string> Utf8ToUtf16(const std::string& utf8) {
    glong read = 0, written = 0;
    gunichar2* units = g_utf8_to_utf16(utf8.data(), static_cast<glong>(utf8.size()), &read, &written, nullptr);
    if (!units) return std::nullopt;
    std::optional<std::u16string> out;
    // GLib stops quietly at a NUL byte; that is no whole conversion.
    if (static_cast<std::size_t>(read) == utf8.size())
        out.emplace(reinterpret_cast<const char16_t*>(units), static_cast<std::size_t>(written));
    g_free(units);
    return out;
}

std::optional<std::string> Utf16ToUtf8(const std::u16string& utf16) {
    glong read = 0, written = 0;
    gchar* bytes = g_utf16_to_utf8(reinterpret_cast<const gunichar2*>(utf16.data()), static_cast<glong>(utf16.size()),
                                   &read, &written, nullptr);
    if (!bytes) return std::nullopt;
    std::optional<std::string> out;
    if (static_cast<std::size_t>(read) == utf16.size()) out.emplace(bytes, static_cast<std::size_t>(written));
    g_free(bytes);
    return out;
}

std::u16string Utf8ToUtf16Lenient(const std::string& utf8) {
    gchar* valid = g_utf8_make_valid(utf8.data(), static_cast<gssize>(utf8.size()));
    auto out = Utf8ToUtf16(std::string(valid));
    g_free(valid);
    return out.value_or(std::u16string());
}

std::string Utf16ToUtf8Lenient(std::u16string utf16) {
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        const char16_t u = utf16[i];
        const bool high = u >= 0xD800 && u <= 0xDBFF;
        if (high && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
            ++i;
        } else if (high || (u >= 0xDC00 && u <= 0xDFFF)) {
            utf16[i] = 0xFFFD;
        }
    }
    return Utf16ToUtf8(utf16).value_or(std::string());
}

}  // namespace platform
