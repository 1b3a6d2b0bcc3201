// Texts for the user: the program's message table in the system's language, the resource module's
// strings and the system's error texts in message boxes.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// Fixed text buffers hold this many UTF-16 units, the terminator included.
constexpr std::size_t kMessageBufferUnits = 260;

// Message 1000..1014 in the system's language (line breaks dropped). A language the table lacks
// gets the English text; an unknown message gives "".
std::string GetLocalizedMessage(unsigned id);

// String `id` of the resource module; "" when it (or the module) is missing.
std::string LoadResourceString(unsigned id);

// Message box (OK, no icon, the application's caption) with the system's text for `code`.
void ShowSystemError(unsigned code);
// The same for 1 <= code < 16000; returns whether a box was shown.
bool ShowErrorCode(long code);
// ShowErrorCode for the calling thread's last error (errno).
void ShowLastError();

// The errno value a system error code stands for: the Windows codes 3, 5, 82 and 112 become
// ENOENT, EACCES, ENAMETOOLONG and ENOSPC; every other code is taken as an errno value.
int ErrnoFromSystemCode(long code);
// The C library's text for the code, cut to fit a kMessageBufferUnits buffer.
std::string SystemErrorText(long code);
// The longest prefix of a UTF-8 text that fits `maxUnits` UTF-16 units, never splitting a character.
std::string CutToUnits(std::string_view utf8, std::size_t maxUnits);
