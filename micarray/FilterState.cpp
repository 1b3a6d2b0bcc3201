#include "micarray/FilterState.h"

namespace {
void Put(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
std::uint32_t Get(const std::uint8_t* p) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(p[i]) << (8 * i);
    return v;
}
}  // namespace

std::array<std::uint8_t, kFilterStateSize> FilterState::Pack() const {
    std::array<std::uint8_t, kFilterStateSize> out{};
    Put(&out[0], filter);
    Put(&out[4], reserved0);
    Put(&out[8], available);
    Put(&out[12], enabled);
    for (std::size_t i = 0; i < reserved.size(); ++i) Put(&out[16 + 4 * i], reserved[i]);
    Put(&out[48], last);
    return out;
}

FilterState FilterState::Unpack(const std::uint8_t* bytes) {
    FilterState s;
    s.filter = Get(bytes);
    s.reserved0 = Get(bytes + 4);
    s.available = Get(bytes + 8);
    s.enabled = Get(bytes + 12);
    for (std::size_t i = 0; i < s.reserved.size(); ++i) s.reserved[i] = Get(bytes + 16 + 4 * i);
    s.last = Get(bytes + 48);
    return s;
}
