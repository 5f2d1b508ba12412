#pragma once

#include <cstdint>

// Little-endian byte packing for the fixed-format buffers exchanged with the
// driver. The host order does not matter: every value goes byte by byte.
namespace platform::le {

inline void putU16(unsigned char* at, std::uint16_t value)
{
    at[0] = static_cast<unsigned char>(value & 0xFFu);
    at[1] = static_cast<unsigned char>(value >> 8);
}

inline void putU32(unsigned char* at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<unsigned char>((value >> (8 * i)) & 0xFFu);
}

inline std::uint16_t getU16(const unsigned char* at)
{
    return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

inline std::uint32_t getU32(const unsigned char* at)
{
    return static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8) |
           (static_cast<std::uint32_t>(at[2]) << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}

} // namespace platform::le
