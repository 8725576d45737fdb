#pragma once

#include <cstdint>

// One entry of a battle background's tile map. The high byte packs two more tile
// bits, the palette row and the mirror flags: tile = L + 64 (bit 0) + 256 (bit 1),
// which reaches exactly the 576 tiles of the tile area; bits 2-5 pick a 16-colour
// row of the 48-colour palette, counted from 5 (so 5 is the first row), kept in
// 8 bits; bit 6 mirrors left-right, bit 7 top-bottom.
struct BackgroundCell {
    int32_t tile = 0;
    uint8_t colorOffset = 0;
    uint8_t flipX = 0;
    uint8_t flipY = 0;

    static constexpr BackgroundCell fromEntry(uint8_t low, uint8_t high)
    {
        BackgroundCell cell;
        cell.tile = low + 64 * (high & 1) + 256 * ((high >> 1) & 1);
        cell.colorOffset = uint8_t((((high >> 2) & 15) - 5) * 16);
        cell.flipX = (high >> 6) & 1;
        cell.flipY = (high >> 7) & 1;
        return cell;
    }
};
