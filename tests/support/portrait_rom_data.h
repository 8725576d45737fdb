#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "image/rgb_color.h"

class RomBuilder;

// The portrait areas of a synthetic ROM: the 19 tile blocks in the game's tile
// order, the 19 palettes and the palette-index bytes, with two marker bytes at
// 0x036F12-13 that belong to other data and must survive every save.
class PortraitRomData {
public:
    static constexpr int portraitCount = 19;
    static constexpr uint32_t markerOffset = 0x036F12;

    std::array<std::array<RgbColor, 16>, portraitCount> palettes{};
    std::array<uint8_t, portraitCount> paletteIndices{};
    std::array<std::vector<uint8_t>, portraitCount> pictures; // 40 x 40 indices 0-15
    std::array<uint8_t, 2> markers{0xA5, 0x5A};

    void writeInto(RomBuilder& rom) const;

    // The 800-byte block of a 40x40 picture, tiles in the game's order.
    static std::vector<uint8_t> tileBlock(const std::vector<uint8_t>& picture);

    // Distinct pictures and palettes; portraits 12-17 share palettes 0-5 with
    // portraits 0-5, and portrait 18 uses palette 17.
    static PortraitRomData sample();
};
