#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "image/rgb_color.h"

class RomBuilder;

// Known character sprite content for a synthetic ROM: the shared frame layout (with
// tiles shown by several frames and tiles no frame shows), 32 palettes, each
// character's palette choice, graphics place and 181 decoded tiles.
struct CharacterRomData {
    static constexpr int characters = 22;
    static constexpr int tiles = 181;

    std::array<uint16_t, 240> frameLayout{};
    std::array<std::array<RgbColor, 16>, 32> palettes{};
    std::array<uint8_t, characters> paletteChoice{};
    std::array<int32_t, characters> graphicsOffset{}; // inside the block at 0x150000
    std::vector<std::vector<uint8_t>> tilePixels;     // [character][64 * tile]

    // Layout entry i shows tile i mod 150: entries 150-239 reuse tiles 0-89 and tiles
    // 150-180 appear in no frame. Pixels and colours follow from the seed.
    static CharacterRomData make(unsigned seed);

    // Places everything, including the second copy of palettes 0-5.
    void placeInto(RomBuilder& rom) const;

    // The decoded index of pixel (x, y) of frame f as the layout puts it together.
    uint8_t framePixel(int character, int frame, int x, int y) const;
};
