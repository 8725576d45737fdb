#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "rom/background_cell.h"
#include "image/indexed_image.h"

// One of the game's battle backgrounds: a 256x152 picture of 48 colours built from a
// 32x19 tile map over an area of 576 decoded tiles.
struct BattleBackground {
    static constexpr int width = 256;
    static constexpr int height = 152;
    static constexpr int columns = 32;
    static constexpr int rows = 19;
    static constexpr int tileAreaTiles = 576;
    static constexpr int colours = 48;

    IndexedImage image;
    int32_t paletteNumber = 0;
    std::vector<uint8_t> tiles; // 576 x 64 pixels while decoding, empty otherwise
    std::array<BackgroundCell, columns * rows> cells{};

    const BackgroundCell& cell(int column, int row) const { return cells[size_t(row * columns + column)]; }
};
