#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "rom/battle_background.h"
#include "image/rgb_color.h"

class RomFile;

// The 55 battle backgrounds, read once per run. Only the 128x136 middle of each
// picture (tile columns 8-23, rows 1-17) is decoded: only it is ever shown.
class BattleBackgroundSet {
public:
    static constexpr int count = 55;
    static constexpr uint32_t recordOffset = 0x270000;
    static constexpr uint32_t paletteOffset = 0x270150;
    static constexpr int paletteColours = 6144; // 128 palettes of 48
    static constexpr uint32_t graphicsPointerOffset = 0x271650;
    static constexpr uint32_t tileMapPointerOffset = 0x271848;
    static constexpr uint32_t tileMapBase = 0x270000;
    // Graphics sets in this bank and above are LZSS-compressed; below it they are plain.
    static constexpr int firstCompressedBank = 231;
    static constexpr int setBufferSize = 8192;

    std::array<BattleBackground, count> backgrounds;
    std::vector<RgbColor> paletteTable = std::vector<RgbColor>(paletteColours);

    // Decodes all 55 from the ROM. A file that cannot be opened leaves every
    // background empty (false); bytes past the end of a short file read as zero.
    bool load(const std::string& path, bool copierHeader);

private:
    void loadGraphics(RomFile& rom, BattleBackground& background, const uint8_t* record);
    void loadTileMap(RomFile& rom, BattleBackground& background, uint8_t mapByte);
    void decode(BattleBackground& background);
};
