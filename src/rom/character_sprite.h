#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "image/indexed_image.h"

// One character's field sprite: 40 frames of 16x24 built from a pool of 181 shared
// 8x8 tiles. The tiles are the stored form; the frames are what the page edits and
// what the save encodes from.
struct CharacterSprite {
    static constexpr int frameCount = 40;
    static constexpr int frameWidth = 16;
    static constexpr int frameHeight = 24;
    static constexpr int tileCount = 181;
    static constexpr int graphicsBytes = tileCount * 32; // 5792

    std::array<IndexedImage, frameCount> frames;
    std::vector<uint8_t> tilePixels = std::vector<uint8_t>(size_t(tileCount) * 64, 0); // tile k at 64k
    uint8_t paletteIndex = 0;
    int32_t graphicsOffset = 0; // inside the graphics block
    bool hasFixedPalette = false;
    // False when the ROM's graphics address puts the tiles outside the graphics block:
    // the character then shows blank tiles and the save never writes them.
    bool graphicsInBlock = true;
};
