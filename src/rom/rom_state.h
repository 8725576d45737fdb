#pragma once

#include <cstdint>
#include <string>

// What describes the open ROM: its path and whether the file starts with a 512-byte
// copier header. The ROM document sets both; every loader and saver reads them.
struct RomState {
    std::string romPath;        // empty until the first successful load
    bool hasCopierHeader = true;
};

extern RomState romState;

constexpr int64_t copierHeaderSize = 512;

// File position of a ROM offset (an offset into the game image without header).
constexpr int64_t romToFile(uint32_t romOffset, bool copierHeader)
{
    return int64_t(romOffset) + (copierHeader ? copierHeaderSize : 0);
}

inline int64_t romToFile(uint32_t romOffset)
{
    return romToFile(romOffset, romState.hasCopierHeader);
}
