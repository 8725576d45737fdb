#include "rom/battle_background_set.h"

#include <algorithm>

#include "rom/lzss.h"
#include "rom/rom_file.h"
#include "rom/snes_color.h"
#include "rom/tile_codec.h"

namespace {

constexpr uint8_t noGraphicsSet = 255;
// Sets 0, 1 and 2 of a record fill the tile area from these tiles on.
constexpr int setFirstTile[3] = {0, 128, 448};

// Reads count bytes at a ROM offset; what lies past the end of the file reads as zero.
std::vector<uint8_t> readZeroFilled(RomFile& rom, int64_t romOffset, size_t count)
{
    std::vector<uint8_t> bytes(count, 0);
    if (romOffset >= 0 && romOffset <= int64_t(UINT32_MAX))
        rom.readAt(uint32_t(romOffset), bytes.data(), count);
    return bytes;
}

// An LZSS block at a ROM offset expanded into a zeroed buffer of setBufferSize.
std::vector<uint8_t> readCompressed(RomFile& rom, int64_t romOffset)
{
    const std::vector<uint8_t> block = readZeroFilled(rom, romOffset, 2 + lzssMaxData);
    std::vector<uint8_t> expanded(BattleBackgroundSet::setBufferSize, 0);
    decompressLzss(block.data(), block.size(), expanded.data(), expanded.size());
    return expanded;
}

} // namespace

bool BattleBackgroundSet::load(const std::string& path, bool copierHeader)
{
    RomFile rom;
    if (!rom.open(path, copierHeader))
        return false;

    const std::vector<uint8_t> paletteBytes = readZeroFilled(rom, paletteOffset, size_t(paletteColours) * 2);
    for (int i = 0; i < paletteColours; ++i)
        paletteTable[size_t(i)] = snesToRgb(paletteBytes[size_t(2 * i)], paletteBytes[size_t(2 * i + 1)]);

    for (int k = 0; k < count; ++k) {
        BattleBackground& background = backgrounds[size_t(k)];
        const std::vector<uint8_t> record = readZeroFilled(rom, recordOffset + 6 * uint32_t(k), 6);
        background.paletteNumber = record[5] & 0x7F;
        loadGraphics(rom, background, record.data());
        loadTileMap(rom, background, record[3]);
        decode(background);
    }
    return true;
}

void BattleBackgroundSet::loadGraphics(RomFile& rom, BattleBackground& background, const uint8_t* record)
{
    background.tiles.assign(size_t(BattleBackground::tileAreaTiles) * 64, 0);
    for (int set = 0; set < 3; ++set) {
        const uint8_t setByte = record[set];
        if (setByte == noGraphicsSet)
            continue;
        const std::vector<uint8_t> pointer = readZeroFilled(rom, graphicsPointerOffset + 3 * uint32_t(setByte & 0x7F), 3);
        const int bank = pointer[2];
        // A CPU address in the banks from 0xC0 on; anything below names no ROM byte.
        const int64_t setOffset = int64_t(bank - 0xC0) * 65536 + pointer[1] * 256 + pointer[0];
        const int tileCount = (setByte & 0x80) ? 256 : 128;
        const std::vector<uint8_t> data = bank >= firstCompressedBank
                                              ? readCompressed(rom, setOffset)
                                              : readZeroFilled(rom, setOffset, size_t(tileCount) * 32);
        // A 256-tile third set would run past the tile area; it stops at its end.
        const int lastTile = std::min(setFirstTile[set] + tileCount, BattleBackground::tileAreaTiles);
        for (int t = setFirstTile[set]; t < lastTile; ++t)
            decodeTile(data.data() + 32 * (t - setFirstTile[set]), background.tiles.data() + 64 * t, 16);
    }
}

void BattleBackgroundSet::loadTileMap(RomFile& rom, BattleBackground& background, uint8_t mapByte)
{
    const std::vector<uint8_t> pointer = readZeroFilled(rom, tileMapPointerOffset + 2 * uint32_t(mapByte & 0x7F), 2);
    const std::vector<uint8_t> map = readCompressed(rom, tileMapBase + uint32_t(pointer[0] | pointer[1] << 8));
    for (size_t n = 0; n < background.cells.size(); ++n)
        background.cells[n] = BackgroundCell::fromEntry(map[2 * n], map[2 * n + 1]);
}

void BattleBackgroundSet::decode(BattleBackground& background)
{
    IndexedImage& image = background.image;
    image.Create(BattleBackground::width, BattleBackground::height);
    for (int i = 0; i < BattleBackground::colours; ++i)
        image.SetPaletteEntry(uint8_t(i), paletteTable[size_t(background.paletteNumber * BattleBackground::colours + i)]);
    for (int row = 1; row <= 17; ++row) {
        for (int column = 8; column <= 23; ++column) {
            const BackgroundCell& cell = background.cell(column, row);
            uint8_t tile[64];
            std::copy_n(background.tiles.begin() + 64 * cell.tile, 64, tile);
            if (cell.flipX)
                mirrorTileHorizontal(tile);
            if (cell.flipY)
                mirrorTileVertical(tile);
            for (uint8_t& pixel : tile)
                pixel = uint8_t(pixel + cell.colorOffset);
            image.PutTile(tile, column, row);
        }
    }
    background.tiles.clear();
    background.tiles.shrink_to_fit();
}
