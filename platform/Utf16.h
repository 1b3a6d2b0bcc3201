// UTF-8 <-> UTF-16 for the records other programs read in UTF-16 (the hand-over record, the
// editor's path block).
#pragma once
#include <optional>
#include <string>

namespace platform {

// Strict: nullopt when the text is not well-formed or holds a NUL, which would end it early for
// a reader.
std::optional<std::u16string> Utf8ToUtf16(const std::string& utf8);
std::optional<std::string> Utf16ToUtf8(const std::u16string& utf16);

// Lenient: every malformed UTF-8 byte or unpaired surrogate becomes U+FFFD.
std::u16string Utf8ToUtf16Lenient(const std::string& utf8);
std::string Utf16ToUtf8Lenient(std::u16string utf16);

}  // namespace platform
