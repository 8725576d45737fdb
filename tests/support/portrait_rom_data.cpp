#include "support/portrait_rom_data.h"

#include <stdexcept>

#include "rom/tile_codec.h"
#include "support/rom_builder.h"

namespace {

constexpr uint32_t tilesOffset = 0x2D1D00;
constexpr uint32_t palettesOffset = 0x2D5860;
constexpr uint32_t paletteIndicesOffset = 0x036F00;
constexpr uint32_t lastPaletteIndexOffset = 0x036F14;

// Where tile t of a block goes, as (column, row) of the 5 x 5 grid.
constexpr int blockColumn[25] = {0, 1, 2, 3, 0, 1, 2, 3, 4, 4, 4, 4, 4, 0, 1, 2, 0, 1, 2, 3, 0, 1, 2, 3, 3};
constexpr int blockRow[25] = {0, 0, 0, 0, 2, 2, 2, 2, 0, 1, 2, 3, 4, 4, 4, 4, 1, 1, 1, 1, 3, 3, 3, 3, 4};

} // namespace

std::vector<uint8_t> PortraitRomData::tileBlock(const std::vector<uint8_t>& picture)
{
    if (picture.size() != 40 * 40)
        throw std::invalid_argument("PortraitRomData: a portrait is 40 x 40");
    std::vector<uint8_t> block(800, 0);
    for (int t = 0; t < 25; ++t) {
        uint8_t tile[64];
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                tile[y * 8 + x] = picture[size_t((blockRow[t] * 8 + y) * 40 + blockColumn[t] * 8 + x)];
        encodeTilePixels(tile, block.data() + t * 32, 16);
    }
    return block;
}

void PortraitRomData::writeInto(RomBuilder& rom) const
{
    for (int k = 0; k < portraitCount; ++k)
        rom.putBytes(tilesOffset + uint32_t(k * 800), tileBlock(pictures[size_t(k)]));
    for (int p = 0; p < portraitCount; ++p)
        for (int i = 0; i < 16; ++i)
            rom.putSnesColor(palettesOffset + uint32_t(p * 32 + i * 2), palettes[size_t(p)][size_t(i)]);
    for (int k = 0; k < portraitCount - 1; ++k)
        rom.putByte(paletteIndicesOffset + uint32_t(k), paletteIndices[size_t(k)]);
    rom.putByte(markerOffset, markers[0]);
    rom.putByte(markerOffset + 1, markers[1]);
    rom.putByte(lastPaletteIndexOffset, paletteIndices[portraitCount - 1]);
}

PortraitRomData PortraitRomData::sample()
{
    PortraitRomData data;
    for (int p = 0; p < portraitCount; ++p)
        for (int i = 0; i < 16; ++i)
            data.palettes[size_t(p)][size_t(i)] = RgbColor(uint8_t(p * 8), uint8_t(i * 16), uint8_t((p + i) * 8));
    for (int k = 0; k < portraitCount; ++k) {
        data.paletteIndices[size_t(k)] = uint8_t(k % 12);
        data.pictures[size_t(k)].resize(40 * 40);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                data.pictures[size_t(k)][size_t(y * 40 + x)] = uint8_t((x * 7 + y * 3 + k * 5 + (x / 8) * (y / 8)) % 16);
    }
    data.paletteIndices[portraitCount - 1] = 17;
    return data;
}
