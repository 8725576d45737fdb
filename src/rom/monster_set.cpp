#include "rom/monster_set.h"

#include <algorithm>
#include <cstring>

#include "rom/game_text.h"
#include "rom/rom_file.h"
#include "rom/rom_state.h"
#include "rom/snes_color.h"

MonsterSet monsterSet;

namespace {

constexpr size_t monsterNameLength = 10;
constexpr size_t esperNameLength = 8;

// Game text of a fixed-width field: trailing blanks are dropped, then the text ends
// at the first end-of-text code, so a full-width name needs no end marker.
std::string nameFromField(const uint8_t* field, size_t length)
{
    std::string text(length, '\0');
    for (size_t i = 0; i < length; ++i)
        text[i] = gameCharToAscii(field[i]);
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    const size_t end = text.find('\0');
    if (end != std::string::npos)
        text.resize(end);
    return text;
}

// In the ROM a mold row of 8 cells is one byte, column 0 in bit 7.
template <size_t cellCount>
std::array<uint8_t, cellCount> unpackMold(const uint8_t* packed)
{
    std::array<uint8_t, cellCount> cells{};
    for (size_t cell = 0; cell < cellCount; ++cell)
        cells[cell] = (packed[cell / 8] >> (7 - cell % 8)) & 1;
    return cells;
}

template <size_t cellCount>
void packMold(const std::array<uint8_t, cellCount>& cells, std::vector<uint8_t>& out)
{
    for (size_t byte = 0; byte < cellCount / 8; ++byte) {
        uint8_t packed = 0;
        for (size_t bit = 0; bit < 8; ++bit)
            if (cells[byte * 8 + bit])
                packed |= uint8_t(0x80 >> bit);
        out.push_back(packed);
    }
}

void appendWord(std::vector<uint8_t>& out, uint16_t word)
{
    out.push_back(uint8_t(word & 0xFF));
    out.push_back(uint8_t(word >> 8));
}

} // namespace

// Everything load reads, gathered before any of it is used so that a file that ends
// early leaves the set as it was.
struct MonsterSet::RawAreas {
    std::vector<uint8_t> monsterNames = std::vector<uint8_t>(monsterCount * monsterNameLength);
    std::vector<uint8_t> esperNames = std::vector<uint8_t>(esperCount * esperNameLength);
    std::vector<uint8_t> records = std::vector<uint8_t>(entryCount * recordSize);
    std::vector<uint8_t> palettes = std::vector<uint8_t>(paletteTableSize * 2);
    uint32_t smallStart = firstMoldOffset;
    uint32_t largeStart = firstMoldOffset;
    std::vector<uint8_t> molds;
    std::vector<uint8_t> graphics = std::vector<uint8_t>(graphicsReadSize);

    bool readFrom(RomFile& file)
    {
        uint8_t starts[4];
        if (!file.readExact(monsterNamesOffset, monsterNames.data(), monsterNames.size()) ||
            !file.readExact(esperNamesOffset, esperNames.data(), esperNames.size()) ||
            !file.readExact(recordsOffset, records.data(), records.size()) ||
            !file.readExact(palettesOffset, palettes.data(), palettes.size()) ||
            !file.readExact(moldStartsOffset, starts, sizeof starts))
            return false;
        // The small molds cannot start before the byte behind the two start words,
        // nor the large ones before the small ones or past the mold area.
        constexpr uint32_t areaEnd = lastMoldOffset + 1;
        smallStart = std::clamp(moldBank + (starts[0] | uint32_t(starts[1]) << 8), firstMoldOffset, areaEnd);
        largeStart = std::clamp(moldBank + (starts[2] | uint32_t(starts[3]) << 8), smallStart, areaEnd);
        molds.resize(areaEnd - smallStart);
        if (!molds.empty() && !file.readExact(smallStart, molds.data(), molds.size()))
            return false;
        return file.readExact(graphicsOffset, graphics.data(), graphics.size());
    }
};

MonsterSet::MonsterSet()
{
    for (MonsterGraphic& entry : graphics)
        entry.set_ = this;
}

MonsterGraphic& MonsterSet::graphic(int entryIndex)
{
    return graphics[size_t(std::clamp(entryIndex, 0, entryCount - 1))];
}

const MonsterGraphic& MonsterSet::graphic(int entryIndex) const
{
    return graphics[size_t(std::clamp(entryIndex, 0, entryCount - 1))];
}

RgbColor& MonsterSet::palettes(int paletteIndex, int colourIndex)
{
    const int64_t at = int64_t(paletteIndex) * 8 + colourIndex;
    if (paletteIndex < 0 || colourIndex < 0 || at >= paletteTableSize) {
        outsideColour_ = RgbColor{};
        return outsideColour_;
    }
    return paletteTable[size_t(at)];
}

RgbColor MonsterSet::palettes(int paletteIndex, int colourIndex) const
{
    const int64_t at = int64_t(paletteIndex) * 8 + colourIndex;
    if (paletteIndex < 0 || colourIndex < 0 || at >= paletteTableSize)
        return RgbColor{};
    return paletteTable[size_t(at)];
}

const uint8_t* MonsterSet::moldCells(bool isLarge, int moldIndex) const
{
    if (moldIndex < 0)
        return nullptr;
    if (isLarge)
        return size_t(moldIndex) < largeMolds.size() ? largeMolds[size_t(moldIndex)].data() : nullptr;
    return size_t(moldIndex) < smallMolds.size() ? smallMolds[size_t(moldIndex)].data() : nullptr;
}

uint16_t MonsterSet::storedSize(const uint8_t* cells, bool isLarge, int colourCount)
{
    int tiles = 0;
    if (cells) {
        const int cellCount = isLarge ? 256 : 64;
        for (int cell = 0; cell < cellCount; ++cell)
            tiles += cells[cell] ? 1 : 0;
    }
    return tiles == 0 ? uint16_t(8) : uint16_t(tiles * (colourCount == 8 ? 24 : 32));
}

int64_t MonsterSet::freeSpace() const
{
    int64_t used = 0;
    for (int s = 0; s < slotsUsed; ++s)
        if (slots[size_t(s)].inUse)
            used += slots[size_t(s)].size;
    return int64_t(graphicsCapacity) - used;
}

void MonsterSet::decodeAll()
{
    // All 415, the unnamed ones too: compact encodes any entry whose mold moves
    // down, and a stale picture would then overwrite a slot it shares.
    for (MonsterGraphic& entry : graphics)
        entry.decode();
}

void MonsterSet::release()
{
    smallMolds.clear();
    smallMolds.shrink_to_fit();
    largeMolds.clear();
    largeMolds.shrink_to_fit();
    for (GraphicsSlot& slot : slots) {
        slot.data.clear();
        slot.data.shrink_to_fit();
        slot.size = 0;
    }
    rawGraphics.clear();
    rawGraphics.shrink_to_fit();
    slotsUsed = 0;
}

bool MonsterSet::load(const std::string& path)
{
    RomFile file;
    if (!file.open(path, romState.hasCopierHeader))
        return false;
    RawAreas raw;
    const bool complete = raw.readFrom(file);
    file.close();
    if (!complete)
        return false;
    buildFrom(raw);
    return true;
}

void MonsterSet::buildFrom(RawAreas& raw)
{
    for (GraphicsSlot& slot : slots)
        slot = GraphicsSlot{};
    slots[0].romPointer = 0;
    int lastSlot = -1;

    for (int i = 0; i < paletteTableSize; ++i)
        paletteTable[size_t(i)] = snesToRgb(raw.palettes[size_t(2 * i)], raw.palettes[size_t(2 * i + 1)]);

    for (int k = 0; k < monsterCount; ++k)
        graphics[size_t(k)].name = nameFromField(raw.monsterNames.data() + k * monsterNameLength, monsterNameLength);
    for (int k = 0; k < esperCount; ++k)
        graphics[size_t(monsterCount + k)].name = nameFromField(raw.esperNames.data() + k * esperNameLength, esperNameLength);
    for (int k = namedCount; k < entryCount; ++k)
        graphics[size_t(k)].name.clear();

    // (large start - small start + 1) / 8 small molds, rounded down; the large molds
    // follow the last whole small mold and run up to the end of the area.
    const size_t smallCount = (raw.largeStart - raw.smallStart + 1) / 8;
    const size_t largeRoom = raw.molds.size() - std::min(raw.molds.size(), smallCount * 8);
    const size_t largeCount = std::min<size_t>((lastMoldOffset - raw.largeStart + 1) / 32, largeRoom / 32);
    smallMolds.clear();
    largeMolds.clear();
    for (size_t m = 0; m < smallCount && (m + 1) * 8 <= raw.molds.size(); ++m)
        smallMolds.push_back(unpackMold<64>(raw.molds.data() + m * 8));
    for (size_t m = 0; m < largeCount; ++m)
        largeMolds.push_back(unpackMold<256>(raw.molds.data() + smallCount * 8 + m * 32));

    for (int k = 0; k < entryCount; ++k) {
        const uint8_t* record = raw.records.data() + k * recordSize;
        MonsterGraphic& entry = graphics[size_t(k)];
        entry.romPointer = uint16_t(record[0] | (record[1] & 0x7F) << 8);
        entry.colourCount = (record[1] & 0x80) ? 8 : 16;
        entry.isLarge = (record[2] & 0x80) != 0;
        entry.paletteIndex = record[3] | (record[2] & 0x01) << 8 | (record[2] & 0x02) << 8;
        entry.moldIndex = record[4];
        entry.keepPaletteInTable();

        // Records with the same pointer share a slot; the walk ends at the first free one.
        int s = 0;
        while (s < maxSlots - 1 && slots[size_t(s)].romPointer != entry.romPointer && slots[size_t(s)].romPointer != -1)
            ++s;
        GraphicsSlot& slot = slots[size_t(s)];
        slot.moldIndex = entry.moldIndex;
        slot.romPointer = entry.romPointer;
        slot.size = storedSize(moldCells(entry.isLarge, entry.moldIndex), entry.isLarge, entry.colourCount);
        slot.isLarge = entry.isLarge;
        slot.colourCount = entry.colourCount;
        entry.slotIndex = uint16_t(s);
        lastSlot = std::max(lastSlot, s);
    }

    rawGraphics = std::move(raw.graphics);
    for (MonsterGraphic& entry : graphics) {
        GraphicsSlot& slot = slots[entry.slotIndex];
        const size_t start = std::min(size_t(slot.romPointer) * 8, rawGraphics.size());
        const size_t count = std::min(size_t(slot.size), rawGraphics.size() - start);
        slot.data.assign(rawGraphics.begin() + ptrdiff_t(start), rawGraphics.begin() + ptrdiff_t(start + count));
        entry.decode(slot.data.data(), slot.data.size());
    }

    // The large-mold area runs to the end of the mold data; only as many molds count
    // as the entries reach.
    int largeReached = 0;
    for (const MonsterGraphic& entry : graphics)
        if (entry.isLarge && size_t(entry.moldIndex) < largeMolds.size())
            largeReached = std::max(largeReached, entry.moldIndex + 1);
    largeMolds.resize(size_t(largeReached));
    slotsUsed = lastSlot + 1;

    // Each mold becomes the mold of the tiles that really hold a non-zero pixel.
    // Decoding and encoding the same tiles give back the same bytes, so a slot
    // whose mold stays as it was already holds what encode would write.
    for (MonsterGraphic& entry : graphics) {
        const GraphicsSlot& slot = slots[entry.slotIndex];
        const int decodedMold = entry.moldIndex;
        entry.updateMold();
        const bool unchanged = entry.moldIndex == decodedMold && slot.moldIndex == decodedMold &&
                               slot.isLarge == entry.isLarge && slot.colourCount == entry.colourCount &&
                               slot.data.size() == slot.size;
        if (!unchanged)
            entry.encode();
    }
}

bool MonsterSet::moldFollowedBySlotInUse(bool isLarge, int moldIndex) const
{
    for (int s = 0; s < slotsUsed; ++s) {
        const GraphicsSlot& slot = slots[size_t(s)];
        if (slot.inUse && slot.isLarge == isLarge && slot.moldIndex == moldIndex)
            return true;
    }
    return false;
}

void MonsterSet::removeMold(bool isLarge, int moldIndex)
{
    if (isLarge)
        largeMolds.erase(largeMolds.begin() + moldIndex);
    else
        smallMolds.erase(smallMolds.begin() + moldIndex);
    for (MonsterGraphic& entry : graphics) {
        if (entry.isLarge == isLarge && entry.moldIndex > moldIndex) {
            --entry.moldIndex;
            entry.encode();
        }
    }
}

void MonsterSet::compact()
{
    for (int s = 0; s < slotsUsed; ++s) {
        const bool shown = std::any_of(graphics.begin(), graphics.end(),
                                       [s](const MonsterGraphic& entry) { return entry.slotIndex == s; });
        if (!shown)
            slots[size_t(s)].inUse = false;
    }
    for (int m = 0; m < smallMoldCount();) {
        if (moldFollowedBySlotInUse(false, m))
            ++m;
        else
            removeMold(false, m);
    }
    for (int m = 0; m < largeMoldCount();) {
        if (moldFollowedBySlotInUse(true, m))
            ++m;
        else
            removeMold(true, m);
    }
}

OperationResult MonsterSet::saveToRom(const std::string& path)
{
    using namespace monster_messages;

    // Slots go out in the order the entries first show them, which is the order the
    // next load numbers them in, so saving again after that load writes the same bytes.
    std::vector<int> order;
    std::array<bool, maxSlots> placed{};
    for (const MonsterGraphic& entry : graphics) {
        const int s = entry.slotIndex;
        if (s >= slotsUsed || !slots[size_t(s)].inUse)
            return OperationResult::failure(saveError); // a record would name data that is not written
        if (!placed[size_t(s)]) {
            placed[size_t(s)] = true;
            order.push_back(s);
        }
    }
    for (int s = 0; s < slotsUsed; ++s)
        if (slots[size_t(s)].inUse && !placed[size_t(s)])
            order.push_back(s);

    std::array<int32_t, maxSlots> pointers{};
    uint64_t graphicsBytes = 0;
    bool pointerOverflow = false;
    for (int s : order) {
        if (graphicsBytes >= pointerReach)
            pointerOverflow = true; // the record's 15 bits cannot name this start
        pointers[size_t(s)] = int32_t(graphicsBytes / 8);
        graphicsBytes += slots[size_t(s)].size;
    }
    if (graphicsBytes > graphicsCapacity || pointerOverflow)
        return OperationResult::failure(notEnoughRoom);

    // With few molds of both kinds the small molds are padded to 128, as the game's
    // own layout has them; the padding molds are empty.
    const size_t smallWritten =
        (smallMolds.size() < 128 && largeMolds.size() < 54) ? size_t(128) : smallMolds.size();
    if (8 * (smallWritten + 4 * largeMolds.size()) > moldCapacity)
        return OperationResult::failure(tooMuchMoldData);
    for (const MonsterGraphic& entry : graphics)
        if (entry.moldIndex < 0 || entry.moldIndex > 255)
            return OperationResult::failure(tooMuchMoldData); // a record holds one byte of mold index

    std::vector<uint8_t> graphicsArea;
    graphicsArea.reserve(size_t(graphicsBytes));
    for (int s : order) {
        const GraphicsSlot& slot = slots[size_t(s)];
        std::vector<uint8_t> data = slot.data;
        data.resize(slot.size, 0);
        graphicsArea.insert(graphicsArea.end(), data.begin(), data.end());
    }

    std::vector<uint8_t> moldArea;
    const uint32_t largeStart = firstMoldOffset + uint32_t(smallWritten * 8);
    appendWord(moldArea, uint16_t(firstMoldOffset & 0xFFFF));
    appendWord(moldArea, uint16_t(largeStart & 0xFFFF));
    for (const SmallMold& mold : smallMolds)
        packMold(mold, moldArea);
    moldArea.resize(moldArea.size() + (smallWritten - smallMolds.size()) * 8, 0);
    for (const LargeMold& mold : largeMolds)
        packMold(mold, moldArea);

    std::vector<uint8_t> paletteArea;
    paletteArea.reserve(paletteTableSize * 2);
    for (const RgbColor& colour : paletteTable) {
        const SnesWordBytes word = rgbToSnes(colour);
        paletteArea.push_back(word.low);
        paletteArea.push_back(word.high);
    }

    std::vector<uint8_t> recordArea;
    recordArea.reserve(entryCount * recordSize);
    for (const MonsterGraphic& entry : graphics) {
        const int32_t pointer = pointers[entry.slotIndex];
        recordArea.push_back(uint8_t(pointer & 0xFF));
        recordArea.push_back(uint8_t(((pointer >> 8) & 0x7F) | (entry.colourCount == 8 ? 0x80 : 0)));
        recordArea.push_back(uint8_t(((entry.paletteIndex >> 8) & 0x03) | (entry.isLarge ? 0x80 : 0)));
        recordArea.push_back(uint8_t(entry.paletteIndex & 0xFF));
        recordArea.push_back(uint8_t(entry.moldIndex & 0xFF));
    }

    RomFile file;
    if (!file.open(path, romState.hasCopierHeader))
        return OperationResult::failure(saveError);
    // A file that does not reach an area is not grown into one.
    if (!file.holds(graphicsOffset, graphicsArea.size()) || !file.holds(moldStartsOffset, moldArea.size()) ||
        !file.holds(palettesOffset, paletteArea.size()) || !file.holds(recordsOffset, recordArea.size())) {
        file.close();
        return OperationResult::failure(saveError);
    }
    const bool written = file.writeAt(graphicsOffset, graphicsArea.data(), graphicsArea.size()) &&
                         file.writeAt(moldStartsOffset, moldArea.data(), moldArea.size()) &&
                         file.writeAt(palettesOffset, paletteArea.data(), paletteArea.size()) &&
                         file.writeAt(recordsOffset, recordArea.data(), recordArea.size());
    const bool closed = file.close();
    if (!written || !closed)
        return OperationResult::failure(saveError);

    for (int s : order)
        slots[size_t(s)].romPointer = pointers[size_t(s)];
    return OperationResult::success();
}
