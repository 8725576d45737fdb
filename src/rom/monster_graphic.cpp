#include "rom/monster_graphic.h"

#include <algorithm>
#include <cstring>

#include "rom/monster_set.h"
#include "rom/tile_codec.h"

namespace {

int gridOf(bool isLarge)
{
    return isLarge ? 16 : 8;
}

// Depth bits the stored form keeps: 3 for 8 colours, 4 for 16.
uint8_t depthMask(int colourCount)
{
    return colourCount == 8 ? 0x07 : 0x0F;
}

} // namespace

RgbColor MonsterGraphic::paletteColour(int colourIndex) const
{
    return set_ ? set_->palettes(paletteIndex, colourIndex) : RgbColor{};
}

void MonsterGraphic::keepPaletteInTable()
{
    // A 16-colour entry uses two palettes, so the last palette it can start at is
    // one earlier than for 8 colours.
    const int last = MonsterSet::paletteCount - (colourCount == 8 ? 1 : 2);
    paletteIndex = std::clamp(paletteIndex, 0, last);
}

void MonsterGraphic::applyPalette()
{
    for (int i = 0; i < colourCount; ++i)
        image.SetPaletteEntry(uint8_t(i), paletteColour(i));
}

void MonsterGraphic::createBlank()
{
    image.Create(side(), side());
    applyPalette();
}

void MonsterGraphic::storeAgain()
{
    updateMold();
    encode();
}

void MonsterGraphic::decode()
{
    const GraphicsSlot& slot = set_->slots[slotIndex];
    decode(slot.data.data(), slot.data.size());
}

void MonsterGraphic::decode(const uint8_t* source, size_t length)
{
    const GraphicsSlot& slot = set_->slots[slotIndex];
    moldIndex = slot.moldIndex;
    isLarge = slot.isLarge;
    colourCount = slot.colourCount == 8 ? 8 : 16;
    keepPaletteInTable();
    createBlank();

    const uint8_t* cells = set_->moldCells(isLarge, moldIndex);
    if (!cells)
        return;
    const int grid = gridOf(isLarge);
    const size_t bytesPerTile = size_t(tileBytes(colourCount));
    size_t position = 0;
    uint8_t tile[64];
    for (int cell = 0; cell < grid * grid; ++cell) {
        if (!cells[cell])
            continue;
        if (position + bytesPerTile > length)
            return; // the stored graphic ends early: the rest stays blank
        decodeTile(source + position, tile, colourCount);
        image.PutTile(tile, cell % grid, cell / grid);
        position += bytesPerTile;
    }
}

void MonsterGraphic::encode()
{
    GraphicsSlot& slot = set_->slots[slotIndex];
    const uint8_t* cells = set_->moldCells(isLarge, moldIndex);
    slot.moldIndex = moldIndex;
    slot.colourCount = colourCount;
    slot.isLarge = isLarge;
    slot.size = MonsterSet::storedSize(cells, isLarge, colourCount);
    slot.data.assign(slot.size, 0);
    if (!cells)
        return;
    const int grid = gridOf(isLarge);
    const size_t bytesPerTile = size_t(tileBytes(colourCount));
    size_t position = 0;
    for (int cell = 0; cell < grid * grid; ++cell) {
        if (!cells[cell])
            continue;
        encodeTile(image, cell % grid, cell / grid, slot.data.data() + position, colourCount);
        position += bytesPerTile;
    }
}

void MonsterGraphic::updateMold()
{
    const int grid = gridOf(isLarge);
    std::array<uint8_t, 256> cells{};
    const int scanWidth = std::min(image.hasPixels() ? image.width : 0, grid * 8);
    const int scanHeight = std::min(image.hasPixels() ? image.height : 0, grid * 8);
    const int wholeTiles = scanWidth / 8;
    bool anySet = false;
    for (int y = 0; y < scanHeight; ++y) {
        const uint8_t* row = image.pixels.data() + size_t(y) * size_t(image.width);
        uint8_t* cellRow = cells.data() + (y / 8) * grid;
        // Eight pixels of a tile row at a time: any non-zero byte marks the tile.
        for (int column = 0; column < wholeTiles; ++column) {
            uint64_t eight;
            std::memcpy(&eight, row + column * 8, 8);
            if (eight) {
                cellRow[column] = 1;
                anySet = true;
            }
        }
        for (int x = wholeTiles * 8; x < scanWidth; ++x) {
            if (row[x]) {
                cellRow[x / 8] = 1;
                anySet = true;
            }
        }
    }
    if (!anySet)
        cells[0] = 1; // a blank picture still stores its top-left tile

    if (isLarge) {
        auto& molds = set_->largeMolds;
        for (size_t m = 0; m < molds.size(); ++m) {
            if (std::memcmp(molds[m].data(), cells.data(), 256) == 0) {
                moldIndex = int(m);
                return;
            }
        }
        MonsterSet::LargeMold mold;
        std::copy_n(cells.begin(), 256, mold.begin());
        molds.push_back(mold);
        moldIndex = int(molds.size()) - 1;
    } else {
        auto& molds = set_->smallMolds;
        for (size_t m = 0; m < molds.size(); ++m) {
            if (std::memcmp(molds[m].data(), cells.data(), 64) == 0) {
                moldIndex = int(m);
                return;
            }
        }
        MonsterSet::SmallMold mold;
        std::copy_n(cells.begin(), 64, mold.begin());
        molds.push_back(mold);
        moldIndex = int(molds.size()) - 1;
    }
}

uint8_t MonsterGraphic::getPixel(int x, int y) const
{
    if (!image.hasPixels() || !image.contains(x, y))
        return 0;
    return image.pixel(x, y);
}

int MonsterGraphic::setPixel(int x, int y, uint8_t index)
{
    if (image.hasPixels() && image.contains(x, y))
        image.setPixel(x, y, uint8_t(index & depthMask(colourCount)));
    updateMold();
    return moldIndex;
}

void MonsterGraphic::setPaletteIndex(int newPaletteIndex)
{
    paletteIndex = newPaletteIndex;
    keepPaletteInTable();
    applyPalette();
}

void MonsterGraphic::setColourCount(int newColourCount)
{
    if (newColourCount != 8 && newColourCount != 16)
        return;
    colourCount = uint8_t(newColourCount);
    keepPaletteInTable();
    encode();
    decode();
}

void MonsterGraphic::setLarge(bool large)
{
    isLarge = large;
    updateMold();
    encode();
    decode();
}

bool MonsterGraphic::setSlot(int newSlotIndex)
{
    if (newSlotIndex < 0 || newSlotIndex >= set_->slotsUsed)
        return false;
    slotIndex = uint16_t(newSlotIndex);
    decode();
    return true;
}

bool MonsterGraphic::newImage()
{
    if (set_->slotsUsed >= MonsterSet::maxSlots)
        return false;
    GraphicsSlot& slot = set_->slots[size_t(set_->slotsUsed)];
    slot = GraphicsSlot{};
    slotIndex = uint16_t(set_->slotsUsed++);
    createBlank();
    storeAgain();
    return true;
}

void MonsterGraphic::clearImage()
{
    createBlank();
    storeAgain();
}

void MonsterGraphic::copyFrom(int entryIndex)
{
    if (entryIndex < 0 || entryIndex >= MonsterSet::entryCount)
        return;
    const MonsterGraphic& source = set_->graphics[size_t(entryIndex)];
    if (source.slotIndex == slotIndex)
        return;
    const GraphicsSlot& sourceSlot = set_->slots[source.slotIndex];
    moldIndex = sourceSlot.moldIndex;
    colourCount = sourceSlot.colourCount == 8 ? 8 : 16;
    isLarge = sourceSlot.isLarge;
    keepPaletteInTable();

    // Through a copy: the two palette ranges may overlap.
    std::array<RgbColor, 16> colours{};
    for (int i = 0; i < colourCount; ++i)
        colours[size_t(i)] = source.paletteColour(i);
    for (int i = 0; i < colourCount; ++i)
        set_->palettes(paletteIndex, i) = colours[size_t(i)];

    createBlank();
    const uint8_t mask = depthMask(colourCount);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            image.setPixel(x, y, uint8_t(source.getPixel(x, y) & mask));
    encode();
}

bool MonsterGraphic::importImage(const IndexedImage& source)
{
    if (!source.hasPixels() || source.width > 128 || source.height > 128 || source.colorCount > 16)
        return false;
    isLarge = source.width > 64 || source.height > 64;
    colourCount = source.colorCount > 8 ? 16 : 8;
    keepPaletteInTable();
    for (int i = 0; i < colourCount; ++i)
        set_->palettes(paletteIndex, i) = source.palette[size_t(i)];
    createBlank();
    const uint8_t mask = depthMask(colourCount);
    for (int y = 0; y < std::min(image.height, source.height); ++y)
        for (int x = 0; x < std::min(image.width, source.width); ++x)
            image.setPixel(x, y, uint8_t(source.pixel(x, y) & mask));
    // The current mold may belong to the other size's table, so the mold is found
    // for the new picture before it is stored.
    storeAgain();
    return true;
}

void MonsterGraphic::flip(int vertical)
{
    image.Flip(vertical, true);
    storeAgain();
}

void MonsterGraphic::setTransparentColour(int colourIndex)
{
    if (colourIndex <= 0 || colourIndex >= colourCount || !image.hasPixels())
        return;
    // Tiles the mold does not store are transparent in the game; they stay so once
    // the two colours have traded places.
    const uint8_t* cells = set_->moldCells(isLarge, moldIndex);
    const int grid = gridOf(isLarge);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const int column = x / 8;
            const int row = y / 8;
            const bool stored = cells && column < grid && row < grid && cells[row * grid + column];
            if (!stored)
                image.setPixel(x, y, uint8_t(colourIndex));
        }
    }
    image.SwapColors(0, colourIndex);
    std::swap(set_->palettes(paletteIndex, 0), set_->palettes(paletteIndex, colourIndex));
    storeAgain();
}

MonsterGraphic::PixelExtent MonsterGraphic::usedExtent() const
{
    const uint8_t* cells = set_ ? set_->moldCells(isLarge, moldIndex) : nullptr;
    if (!cells)
        return {};
    const int grid = gridOf(isLarge);
    int lastColumn = -1;
    int lastRow = -1;
    for (int cell = 0; cell < grid * grid; ++cell) {
        if (cells[cell]) {
            lastColumn = std::max(lastColumn, cell % grid);
            lastRow = std::max(lastRow, cell / grid);
        }
    }
    return {8 * (lastColumn + 1), 8 * (lastRow + 1)};
}
