#include "rom/tile_codec.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "image/indexed_image.h"

namespace {

// For each plane byte, its 8 bits spread to the low bit of 8 bytes, leftmost pixel
// (bit 7) in the first byte, so a row of a tile decodes with four lookups.
struct PlaneSpread {
    uint64_t rows[256];
    constexpr PlaneSpread() : rows()
    {
        for (int value = 0; value < 256; ++value) {
            uint64_t spread = 0;
            for (int x = 0; x < 8; ++x)
                spread |= uint64_t((value >> (7 - x)) & 1) << (8 * x);
            rows[value] = spread;
        }
    }
};

constexpr PlaneSpread planeSpread;

// Bit `plane` of eight pixel bytes gathered into one plane byte, pixel 0 in bit 7:
// the multiplication moves the low bit of byte i to bit 63 - i.
uint8_t gatherPlane(uint64_t rowPixels, int plane)
{
    return uint8_t((((rowPixels >> plane) & 0x0101010101010101ull) * 0x8040201008040201ull) >> 56);
}

} // namespace

void decodeTile(const uint8_t* source, uint8_t* destination, int colourCount)
{
    const bool fourBits = colourCount != 8;
    for (int row = 0; row < 8; ++row) {
        const uint8_t plane2 = fourBits ? source[16 + 2 * row] : source[16 + row];
        const uint8_t plane3 = fourBits ? source[17 + 2 * row] : 0;
        const uint64_t pixels = planeSpread.rows[source[2 * row]] | planeSpread.rows[source[2 * row + 1]] << 1 |
                                planeSpread.rows[plane2] << 2 | planeSpread.rows[plane3] << 3;
        // Byte x of the word is pixel x.
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(destination + row * 8, &pixels, 8);
        } else {
            for (int x = 0; x < 8; ++x)
                destination[row * 8 + x] = uint8_t(pixels >> (8 * x));
        }
    }
}

void encodeTilePixels(const uint8_t* tile, uint8_t* destination, int colourCount)
{
    const bool fourBits = colourCount != 8;
    for (int row = 0; row < 8; ++row) {
        uint64_t rowPixels = 0;
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(&rowPixels, tile + row * 8, 8);
        } else {
            for (int x = 0; x < 8; ++x)
                rowPixels |= uint64_t(tile[row * 8 + x]) << (8 * x);
        }
        destination[2 * row] = gatherPlane(rowPixels, 0);
        destination[2 * row + 1] = gatherPlane(rowPixels, 1);
        if (fourBits) {
            destination[16 + 2 * row] = gatherPlane(rowPixels, 2);
            destination[17 + 2 * row] = gatherPlane(rowPixels, 3);
        } else {
            destination[16 + row] = gatherPlane(rowPixels, 2);
        }
    }
}

void encodeTile(const IndexedImage& image, int tileColumn, int tileRow, uint8_t* destination, int colourCount)
{
    uint8_t tile[64];
    const int left = tileColumn * 8;
    const int top = tileRow * 8;
    if (image.hasPixels() && left >= 0 && top >= 0 && left + 8 <= image.width && top + 8 <= image.height) {
        for (int row = 0; row < 8; ++row)
            std::memcpy(tile + row * 8, image.pixels.data() + size_t(top + row) * size_t(image.width) + size_t(left), 8);
    } else {
        for (int row = 0; row < 8; ++row)
            for (int x = 0; x < 8; ++x)
                tile[row * 8 + x] = (image.hasPixels() && image.contains(left + x, top + row)) ? image.pixel(left + x, top + row) : 0;
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
