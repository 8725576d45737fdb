#include "support/monster_rom_data.h"

#include <algorithm>
#include <stdexcept>

#include "rom/tile_codec.h"
#include "support/rom_builder.h"

namespace {

constexpr uint32_t monsterNamesOffset = 0x0FC050;
constexpr uint32_t esperNamesOffset = 0x26F6E1;
constexpr uint32_t recordsOffset = 0x127000;
constexpr uint32_t palettesOffset = 0x127820;
constexpr uint32_t moldStartWords = 0x31A820;
constexpr uint32_t graphicsBase = 0x320000;


// Small deterministic generator, so the sample is the same on every run.
struct Lcg {
    uint32_t state;
    uint32_t next()
    {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
};

template <size_t cellCount>
std::vector<std::array<uint8_t, cellCount>> distinctMolds(size_t count, uint32_t seed, uint32_t oneIn)
{
    std::vector<std::array<uint8_t, cellCount>> molds;
    Lcg random{seed};
    while (molds.size() < count) {
        std::array<uint8_t, cellCount> cells{};
        bool any = false;
        for (auto& cell : cells) {
            cell = random.next() % oneIn == 0 ? 1 : 0;
            any = any || cell;
        }
        if (any && std::find(molds.begin(), molds.end(), cells) == molds.end())
            molds.push_back(cells);
    }
    return molds;
}

} // namespace

std::vector<uint8_t> packMoldCells(const uint8_t* cells, size_t cellCount)
{
    std::vector<uint8_t> packed(cellCount / 8, 0);
    for (size_t cell = 0; cell < cellCount; ++cell)
        if (cells[cell])
            packed[cell / 8] |= uint8_t(0x80 >> (cell % 8));
    return packed;
}

std::vector<uint8_t> MonsterRomData::patternPicture(bool isLarge, const uint8_t* cells, int colourCount, int seed)
{
    const int grid = isLarge ? 16 : 8;
    const int side = grid * 8;
    std::vector<uint8_t> pixels(size_t(side * side), 0);
    for (int cell = 0; cell < grid * grid; ++cell) {
        if (!cells[cell])
            continue;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                pixels[size_t((cell / grid * 8 + y) * side + cell % grid * 8 + x)] =
                    uint8_t((x * 3 + y * 5 + seed + cell) % colourCount);
    }
    return pixels;
}

void MonsterRomData::placeGraphic(uint16_t pointer, const std::vector<uint8_t>& pixels, bool isLarge, int colourCount,
                                  int moldIndex)
{
    const int grid = isLarge ? 16 : 8;
    const int side = grid * 8;
    if (pixels.size() != size_t(side * side))
        throw std::invalid_argument("MonsterRomData: picture does not match its size");
    const uint8_t* cells = isLarge ? largeMolds.at(size_t(moldIndex)).data() : smallMolds.at(size_t(moldIndex)).data();
    Placed item{pointer, {}, std::vector<uint8_t>(pixels.size(), 0)};
    const size_t tileSize = size_t(tileBytes(colourCount));
    for (int cell = 0; cell < grid * grid; ++cell) {
        if (!cells[cell])
            continue;
        uint8_t tile[64];
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                const size_t at = size_t((cell / grid * 8 + y) * side + cell % grid * 8 + x);
                tile[y * 8 + x] = uint8_t(pixels[at] & (colourCount - 1));
                item.pixels[at] = tile[y * 8 + x];
            }
        }
        std::vector<uint8_t> planar(tileSize);
        encodeTilePixels(tile, planar.data(), colourCount);
        item.bytes.insert(item.bytes.end(), planar.begin(), planar.end());
    }
    if (item.bytes.empty())
        item.bytes.assign(8, 0);
    nextPointer_ = std::max<uint16_t>(nextPointer_, uint16_t(pointer + item.bytes.size() / 8));
    placed_.erase(std::remove_if(placed_.begin(), placed_.end(), [pointer](const Placed& p) { return p.pointer == pointer; }),
                  placed_.end());
    placed_.push_back(std::move(item));
}

const MonsterRomData::Placed* MonsterRomData::placedAt(uint16_t pointer) const
{
    for (const Placed& item : placed_)
        if (item.pointer == pointer)
            return &item;
    return nullptr;
}

const std::vector<uint8_t>& MonsterRomData::expectedPixels(int entryIndex) const
{
    const Placed* item = placedAt(records.at(size_t(entryIndex)).pointer);
    if (!item)
        throw std::out_of_range("MonsterRomData: nothing placed at this entry's pointer");
    return item->pixels;
}

const std::vector<uint8_t>& MonsterRomData::storedBytes(uint16_t pointer) const
{
    const Placed* item = placedAt(pointer);
    if (!item)
        throw std::out_of_range("MonsterRomData: nothing placed at this pointer");
    return item->bytes;
}

void MonsterRomData::writeInto(RomBuilder& rom) const
{
    for (size_t k = 0; k < monsterNames.size(); ++k)
        rom.putText(monsterNamesOffset + uint32_t(k * 10), monsterNames[k], 10);
    for (size_t k = 0; k < esperNames.size(); ++k)
        rom.putText(esperNamesOffset + uint32_t(k * 8), esperNames[k], 8);

    for (size_t k = 0; k < records.size(); ++k) {
        const MonsterRomRecord& r = records[k];
        const uint32_t at = recordsOffset + uint32_t(k * 5);
        rom.putByte(at, uint8_t(r.pointer & 0xFF));
        rom.putByte(at + 1, uint8_t(((r.pointer >> 8) & 0x7F) | (r.colourCount == 8 ? 0x80 : 0)));
        rom.putByte(at + 2, uint8_t(((r.paletteIndex >> 8) & 0x03) | (r.isLarge ? 0x80 : 0)));
        rom.putByte(at + 3, uint8_t(r.paletteIndex & 0xFF));
        rom.putByte(at + 4, uint8_t(r.moldIndex));
    }

    for (size_t i = 0; i < palettes.size(); ++i)
        rom.putSnesColor(palettesOffset + uint32_t(i * 2), palettes[i]);

    const uint32_t largeStart = largeMoldStart ? largeMoldStart : smallMoldStart + uint32_t(smallMolds.size() * 8);
    rom.putWord(moldStartWords, uint16_t(smallMoldStart & 0xFFFF));
    rom.putWord(moldStartWords + 2, uint16_t(largeStart & 0xFFFF));
    uint32_t at = smallMoldStart;
    for (const SmallMold& mold : smallMolds) {
        rom.putBytes(at, packMoldCells(mold.data(), mold.size()));
        at += 8;
    }
    at = largeStart;
    for (const LargeMold& mold : largeMolds) {
        rom.putBytes(at, packMoldCells(mold.data(), mold.size()));
        at += 32;
    }

    for (const Placed& item : placed_)
        rom.putBytes(graphicsBase + uint32_t(item.pointer) * 8, item.bytes);
}

MonsterRomData MonsterRomData::sample()
{
    MonsterRomData data;
    for (size_t k = 0; k < data.monsterNames.size(); ++k)
        data.monsterNames[k] = "Mon" + std::to_string(k);
    data.monsterNames[1] = "Big Bird";
    data.monsterNames[2] = "Abcdefghij";
    for (size_t k = 0; k < data.esperNames.size(); ++k)
        data.esperNames[k] = "Esper" + std::to_string(k);
    data.esperNames[3] = "Abcdefgh";

    for (size_t i = 0; i < data.palettes.size(); ++i)
        data.palettes[i] = RgbColor(uint8_t(i * 8), uint8_t((i / 7) * 24), uint8_t((i / 3) * 40));

    data.smallMolds = distinctMolds<64>(24, 7, 5);
    data.largeMolds = distinctMolds<256>(8, 11, 8);

    for (int k = 0; k < entryCount; ++k) {
        MonsterRomRecord& record = data.records[size_t(k)];
        record.paletteIndex = (k * 53 + 7) % 767; // reaches bits 8 and 9, stays inside for 16 colours
        if (k % 50 == 1) {
            const MonsterRomRecord& shared = data.records[size_t(k - 1)];
            record.pointer = shared.pointer;
            record.colourCount = shared.colourCount;
            record.isLarge = shared.isLarge;
            record.moldIndex = shared.moldIndex;
            continue;
        }
        record.isLarge = k % 7 == 3;
        record.colourCount = k % 3 == 0 ? 8 : 16;
        record.moldIndex = record.isLarge ? k % 8 : k % 24;
        record.pointer = data.nextPointer();
        const uint8_t* cells = record.isLarge ? data.largeMolds[size_t(record.moldIndex)].data()
                                              : data.smallMolds[size_t(record.moldIndex)].data();
        data.placeGraphic(record.pointer, patternPicture(record.isLarge, cells, record.colourCount, k), record.isLarge,
                          record.colourCount, record.moldIndex);
    }
    return data;
}
