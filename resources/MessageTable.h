// The program's own message table: messages 1000 to 1014 in ten languages, stored as written in
// the table (each text ends with its line break, CR LF; trailing blanks belong to the texts).
#pragma once
#include <array>
#include <optional>
#include <string_view>

namespace resources {

constexpr unsigned kFirstMessageId = 1000;
constexpr unsigned kLastMessageId = 1014;

// The Windows language identifiers the table holds.
constexpr std::array<unsigned short, 10> kMessageLanguages = {0x0404, 0x0407, 0x0409, 0x040C, 0x0410,
                                                              0x0412, 0x0419, 0x0804, 0x0816, 0x0C0A};

// The stored text (UTF-8, with its CR LF) of message `id` in language `langId`; nullopt when the
// table holds no such language or message.
std::optional<std::string_view> FindMessage(unsigned langId, unsigned id);

}  // namespace resources
