// The packed form of a resource module's entries, shared by the build tool that writes it and the
// loader that reads it. Little-endian throughout:
//   "LEXELRC1"                       8-byte magic
//   u32 total size of the pack       (header, index and data)
//   u32 entry count
//   count x { u32 name offset, u32 name length, u32 data offset, u32 data length }
//   names and data, offsets counted from the start of the pack
// Names are paths such as "dialog/102.xrc", "strings.tsv", "bitmap/1007.bmp", "icon/103/32.png".
#pragma once
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

inline constexpr char kResourcePackMagic[8] = {'L', 'E', 'X', 'E', 'L', 'R', 'C', '1'};

inline std::string BuildResourcePack(const std::vector<std::pair<std::string, std::string>>& entries) {
    auto put32 = [](std::string& s, std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) s[at + i] = char((v >> (8 * i)) & 0xFF);
    };
    const std::size_t indexAt = 16;
    std::string out(indexAt + 16 * entries.size(), '\0');
    std::memcpy(out.data(), kResourcePackMagic, 8);
    put32(out, 12, std::uint32_t(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::size_t nameAt = out.size();
        out += entries[i].first;
        const std::size_t dataAt = out.size();
        out += entries[i].second;
        out.append((4 - out.size() % 4) % 4, '\0');
        put32(out, indexAt + 16 * i, std::uint32_t(nameAt));
        put32(out, indexAt + 16 * i + 4, std::uint32_t(entries[i].first.size()));
        put32(out, indexAt + 16 * i + 8, std::uint32_t(dataAt));
        put32(out, indexAt + 16 * i + 12, std::uint32_t(entries[i].second.size()));
    }
    put32(out, 8, std::uint32_t(out.size()));
    return out;
}

// The entries of a pack that lies in `available` readable bytes; nullopt when the pack is malformed
// or reaches beyond them.
inline std::optional<std::map<std::string, std::string_view>> ParseResourcePack(const void* data,
                                                                                std::size_t available) {
    const auto* p = static_cast<const unsigned char*>(data);
    auto get32 = [p](std::size_t at) {
        return std::uint32_t(p[at]) | std::uint32_t(p[at + 1]) << 8 | std::uint32_t(p[at + 2]) << 16 |
               std::uint32_t(p[at + 3]) << 24;
    };
    if (!p || available < 16 || std::memcmp(p, kResourcePackMagic, 8) != 0) return std::nullopt;
    const std::uint64_t total = get32(8);
    const std::uint64_t count = get32(12);
    if (total > available || total < 16 || 16 + 16 * count > total) return std::nullopt;
    std::map<std::string, std::string_view> entries;
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::size_t at = 16 + 16 * i;
        const std::uint64_t nameOff = get32(at), nameLen = get32(at + 4);
        const std::uint64_t dataOff = get32(at + 8), dataLen = get32(at + 12);
        if (nameOff + nameLen > total || dataOff + dataLen > total || nameLen == 0) return std::nullopt;
        entries.emplace(std::string(reinterpret_cast<const char*>(p + nameOff), nameLen),
                        std::string_view(reinterpret_cast<const char*>(p + dataOff), dataLen));
    }
    return entries;
}

}  // namespace platform
