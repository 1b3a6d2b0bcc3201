// One filter's state as exchanged with the array-microphone driver: 52 bytes, thirteen 32-bit
// little-endian fields.
#pragma once
#include <array>
#include <cstdint>

constexpr std::size_t kFilterStateSize = 52;

// Device control requests (device type 0x22, buffered, any access).
constexpr std::uint32_t IOCTL_MICARRAY_READ_FILTER = 0x222004;   // function 0x801
constexpr std::uint32_t IOCTL_MICARRAY_WRITE_FILTER = 0x222000;  // function 0x800

struct FilterState {
    std::uint32_t filter = 0;     // offset 0: filter number 0..3
    std::uint32_t reserved0 = 0;  // offset 4
    std::uint32_t available = 0;  // offset 8: non-zero when the driver offers the filter
    std::uint32_t enabled = 0;    // offset 12: non-zero when on; on a write, the requested state
    std::array<std::uint32_t, 8> reserved{};  // offsets 16..44
    std::uint32_t last = 0;       // offset 48: 0 on every write

    std::array<std::uint8_t, kFilterStateSize> Pack() const;
    static FilterState Unpack(const std::uint8_t* bytes);  // kFilterStateSize bytes
    bool operator==(const FilterState&) const = default;
};
