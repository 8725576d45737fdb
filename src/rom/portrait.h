#pragma once

#include <array>
#include <cstdint>

#include "image/indexed_image.h"

// One 40x40, 16-colour character portrait: the decoded picture, the tile block as
// last read from or written to the ROM or a raw file, and which shared palette it
// uses.
struct Portrait {
    static constexpr int side = 40;
    static constexpr int tileCount = 25;
    static constexpr size_t blockSize = tileCount * 32; // 800 bytes, 4 bits per pixel

    IndexedImage image;
    std::array<uint8_t, blockSize> rawTiles{};
    uint8_t paletteIndex = 0;
};
