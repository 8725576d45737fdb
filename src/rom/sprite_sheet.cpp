#include "rom/sprite_sheet.h"

#include "rom/character_sprite_set.h"

IndexedImage composeSpriteSheet(const CharacterSpriteSet& set, int character)
{
    IndexedImage sheet;
    if (character < 0 || character >= CharacterSpriteSet::characterCount || sheet.Create(spriteSheetSize, spriteSheetSize))
        return sheet;
    const CharacterSprite& sprite = set.characters[size_t(character)];
    for (int i = 0; i < 16; ++i)
        sheet.SetPaletteEntry(uint8_t(i), sprite.frames[0].palette[size_t(i)]);
    for (int f = 0; f < CharacterSprite::frameCount; ++f) {
        const IndexedImage& frame = sprite.frames[size_t(f)];
        if (!frame.hasPixels())
            continue;
        const int left = 16 * (f % 8);
        const int top = 24 * (f / 8);
        for (int y = 0; y < CharacterSprite::frameHeight; ++y)
            for (int x = 0; x < CharacterSprite::frameWidth; ++x)
                sheet.setPixel(left + x, top + y, frame.pixel(x, y));
    }
    return sheet;
}
