#include "rom/character_sprite_set.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "rom/rom_file.h"
#include "rom/rom_state.h"
#include "rom/snes_color.h"
#include "rom/tile_codec.h"

const std::array<RgbColor, 16> fixedCharacterPalette = {
    RgbColor(248, 40, 0),    RgbColor(88, 16, 64),   RgbColor(248, 248, 216), RgbColor(144, 0, 0),
    RgbColor(248, 248, 248), RgbColor(200, 128, 248), RgbColor(248, 248, 248), RgbColor(136, 112, 136),
    RgbColor(184, 144, 0),   RgbColor(144, 0, 0),    RgbColor(200, 128, 248), RgbColor(128, 88, 216),
    RgbColor(160, 40, 32),   RgbColor(240, 128, 80), RgbColor(112, 56, 0),    RgbColor(144, 120, 80),
};

namespace {

constexpr const char* saveErrorMessage = "Error saving character sprites data";
// A palette choice above this is not one the game uses for field sprites.
constexpr uint8_t highestPaletteChoice = 8;

bool validCharacter(int character)
{
    return character >= 0 && character < CharacterSpriteSet::characterCount;
}

// Where a layout entry sits on the sprite sheet: frame f at (16 (f mod 8), 24 (f div 8)),
// its tiles two across and three down.
int sheetX(int layoutEntry)
{
    return 16 * ((layoutEntry / 6) % 8) + 8 * (layoutEntry % 2);
}
int sheetY(int layoutEntry)
{
    return 24 * ((layoutEntry / 6) / 8) + 8 * ((layoutEntry % 6) / 2);
}

} // namespace

int CharacterSpriteSet::tileOffset(int frame, int tileInFrame) const
{
    const int offset = frameLayout[size_t(frame * 6 + tileInFrame)];
    // Tiles are 32 bytes; an entry between tiles or past the 181st names no tile.
    if (offset % 32 != 0 || offset + 32 > CharacterSprite::graphicsBytes)
        return -1;
    return offset;
}

bool CharacterSpriteSet::load(const std::string& path)
{
    RomFile rom;
    if (!rom.open(path, romState.hasCopierHeader))
        return false;
    if (!rom.holds(paletteOffset, size_t(paletteCount) * 32) || !rom.holds(graphicsBlockOffset, graphicsBlockSize))
        return false;

    uint8_t layoutBytes[layoutEntries * 2];
    uint8_t paletteBytes[paletteCount * 32];
    uint8_t paletteChoices[characterCount];
    uint8_t addressLow[characterCount * 2];
    uint8_t addressBank[characterCount * 2];
    std::vector<uint8_t> block(graphicsBlockSize);
    if (!rom.readExact(frameLayoutOffset, layoutBytes, sizeof layoutBytes) ||
        !rom.readExact(paletteOffset, paletteBytes, sizeof paletteBytes) ||
        !rom.readExact(graphicsBlockOffset, block.data(), block.size()) ||
        !rom.readExact(paletteIndexOffset, paletteChoices, sizeof paletteChoices) ||
        !rom.readExact(addressLowOffset, addressLow, sizeof addressLow) ||
        !rom.readExact(addressBankOffset, addressBank, sizeof addressBank))
        return false;
    rom.close();

    for (int i = 0; i < layoutEntries; ++i)
        frameLayout[size_t(i)] = uint16_t(layoutBytes[2 * i] | layoutBytes[2 * i + 1] << 8);
    for (int p = 0; p < paletteCount; ++p)
        for (int c = 0; c < 16; ++c)
            palettes[size_t(p)][size_t(c)] = snesToRgb(paletteBytes[p * 32 + c * 2], paletteBytes[p * 32 + c * 2 + 1]);

    for (int c = 0; c < characterCount; ++c) {
        CharacterSprite& sprite = characters[size_t(c)];
        sprite.paletteIndex = paletteChoices[c] > highestPaletteChoice ? 0 : paletteChoices[c];
        sprite.hasFixedPalette = c == fixedPaletteCharacter;
        sprite.graphicsOffset =
            int32_t(addressBank[2 * c]) << 16 | int32_t(addressLow[2 * c + 1]) << 8 | addressLow[2 * c];
        sprite.graphicsOffset -= graphicsBlockAddress;
        sprite.graphicsInBlock = sprite.graphicsOffset >= 0 &&
                                 sprite.graphicsOffset + CharacterSprite::graphicsBytes <= int32_t(graphicsBlockSize);
        std::fill(sprite.tilePixels.begin(), sprite.tilePixels.end(), 0);
        if (sprite.graphicsInBlock) {
            for (int t = 0; t < CharacterSprite::tileCount; ++t)
                decodeTile(block.data() + sprite.graphicsOffset + t * 32, sprite.tilePixels.data() + t * 64, 16);
        }
        rebuildFrames(c);
    }
    return true;
}

const std::array<RgbColor, 16>& CharacterSpriteSet::displayPalette(int character) const
{
    const CharacterSprite& sprite = characters[size_t(character)];
    return sprite.hasFixedPalette ? fixedCharacterPalette : ownPalette(character);
}

void CharacterSpriteSet::rebuildFrames(int character)
{
    if (!validCharacter(character))
        return;
    CharacterSprite& sprite = characters[size_t(character)];
    const std::array<RgbColor, 16>& colours = displayPalette(character);
    for (int f = 0; f < CharacterSprite::frameCount; ++f) {
        IndexedImage& frame = sprite.frames[size_t(f)];
        frame.Create(CharacterSprite::frameWidth, CharacterSprite::frameHeight);
        for (int i = 0; i < 16; ++i)
            frame.SetPaletteEntry(uint8_t(i), colours[size_t(i)]);
        for (int t = 0; t < 6; ++t) {
            const int offset = tileOffset(f, t);
            if (offset >= 0)
                frame.PutTile(sprite.tilePixels.data() + 2 * offset, t % 2, t / 2);
        }
    }
}

void CharacterSpriteSet::setPixel(int character, int frame, int x, int y, uint8_t index)
{
    if (!validCharacter(character) || frame < 0 || frame >= CharacterSprite::frameCount || x < 0 ||
        x >= CharacterSprite::frameWidth || y < 0 || y >= CharacterSprite::frameHeight)
        return;
    const int offset = tileOffset(frame, 2 * (y / 8) + x / 8);
    if (offset < 0)
        return;
    characters[size_t(character)].tilePixels[size_t(2 * offset + 8 * (y % 8) + x % 8)] = index;
    rebuildFrames(character);
}

void CharacterSpriteSet::refreshPalette(int character)
{
    if (!validCharacter(character) || characters[size_t(character)].hasFixedPalette)
        return;
    CharacterSprite& sprite = characters[size_t(character)];
    for (IndexedImage& frame : sprite.frames)
        for (int i = 0; i < 16; ++i)
            frame.SetPaletteEntry(uint8_t(i), ownPalette(character)[size_t(i)]);
}

// The frames are what the user sees and what the save writes; carrying them back into
// the shared tiles (the first frame that shows a tile decides, as in the save) keeps
// an edit that changed only the frames alive through the next rebuild.
void CharacterSpriteSet::storeFramesInTiles(int character)
{
    CharacterSprite& sprite = characters[size_t(character)];
    std::array<bool, CharacterSprite::tileCount> taken{};
    for (int f = 0; f < CharacterSprite::frameCount; ++f) {
        const IndexedImage& frame = sprite.frames[size_t(f)];
        for (int t = 0; t < 6; ++t) {
            const int offset = tileOffset(f, t);
            if (offset < 0 || taken[size_t(offset / 32)] || !frame.hasPixels())
                continue;
            taken[size_t(offset / 32)] = true;
            for (int row = 0; row < 8; ++row)
                for (int col = 0; col < 8; ++col)
                    sprite.tilePixels[size_t(2 * offset + row * 8 + col)] = frame.pixel(8 * (t % 2) + col, 8 * (t / 2) + row);
        }
    }
}

void CharacterSpriteSet::clearImage(int character)
{
    if (!validCharacter(character))
        return;
    CharacterSprite& sprite = characters[size_t(character)];
    for (IndexedImage& frame : sprite.frames) {
        frame.Create(CharacterSprite::frameWidth, CharacterSprite::frameHeight);
        for (int i = 0; i < 16; ++i)
            frame.SetPaletteEntry(uint8_t(i), ownPalette(character)[size_t(i)]);
    }
    storeFramesInTiles(character);
}

void CharacterSpriteSet::flip(int character, int vertical)
{
    if (!validCharacter(character))
        return;
    for (IndexedImage& frame : characters[size_t(character)].frames)
        frame.Flip(vertical, false);
    storeFramesInTiles(character);
}

void CharacterSpriteSet::copyFrom(int character, int sourceCharacter, int frame)
{
    if (!validCharacter(character) || !validCharacter(sourceCharacter) || character == sourceCharacter)
        return;
    CharacterSprite& sprite = characters[size_t(character)];
    const CharacterSprite& source = characters[size_t(sourceCharacter)];
    if (frame == -1) {
        sprite.tilePixels = source.tilePixels;
        sprite.paletteIndex = source.paletteIndex;
    } else if (frame >= 0 && frame < CharacterSprite::frameCount) {
        for (int t = 0; t < 6; ++t) {
            const int offset = tileOffset(frame, t);
            if (offset >= 0)
                std::copy_n(source.tilePixels.begin() + 2 * offset, 64, sprite.tilePixels.begin() + 2 * offset);
        }
    }
    rebuildFrames(character);
}

void CharacterSpriteSet::importImage(int character, const IndexedImage& sheet)
{
    if (!validCharacter(character))
        return;
    CharacterSprite& sprite = characters[size_t(character)];
    for (int k = 0; k < CharacterSprite::tileCount; ++k) {
        const auto* first = std::find(frameLayout.begin(), frameLayout.end(), uint16_t(32 * k));
        if (first == frameLayout.end())
            continue; // never shown, never written: the tile keeps what it held
        const int entry = int(first - frameLayout.begin());
        for (int row = 0; row < 8; ++row) {
            for (int col = 0; col < 8; ++col) {
                const int x = sheetX(entry) + col;
                const int y = sheetY(entry) + row;
                const bool inside = sheet.hasPixels() && sheet.contains(x, y);
                sprite.tilePixels[size_t(64 * k + 8 * row + col)] = inside ? sheet.pixel(x, y) : 0;
            }
        }
    }
    for (int i = 0; i < 16; ++i)
        ownPalette(character)[size_t(i)] = sheet.palette[size_t(i)];
    rebuildFrames(character);
}

void CharacterSpriteSet::setTransparentColour(int character, int index)
{
    if (!validCharacter(character) || characters[size_t(character)].hasFixedPalette || index < 0 || index > 15)
        return;
    CharacterSprite& sprite = characters[size_t(character)];
    for (IndexedImage& frame : sprite.frames)
        frame.SwapColors(0, index);
    std::swap(ownPalette(character)[0], ownPalette(character)[size_t(index)]);
    storeFramesInTiles(character);
}

void CharacterSpriteSet::encodeFrames(const CharacterSprite& sprite,
                                      std::array<uint8_t, CharacterSprite::graphicsBytes>& graphics,
                                      std::array<bool, CharacterSprite::tileCount>& taken) const
{
    graphics.fill(0);
    taken.fill(false);
    for (int f = 0; f < CharacterSprite::frameCount; ++f) {
        for (int t = 0; t < 6; ++t) {
            const int offset = tileOffset(f, t);
            if (offset < 0 || taken[size_t(offset / 32)])
                continue;
            // The first frame that shows a tile decides its content.
            encodeTile(sprite.frames[size_t(f)], t % 2, t / 2, graphics.data() + offset, 16);
            taken[size_t(offset / 32)] = true;
        }
    }
}

OperationResult CharacterSpriteSet::save(const std::string& path) const
{
    RomFile rom;
    if (!rom.open(path, romState.hasCopierHeader) || !rom.holds(paletteOffset, size_t(paletteCount) * 32) ||
        !rom.holds(paletteCopyOffset, size_t(copiedPalettes) * 32) || !rom.holds(graphicsBlockOffset, graphicsBlockSize))
        return OperationResult::failure(saveErrorMessage);

    std::vector<uint8_t> paletteBytes;
    for (const auto& palette : palettes) {
        for (const RgbColor& colour : palette) {
            const SnesWordBytes word = rgbToSnes(colour);
            paletteBytes.push_back(word.low);
            paletteBytes.push_back(word.high);
        }
    }
    bool written = rom.writeAt(paletteOffset, paletteBytes.data(), paletteBytes.size()) &&
                   rom.writeAt(paletteCopyOffset, paletteBytes.data(), size_t(copiedPalettes) * 32);

    std::array<uint8_t, CharacterSprite::graphicsBytes> graphics;
    std::array<bool, CharacterSprite::tileCount> taken;
    for (int c = 0; c < characterCount && written; ++c) {
        const CharacterSprite& sprite = characters[size_t(c)];
        written = rom.writeAt(paletteIndexOffset + uint32_t(c), &sprite.paletteIndex, 1);
        if (!sprite.graphicsInBlock)
            continue;
        encodeFrames(sprite, graphics, taken);
        // Tiles no frame shows keep their bytes in the ROM.
        for (int t = 0; t < CharacterSprite::tileCount && written; ++t) {
            if (taken[size_t(t)])
                written = rom.writeAt(graphicsBlockOffset + uint32_t(sprite.graphicsOffset + t * 32),
                                      graphics.data() + t * 32, 32);
        }
    }
    if (!rom.close() || !written)
        return OperationResult::failure(saveErrorMessage);
    return OperationResult::success();
}
