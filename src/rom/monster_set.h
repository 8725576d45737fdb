#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "image/rgb_color.h"
#include "rom/graphics_slot.h"
#include "rom/monster_graphic.h"
#include "rom/operation_result.h"

// Every monster and esper battle sprite of the ROM: 384 monsters, 27 espers and four
// unnamed entries, the graphics slots they are stored in, their palettes and molds.
// Loaded whole from the file and written back whole by saveToRom. Graphics hold a
// pointer back to their set, so a set is neither copied nor moved.
class MonsterSet {
public:
    using SmallMold = std::array<uint8_t, 64>;  // 8 x 8 cells, 0 or 1, row by row
    using LargeMold = std::array<uint8_t, 256>; // 16 x 16 cells

    static constexpr int monsterCount = 384;
    static constexpr int esperCount = 27;
    static constexpr int namedCount = monsterCount + esperCount;
    static constexpr int entryCount = 415;
    static constexpr int maxSlots = 450;
    static constexpr int paletteCount = 768;
    static constexpr int paletteTableSize = paletteCount * 8;

    // ROM areas.
    static constexpr uint32_t monsterNamesOffset = 0x0FC050;
    static constexpr uint32_t esperNamesOffset = 0x26F6E1;
    static constexpr uint32_t recordsOffset = 0x127000;
    static constexpr uint32_t recordSize = 5;
    static constexpr uint32_t palettesOffset = 0x127820;
    static constexpr uint32_t moldStartsOffset = 0x31A820; // small start word, then large start word
    static constexpr uint32_t moldBank = 0x310000;
    static constexpr uint32_t firstMoldOffset = 0x31A824; // right behind the two start words
    static constexpr uint32_t lastMoldOffset = 0x31BC23;
    static constexpr uint32_t graphicsOffset = 0x320000;
    static constexpr uint32_t graphicsReadSize = 0x49000;
    // Room for graphics from the base, and for molds from firstMoldOffset up to the
    // last byte the load reads back.
    static constexpr uint32_t graphicsCapacity = 0x473C0;
    static constexpr uint32_t moldCapacity = lastMoldOffset + 1 - firstMoldOffset; // 0x1400
    // A record's 15-bit pointer counts 8-byte units from the base.
    static constexpr uint32_t pointerReach = 0x8000 * 8;

    MonsterSet();
    MonsterSet(const MonsterSet&) = delete;
    MonsterSet& operator=(const MonsterSet&) = delete;

    // Reads the whole set; false (set unchanged) when the file cannot be opened or is
    // shorter than the areas read. Uses romState's copier-header flag.
    bool load(const std::string& path);

    MonsterGraphic& graphic(int entryIndex);
    const MonsterGraphic& graphic(int entryIndex) const;
    // Colour colourIndex counted from the first colour of palette paletteIndex, so a
    // 16-colour entry reaches into the next palette. Outside the table a scratch
    // colour is returned that nothing else reads.
    RgbColor& palettes(int paletteIndex, int colourIndex);
    RgbColor palettes(int paletteIndex, int colourIndex) const;
    int slotCount() const { return slotsUsed; }
    int64_t freeSpace() const;
    void decodeAll();
    void release();

    // Drops what the save would not need: slots no entry shows go out of use, molds
    // no slot in use follows are removed (later molds of that kind move down).
    void compact();
    // Writes graphics, molds, palettes and records. Every check runs before the first
    // byte is written; a refusal writes nothing.
    OperationResult saveToRom(const std::string& path);

    // Cells of mold moldIndex of one kind; nullptr when there is no such mold.
    const uint8_t* moldCells(bool isLarge, int moldIndex) const;
    int smallMoldCount() const { return int(smallMolds.size()); }
    int largeMoldCount() const { return int(largeMolds.size()); }
    // Bytes a graphic of this mold and depth takes: tiles x 24 or 32, 8 for none.
    static uint16_t storedSize(const uint8_t* cells, bool isLarge, int colourCount);

    std::array<RgbColor, paletteTableSize> paletteTable{};
    std::array<GraphicsSlot, maxSlots> slots;
    std::array<MonsterGraphic, entryCount> graphics;
    std::vector<SmallMold> smallMolds;
    std::vector<LargeMold> largeMolds;
    int slotsUsed = 0;
    std::vector<uint8_t> rawGraphics;

private:
    struct RawAreas;
    void buildFrom(RawAreas& raw);
    void removeMold(bool isLarge, int moldIndex);
    bool moldFollowedBySlotInUse(bool isLarge, int moldIndex) const;

    RgbColor outsideColour_{};
};

extern MonsterSet monsterSet;

namespace monster_messages {
inline constexpr const char* notEnoughRoom =
    "Not enough room in ROM to save the monster data. You must delete one or more monster images before saving.";
inline constexpr const char* tooMuchMoldData = "Too much mold data";
inline constexpr const char* saveError = "Error saving monster data";
} // namespace monster_messages
