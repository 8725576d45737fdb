#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "image/indexed_image.h"
#include "rom/character_sprite.h"
#include "rom/operation_result.h"

// The field sprites of the 22 playable and guest characters, their 32 palettes and the
// frame layout all characters share.
class CharacterSpriteSet {
public:
    static constexpr int characterCount = 22;
    static constexpr int paletteCount = 32;
    static constexpr int layoutEntries = CharacterSprite::frameCount * 6;
    // Esper Terra is always drawn with a palette of her own, not with a ROM entry.
    static constexpr int fixedPaletteCharacter = 18;

    static constexpr uint32_t frameLayoutOffset = 0x00CE3A;
    static constexpr uint32_t addressLowOffset = 0x00D0F2;
    static constexpr uint32_t addressBankOffset = 0x00D23C;
    static constexpr uint32_t graphicsBlockOffset = 0x150000;
    static constexpr uint32_t graphicsBlockSize = 0x35000;
    static constexpr uint32_t paletteOffset = 0x268000;
    static constexpr uint32_t paletteIndexOffset = 0x02CE2B;
    static constexpr uint32_t paletteCopyOffset = 0x2D6300; // palettes 0-5 again
    static constexpr int copiedPalettes = 6;
    // Graphics addresses are CPU addresses; the block starts at 0xD50000.
    static constexpr int32_t graphicsBlockAddress = 0xD50000;

    std::array<std::array<RgbColor, 16>, paletteCount> palettes{};
    std::array<uint16_t, layoutEntries> frameLayout{};
    std::array<CharacterSprite, characterCount> characters;

    // Reads every character; false (set unchanged) when the file cannot be opened or
    // is too short to hold the areas read.
    bool load(const std::string& path);
    // Writes palettes, palette choices and the tiles some frame shows. Nothing is
    // written when the file cannot be opened or does not hold every area written.
    OperationResult save(const std::string& path) const;

    void rebuildFrames(int character);
    void setPixel(int character, int frame, int x, int y, uint8_t index);
    void refreshPalette(int character);
    void clearImage(int character);
    void flip(int character, int vertical);
    void copyFrom(int character, int sourceCharacter, int frame);
    void importImage(int character, const IndexedImage& sheet);
    void setTransparentColour(int character, int index);

    // The colours a character's frames are drawn with.
    const std::array<RgbColor, 16>& displayPalette(int character) const;
    // The palette entry a character uses, also for the one drawn with fixed colours.
    std::array<RgbColor, 16>& ownPalette(int character)
    {
        return palettes[characters[size_t(character)].paletteIndex % paletteCount];
    }
    const std::array<RgbColor, 16>& ownPalette(int character) const
    {
        return palettes[characters[size_t(character)].paletteIndex % paletteCount];
    }
    // Byte offset of frame tile (frame, 2 * row + column) in the character's graphics,
    // or -1 when the layout entry does not name one of the 181 tiles.
    int tileOffset(int frame, int tileInFrame) const;

private:
    void encodeFrames(const CharacterSprite& sprite, std::array<uint8_t, CharacterSprite::graphicsBytes>& graphics,
                      std::array<bool, CharacterSprite::tileCount>& taken) const;
    void storeFramesInTiles(int character);
};

// The colours character 18 is always drawn with.
extern const std::array<RgbColor, 16> fixedCharacterPalette;
