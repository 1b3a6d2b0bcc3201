// The system's language as a Windows language identifier (LANGID), read from the locale.
#pragma once
#include <string_view>

namespace platform {

using LANGID = unsigned short;

constexpr LANGID kLangEnglishUS = 0x0409;

// The language of a locale name such as "de_DE.UTF-8", "pt_PT@euro", "zh_TW" or "fr". Unknown
// languages, "C", "POSIX" and empty names give English (United States).
LANGID LangIdFromLocale(std::string_view locale);

// The language of the first non-empty of LC_ALL, LC_MESSAGES and LANG.
LANGID GetSystemDefaultLangID();

}  // namespace platform
