#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "image/indexed_image.h"
#include "image/rgb_color.h"

class RomBuilder;

// Known battle-background content for a synthetic ROM: records, 56 palettes of 48
// colours, graphics sets stored plain and compressed, and compressed tile maps. The
// expected picture of each background is worked out pixel by pixel from these.
struct BackgroundRomData {
    struct GraphicsSet {
        uint32_t romOffset = 0;
        bool compressed = false;
        int tileCount = 128;        // 128 or 256
        std::vector<uint8_t> pixels; // tileCount x 64 indices 0..15
    };
    struct Record {
        std::array<uint8_t, 3> sets{255, 255, 255};
        uint8_t tileMap = 0;
        uint8_t palette = 0;
    };

    std::array<Record, 55> records{};
    std::vector<GraphicsSet> sets;
    std::vector<std::vector<uint16_t>> tileMaps; // 608 entries each: low byte L, high byte H
    std::array<std::array<RgbColor, 48>, 56> palettes{};

    static BackgroundRomData make(unsigned seed);

    // The graphics-set byte for set `index`, with bit 7 telling its tile count.
    uint8_t setByte(size_t index) const;
    void placeInto(RomBuilder& rom) const;

    // The 256x152 picture background k must decode to (palette entries 0..47 set).
    IndexedImage expectedImage(int k) const;
};
