#include "rom/tile_codec.h"

#include <algorithm>
#include <cstring>

#include "image/indexed_image.h"

void decodeTile(const uint8_t* source, uint8_t* destination, int colourCount)
{
    const bool fourBits = colourCount != 8;
    for (int row = 0; row < 8; ++row) {
        const uint8_t plane0 = source[2 * row];
        const uint8_t plane1 = source[2 * row + 1];
        const uint8_t plane2 = fourBits ? source[16 + 2 * row] : source[16 + row];
        const uint8_t plane3 = fourBits ? source[17 + 2 * row] : 0;
        for (int x = 0; x < 8; ++x) {
            const int bit = 7 - x;
            destination[row * 8 + x] = uint8_t(((plane0 >> bit) & 1) | ((plane1 >> bit) & 1) << 1 |
                                               ((plane2 >> bit) & 1) << 2 | ((plane3 >> bit) & 1) << 3);
        }
    }
}

void encodeTilePixels(const uint8_t* tile, uint8_t* destination, int colourCount)
{
    const bool fourBits = colourCount != 8;
    std::memset(destination, 0, size_t(tileBytes(colourCount)));
    for (int row = 0; row < 8; ++row) {
        for (int x = 0; x < 8; ++x) {
            const uint8_t index = tile[row * 8 + x];
            const uint8_t mask = uint8_t(0x80 >> x);
            if (index & 1)
                destination[2 * row] |= mask;
            if (index & 2)
                destination[2 * row + 1] |= mask;
            if (index & 4)
                destination[fourBits ? 16 + 2 * row : 16 + row] |= mask;
            if (fourBits && (index & 8))
                destination[17 + 2 * row] |= mask;
        }
    }
}

void encodeTile(const IndexedImage& image, int tileColumn, int tileRow, uint8_t* destination, int colourCount)
{
    uint8_t tile[64];
    for (int row = 0; row < 8; ++row) {
        for (int x = 0; x < 8; ++x) {
            const int px = tileColumn * 8 + x;
            const int py = tileRow * 8 + row;
            tile[row * 8 + x] = (image.hasPixels() && image.contains(px, py)) ? image.pixel(px, py) : 0;
        }
    }
    encodeTilePixels(tile, destination, colourCount);
}

void mirrorTileHorizontal(uint8_t* tile)
{
    for (int row = 0; row < 8; ++row)
        std::reverse(tile + row * 8, tile + row * 8 + 8);
}

void mirrorTileVertical(uint8_t* tile)
{
    for (int row = 0; row < 4; ++row)
        std::swap_ranges(tile + row * 8, tile + row * 8 + 8, tile + (7 - row) * 8);
}
