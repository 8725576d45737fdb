#include "support/character_rom_data.h"

#include <random>

#include "support/rom_builder.h"

CharacterRomData CharacterRomData::make(unsigned seed)
{
    CharacterRomData data;
    std::mt19937 random(seed);
    for (size_t i = 0; i < data.frameLayout.size(); ++i)
        data.frameLayout[i] = uint16_t(32 * (i % 150));
    for (auto& palette : data.palettes)
        for (RgbColor& colour : palette)
            colour = RgbColor(uint8_t((random() % 32) * 8), uint8_t((random() % 32) * 8), uint8_t((random() % 32) * 8));
    for (int c = 0; c < characters; ++c) {
        data.paletteChoice[size_t(c)] = uint8_t(c % 9);
        data.graphicsOffset[size_t(c)] = c * tiles * 32;
        std::vector<uint8_t> pixels(size_t(tiles) * 64);
        for (uint8_t& p : pixels)
            p = uint8_t(random() % 16);
        data.tilePixels.push_back(std::move(pixels));
    }
    return data;
}

void CharacterRomData::placeInto(RomBuilder& rom) const
{
    for (size_t i = 0; i < frameLayout.size(); ++i)
        rom.putWord(0x00CE3A + uint32_t(2 * i), frameLayout[i]);
    for (size_t p = 0; p < palettes.size(); ++p) {
        for (size_t c = 0; c < 16; ++c) {
            rom.putSnesColor(0x268000 + uint32_t(32 * p + 2 * c), palettes[p][c]);
            if (p < 6)
                rom.putSnesColor(0x2D6300 + uint32_t(32 * p + 2 * c), palettes[p][c]);
        }
    }
    for (int c = 0; c < characters; ++c) {
        rom.putByte(0x02CE2B + uint32_t(c), paletteChoice[size_t(c)]);
        const uint32_t address = 0xD50000u + uint32_t(graphicsOffset[size_t(c)]);
        rom.putWord(0x00D0F2 + uint32_t(2 * c), uint16_t(address & 0xFFFF));
        rom.putWord(0x00D23C + uint32_t(2 * c), uint16_t(address >> 16));
        for (int t = 0; t < tiles; ++t)
            rom.putTile(0x150000 + uint32_t(graphicsOffset[size_t(c)] + 32 * t), tilePixels[size_t(c)].data() + 64 * t, 16);
    }
}

uint8_t CharacterRomData::framePixel(int character, int frame, int x, int y) const
{
    const int offset = frameLayout[size_t(6 * frame + 2 * (y / 8) + x / 8)];
    return tilePixels[size_t(character)][size_t(2 * offset + 8 * (y % 8) + x % 8)];
}
