#include "support/background_rom_data.h"

#include <algorithm>
#include <random>

#include "rom/tile_codec.h"
#include "support/lzss_compressor.h"
#include "support/rom_builder.h"

namespace {

// CPU bank of a ROM offset: the graphics-set pointers name banks from 0xC0 on.
uint8_t bankOf(uint32_t romOffset)
{
    return uint8_t(0xC0 + (romOffset >> 16));
}

std::vector<uint8_t> planarTiles(const std::vector<uint8_t>& pixels, int tileCount)
{
    std::vector<uint8_t> planar(size_t(tileCount) * 32);
    for (int t = 0; t < tileCount; ++t)
        encodeTilePixels(pixels.data() + 64 * t, planar.data() + 32 * t, 16);
    return planar;
}

} // namespace

BackgroundRomData BackgroundRomData::make(unsigned seed)
{
    BackgroundRomData data;
    std::mt19937 random(seed);

    // Plain sets (banks below 231) hold noise; compressed ones (bank 231 and up) hold
    // stripes, which the compressor packs into far less than its 8192-byte limit.
    const struct {
        uint32_t offset;
        bool compressed;
        int tiles;
    } layout[] = {{0x1A0000, false, 128}, {0x1A1000, false, 256}, {0x3A0000, true, 128}, {0x3A4000, true, 256}};
    for (const auto& place : layout) {
        GraphicsSet set;
        set.romOffset = place.offset;
        set.compressed = place.compressed;
        set.tileCount = place.tiles;
        set.pixels.resize(size_t(place.tiles) * 64);
        for (size_t i = 0; i < set.pixels.size(); ++i)
            set.pixels[i] = place.compressed ? uint8_t((i / 64 + (i % 64) / 8) % 16) : uint8_t(random() % 16);
        data.sets.push_back(std::move(set));
    }

    for (int m = 0; m < 4; ++m) {
        std::vector<uint16_t> map(608);
        for (uint16_t& entry : map)
            entry = uint16_t(random() & 0xFFFF);
        data.tileMaps.push_back(std::move(map));
    }

    for (auto& palette : data.palettes)
        for (RgbColor& colour : palette)
            colour = RgbColor(uint8_t((random() % 32) * 8), uint8_t((random() % 32) * 8), uint8_t((random() % 32) * 8));

    // Every combination of set kinds in each of the three places, including none and
    // a 256-tile third set that runs past the tile area.
    const uint8_t choices[5] = {data.setByte(0), data.setByte(1), data.setByte(2), data.setByte(3), 255};
    for (int k = 0; k < 55; ++k) {
        Record& record = data.records[size_t(k)];
        record.sets = {choices[k % 5], choices[(k / 5 + 1) % 5], choices[(k + k / 5 + 2) % 5]};
        record.tileMap = uint8_t(k % 4 | (k % 3 == 0 ? 0x80 : 0)); // bit 7 is ignored
        record.palette = uint8_t(k % 56 | (k % 2 ? 0x80 : 0));     // bit 7 is ignored
    }
    return data;
}

uint8_t BackgroundRomData::setByte(size_t index) const
{
    return uint8_t(index | (sets[index].tileCount == 256 ? 0x80 : 0));
}

void BackgroundRomData::placeInto(RomBuilder& rom) const
{
    for (size_t k = 0; k < records.size(); ++k) {
        const Record& record = records[k];
        rom.putBytes(0x270000 + uint32_t(6 * k),
                     {record.sets[0], record.sets[1], record.sets[2], record.tileMap, 0x00, record.palette});
    }
    for (size_t p = 0; p < palettes.size(); ++p)
        for (size_t c = 0; c < 48; ++c)
            rom.putSnesColor(0x270150 + uint32_t(96 * p + 2 * c), palettes[p][c]);

    for (size_t s = 0; s < sets.size(); ++s) {
        const GraphicsSet& set = sets[s];
        rom.putBytes(0x271650 + uint32_t(3 * s),
                     {uint8_t(set.romOffset & 0xFF), uint8_t((set.romOffset >> 8) & 0xFF), bankOf(set.romOffset)});
        const std::vector<uint8_t> planar = planarTiles(set.pixels, set.tileCount);
        if (set.compressed)
            rom.putCompressed(set.romOffset, planar);
        else
            rom.putBytes(set.romOffset, planar);
    }

    uint32_t mapOffset = 0x272000;
    for (size_t m = 0; m < tileMaps.size(); ++m) {
        std::vector<uint8_t> bytes;
        for (uint16_t entry : tileMaps[m]) {
            bytes.push_back(uint8_t(entry & 0xFF));
            bytes.push_back(uint8_t(entry >> 8));
        }
        rom.putWord(0x271848 + uint32_t(2 * m), uint16_t(mapOffset - 0x270000));
        mapOffset += uint32_t(rom.putCompressed(mapOffset, bytes));
    }
}

IndexedImage BackgroundRomData::expectedImage(int k) const
{
    const Record& record = records[size_t(k)];
    std::vector<uint8_t> area(576 * 64, 0);
    const int firstTile[3] = {0, 128, 448};
    for (int s = 0; s < 3; ++s) {
        if (record.sets[size_t(s)] == 255)
            continue;
        const GraphicsSet& set = sets[record.sets[size_t(s)] & 0x7F];
        for (int t = 0; t < set.tileCount && firstTile[s] + t < 576; ++t)
            std::copy_n(set.pixels.begin() + 64 * t, 64, area.begin() + 64 * (firstTile[s] + t));
    }

    IndexedImage image;
    image.Create(256, 152);
    const auto& palette = palettes[size_t(record.palette & 0x7F)];
    for (int i = 0; i < 48; ++i)
        image.SetPaletteEntry(uint8_t(i), palette[size_t(i)]);
    const std::vector<uint16_t>& map = tileMaps[record.tileMap & 0x7F];
    for (int y = 8; y < 144; ++y) {
        for (int x = 64; x < 192; ++x) {
            const uint16_t entry = map[size_t((y / 8) * 32 + x / 8)];
            const int low = entry & 0xFF;
            const int high = entry >> 8;
            const int tile = low + ((high & 1) ? 64 : 0) + ((high & 2) ? 256 : 0);
            const int column = (high & 0x40) ? 7 - x % 8 : x % 8;
            const int row = (high & 0x80) ? 7 - y % 8 : y % 8;
            const int rowOfPalette = (high >> 2) & 15;
            image.setPixel(x, y, uint8_t(area[size_t(64 * tile + 8 * row + column)] + 16 * (rowOfPalette - 5)));
        }
    }
    return image;
}
