#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Little-endian fields of the picture file headers. Callers check the bounds first.
inline uint16_t readLe16(const uint8_t* at)
{
    return uint16_t(at[0] | (at[1] << 8));
}

inline uint32_t readLe32(const uint8_t* at)
{
    return uint32_t(at[0]) | (uint32_t(at[1]) << 8) | (uint32_t(at[2]) << 16) | (uint32_t(at[3]) << 24);
}

inline void writeLe16(std::vector<uint8_t>& out, size_t at, uint16_t value)
{
    out[at] = uint8_t(value);
    out[at + 1] = uint8_t(value >> 8);
}

inline void writeLe32(std::vector<uint8_t>& out, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[at + size_t(i)] = uint8_t(value >> (8 * i));
}
