#include "rom/portrait_set.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "rom/rom_file.h"
#include "rom/rom_state.h"
#include "rom/snes_color.h"
#include "rom/tile_codec.h"

PortraitSet portraitSet;

const std::array<PortraitSet::GridPosition, Portrait::tileCount> PortraitSet::tileOrder = {{
    {0, 0}, {1, 0}, {2, 0}, {3, 0},         // 0-3: top row
    {0, 2}, {1, 2}, {2, 2}, {3, 2},         // 4-7: third row
    {4, 0}, {4, 1}, {4, 2}, {4, 3}, {4, 4}, // 8-12: right-hand column
    {0, 4}, {1, 4}, {2, 4},                 // 13-15: bottom row
    {0, 1}, {1, 1}, {2, 1}, {3, 1},         // 16-19: second row
    {0, 3}, {1, 3}, {2, 3}, {3, 3},         // 20-23: fourth row
    {3, 4},                                 // 24
}};

namespace {

constexpr int coloursPerPalette = 16;
constexpr size_t paletteFileSize = coloursPerPalette * 2;
constexpr size_t paletteAreaSize = PortraitSet::paletteCount * paletteFileSize; // 608
constexpr size_t tileAreaSize = PortraitSet::portraitCount * Portrait::blockSize;
// The tile area the game reserves holds 25 blocks; the load reads it whole.
constexpr size_t tileAreaRead = 25 * Portrait::blockSize;

int clampPortrait(int index)
{
    return std::clamp(index, 0, PortraitSet::portraitCount - 1);
}

void coloursFromWords(const uint8_t* words, std::array<RgbColor, 16>& colours)
{
    for (int i = 0; i < coloursPerPalette; ++i)
        colours[size_t(i)] = snesToRgb(words[2 * i], words[2 * i + 1]);
}

void wordsFromColours(const std::array<RgbColor, 16>& colours, uint8_t* words)
{
    for (int i = 0; i < coloursPerPalette; ++i) {
        const SnesWordBytes word = rgbToSnes(colours[size_t(i)]);
        words[2 * i] = word.low;
        words[2 * i + 1] = word.high;
    }
}

// Reads exactly count bytes of a whole file; false for a missing, unreadable or
// shorter file.
bool readFilePrefix(const std::string& path, uint8_t* destination, size_t count)
{
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (!in)
        return false;
    const bool complete = std::fread(destination, 1, count, in) == count;
    std::fclose(in);
    return complete;
}

bool writeWholeFile(const std::string& path, const uint8_t* source, size_t count)
{
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    const bool written = std::fwrite(source, 1, count, out) == count;
    return std::fclose(out) == 0 && written;
}

} // namespace

Portrait& PortraitSet::portrait(int portraitIndex)
{
    return portraits[size_t(clampPortrait(portraitIndex))];
}

const Portrait& PortraitSet::portrait(int portraitIndex) const
{
    return portraits[size_t(clampPortrait(portraitIndex))];
}

std::array<RgbColor, 16>& PortraitSet::palette(int paletteIndex)
{
    return palettes[size_t(std::clamp(paletteIndex, 0, paletteCount - 1))];
}

const std::array<RgbColor, 16>& PortraitSet::paletteOf(int portraitIndex) const
{
    return palettes[std::min<size_t>(portrait(portraitIndex).paletteIndex, paletteCount - 1)];
}

bool PortraitSet::load(const std::string& path)
{
    RomFile file;
    if (!file.open(path, romState.hasCopierHeader))
        return false;
    std::vector<uint8_t> paletteWords(paletteAreaSize);
    std::vector<uint8_t> indices(portraitCount);
    std::vector<uint8_t> tiles(tileAreaRead);
    const bool complete = file.readExact(palettesOffset, paletteWords.data(), paletteWords.size()) &&
                          file.readExact(paletteIndicesOffset, indices.data(), portraitCount - 1) &&
                          file.readExact(lastPaletteIndexOffset, &indices.back(), 1) &&
                          file.readExact(tilesOffset, tiles.data(), tiles.size());
    file.close();
    if (!complete)
        return false;

    for (int p = 0; p < paletteCount; ++p)
        coloursFromWords(paletteWords.data() + p * paletteFileSize, palettes[size_t(p)]);
    // An index past the last palette would name colours that are not in the table.
    for (int k = 0; k < portraitCount; ++k)
        portraits[size_t(k)].paletteIndex = std::min<uint8_t>(indices[size_t(k)], paletteCount - 1);
    for (int k = 0; k < portraitCount; ++k)
        decode(k, tiles.data() + size_t(k) * Portrait::blockSize);
    return true;
}

OperationResult PortraitSet::save(const std::string& path)
{
    std::vector<uint8_t> paletteWords(paletteAreaSize);
    for (int p = 0; p < paletteCount; ++p)
        wordsFromColours(palettes[size_t(p)], paletteWords.data() + p * paletteFileSize);
    std::vector<uint8_t> indices(portraitCount - 1);
    for (int k = 0; k < portraitCount - 1; ++k)
        indices[size_t(k)] = portraits[size_t(k)].paletteIndex;
    const uint8_t lastIndex = portraits[portraitCount - 1].paletteIndex;
    std::vector<uint8_t> tiles;
    tiles.reserve(tileAreaSize);
    for (int k = 0; k < portraitCount; ++k) {
        const auto& block = encode(k);
        tiles.insert(tiles.end(), block.begin(), block.end());
    }

    RomFile file;
    if (!file.open(path, romState.hasCopierHeader))
        return OperationResult::failure(portrait_messages::saveError);
    if (!file.holds(palettesOffset, paletteWords.size()) || !file.holds(lastPaletteIndexOffset, 1) ||
        !file.holds(tilesOffset, tiles.size())) {
        file.close();
        return OperationResult::failure(portrait_messages::saveError);
    }
    const bool written = file.writeAt(palettesOffset, paletteWords.data(), paletteWords.size()) &&
                         file.writeAt(paletteIndicesOffset, indices.data(), indices.size()) &&
                         file.writeAt(lastPaletteIndexOffset, &lastIndex, 1) &&
                         file.writeAt(tilesOffset, tiles.data(), tiles.size());
    const bool closed = file.close();
    if (!written || !closed)
        return OperationResult::failure(portrait_messages::saveError);
    return OperationResult::success();
}

void PortraitSet::decode(int portraitIndex, const uint8_t* block)
{
    Portrait& target = portrait(portraitIndex);
    std::copy_n(block, Portrait::blockSize, target.rawTiles.begin());
    target.image.Create(Portrait::side, Portrait::side);
    refreshPalette(portraitIndex);
    uint8_t tile[64];
    for (int t = 0; t < Portrait::tileCount; ++t) {
        decodeTile(block + t * 32, tile, 16);
        target.image.PutTile(tile, tileOrder[size_t(t)].column, tileOrder[size_t(t)].row);
    }
}

const std::array<uint8_t, Portrait::blockSize>& PortraitSet::encode(int portraitIndex)
{
    Portrait& target = portrait(portraitIndex);
    target.rawTiles.fill(0);
    for (int t = 0; t < Portrait::tileCount; ++t)
        encodeTile(target.image, tileOrder[size_t(t)].column, tileOrder[size_t(t)].row, target.rawTiles.data() + t * 32,
                   16);
    return target.rawTiles;
}

void PortraitSet::setPaletteIndex(int portraitIndex, int newPaletteIndex)
{
    portrait(portraitIndex).paletteIndex = uint8_t(std::clamp(newPaletteIndex, 0, paletteCount - 1));
    refreshPalette(portraitIndex);
}

void PortraitSet::refreshPalette(int portraitIndex)
{
    Portrait& target = portrait(portraitIndex);
    const auto& colours = paletteOf(portraitIndex);
    for (int i = 0; i < coloursPerPalette; ++i)
        target.image.SetPaletteEntry(uint8_t(i), colours[size_t(i)]);
}

void PortraitSet::clearImage(int portraitIndex)
{
    std::fill(portrait(portraitIndex).image.pixels.begin(), portrait(portraitIndex).image.pixels.end(), 0);
}

void PortraitSet::copyFrom(int portraitIndex, int sourceIndex)
{
    Portrait& target = portrait(portraitIndex);
    const Portrait& source = portrait(sourceIndex);
    if (&target == &source)
        return;
    if (target.image.Create(Portrait::side, Portrait::side))
        return;
    for (int y = 0; y < Portrait::side; ++y)
        for (int x = 0; x < Portrait::side; ++x)
            target.image.setPixel(x, y, source.image.hasPixels() && source.image.contains(x, y) ? source.image.pixel(x, y) : 0);
    palette(target.paletteIndex) = paletteOf(sourceIndex);
    refreshPalette(portraitIndex);
}

void PortraitSet::flip(int portraitIndex, int vertical)
{
    portrait(portraitIndex).image.Flip(vertical, false);
}

bool PortraitSet::importImage(int portraitIndex, const IndexedImage& source)
{
    if (!source.hasPixels() || source.width > Portrait::side || source.height > Portrait::side || source.colorCount > 16)
        return false;
    Portrait& target = portrait(portraitIndex);
    if (target.image.Create(Portrait::side, Portrait::side))
        return false;
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x)
            target.image.setPixel(x, y, uint8_t(source.pixel(x, y) & 0x0F));
    auto& colours = palette(target.paletteIndex);
    for (int i = 0; i < coloursPerPalette; ++i) {
        colours[size_t(i)] = source.palette[size_t(i)];
        target.image.SetPaletteEntry(uint8_t(i), source.palette[size_t(i)]);
    }
    return true;
}

void PortraitSet::setTransparentColour(int portraitIndex, int colourIndex)
{
    if (colourIndex <= 0 || colourIndex >= coloursPerPalette)
        return;
    Portrait& target = portrait(portraitIndex);
    target.image.SwapColors(0, colourIndex);
    auto& colours = palette(target.paletteIndex);
    std::swap(colours[0], colours[size_t(colourIndex)]);
}

std::string PortraitSet::paletteFileName(const std::string& binPath)
{
    if (binPath.size() <= 4)
        return binPath + ".pal";
    return binPath.substr(0, binPath.size() - 4) + ".pal";
}

OperationResult PortraitSet::exportRaw(int portraitIndex, const std::string& binPath)
{
    const auto& block = encode(portraitIndex);
    uint8_t words[paletteFileSize];
    wordsFromColours(paletteOf(portraitIndex), words);
    const bool tilesWritten = writeWholeFile(binPath, block.data(), block.size());
    const bool paletteWritten = tilesWritten && writeWholeFile(paletteFileName(binPath), words, sizeof words);
    if (!tilesWritten || !paletteWritten)
        return OperationResult::failure(portrait_messages::saveError);
    return OperationResult::success();
}

OperationResult PortraitSet::importRaw(int portraitIndex, const std::string& binPath)
{
    std::array<uint8_t, Portrait::blockSize> block{};
    if (!readFilePrefix(binPath, block.data(), block.size()))
        return OperationResult::failure(portrait_messages::openError);
    uint8_t words[paletteFileSize];
    if (readFilePrefix(paletteFileName(binPath), words, sizeof words))
        coloursFromWords(words, palette(portrait(portraitIndex).paletteIndex));
    decode(portraitIndex, block.data());
    return OperationResult::success();
}
