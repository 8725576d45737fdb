#include "rom/export_pictures.h"

#include <algorithm>

#include "rom/monster_graphic.h"
#include "rom/portrait_set.h"

IndexedImage monsterExportPicture(const MonsterGraphic& entry)
{
    const MonsterGraphic::PixelExtent extent = entry.usedExtent();
    IndexedImage picture;
    if (picture.Create(std::max(extent.width, 8), std::max(extent.height, 8)))
        return picture;
    for (int i = 0; i < entry.colourCount; ++i)
        picture.SetPaletteEntry(uint8_t(i), entry.paletteColour(i));
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            picture.setPixel(x, y, entry.getPixel(x, y));
    return picture;
}

IndexedImage portraitPicture(const PortraitSet& set, int portraitIndex)
{
    const Portrait& portrait = set.portrait(portraitIndex);
    IndexedImage picture;
    if (picture.Create(Portrait::side, Portrait::side))
        return picture;
    const auto& colours = set.paletteOf(portraitIndex);
    for (int i = 0; i < 16; ++i)
        picture.SetPaletteEntry(uint8_t(i), colours[size_t(i)]);
    for (int y = 0; y < Portrait::side; ++y)
        for (int x = 0; x < Portrait::side; ++x)
            picture.setPixel(x, y, portrait.image.hasPixels() && portrait.image.contains(x, y) ? portrait.image.pixel(x, y) : 0);
    return picture;
}
