#pragma once

#include <cstdint>
#include <vector>

// One stored monster graphic: the planar tiles of the set cells of its mold, in
// row-major cell order. Several entries may show the same slot; the slot keeps the
// mold, depth and size of the entry encoded into it last.
struct GraphicsSlot {
    uint8_t colourCount = 16; // 8 (3 bits per pixel) or 16 (4 bits per pixel)
    int moldIndex = 0;        // into the small or the large molds, by isLarge
    bool isLarge = false;
    uint16_t size = 0;        // bytes in data
    int32_t romPointer = -1;  // graphics pointer (offset from the graphics base / 8); -1 = free
    bool inUse = true;        // written by the save
    std::vector<uint8_t> data;
};
