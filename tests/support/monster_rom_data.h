#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "image/rgb_color.h"

class RomBuilder;

// A mold as the ROM stores it: one bit per cell, row by row, leftmost cell in bit 7.
std::vector<uint8_t> packMoldCells(const uint8_t* cells, size_t cellCount);

// One graphics record as the builder writes it.
struct MonsterRomRecord {
    uint16_t pointer = 0;   // 15 bits, 8-byte units from the graphics base
    int colourCount = 16;   // 8 or 16
    bool isLarge = false;
    int paletteIndex = 0;   // 10 bits
    int moldIndex = 0;      // one byte
};

// The monster and esper areas of a synthetic ROM: names, graphics records, palettes,
// both mold tables with their start words, and the packed graphics. Tests fill it
// (or start from sample()), write it into a RomBuilder and compare what the set
// loads with the pictures, molds and palettes kept here.
class MonsterRomData {
public:
    using SmallMold = std::array<uint8_t, 64>;  // cells 0 or 1, row by row
    using LargeMold = std::array<uint8_t, 256>;

    static constexpr int entryCount = 415;

    std::array<std::string, 384> monsterNames;
    std::array<std::string, 27> esperNames;
    std::array<MonsterRomRecord, entryCount> records;
    std::vector<RgbColor> palettes = std::vector<RgbColor>(768 * 8);
    std::vector<SmallMold> smallMolds;
    std::vector<LargeMold> largeMolds;
    uint32_t smallMoldStart = 0x31A824;
    uint32_t largeMoldStart = 0; // 0: right behind the small molds

    // Stores the tiles of the mold's set cells of a 64x64 or 128x128 picture at the
    // pointer and keeps the picture (tiles outside the mold cleared) as the one every
    // record with this pointer shows.
    void placeGraphic(uint16_t pointer, const std::vector<uint8_t>& pixels, bool isLarge, int colourCount,
                      int moldIndex);
    // The picture an entry must load as: the one placed at its record's pointer.
    const std::vector<uint8_t>& expectedPixels(int entryIndex) const;
    // Bytes placed at a pointer (its stored graphic).
    const std::vector<uint8_t>& storedBytes(uint16_t pointer) const;
    // The next free pointer behind everything placed so far.
    uint16_t nextPointer() const { return nextPointer_; }

    void writeInto(RomBuilder& rom) const;

    // A full set: every entry named (a name with an inner space, one of exactly ten
    // characters), both depths and sizes, 24 small and 8 large distinct molds, palette
    // indices using bits 8 and 9, and pairs of entries sharing one stored graphic
    // (entry k shares with k - 1 when k % 50 == 1). Every stored tile holds a
    // non-zero pixel, so loading keeps every mold index as placed.
    static MonsterRomData sample();
    // Picture with a non-zero pixel in every tile of the mold (clear elsewhere).
    static std::vector<uint8_t> patternPicture(bool isLarge, const uint8_t* cells, int colourCount, int seed);

private:
    struct Placed {
        uint16_t pointer;
        std::vector<uint8_t> bytes;
        std::vector<uint8_t> pixels;
    };
    const Placed* placedAt(uint16_t pointer) const;

    std::vector<Placed> placed_;
    uint16_t nextPointer_ = 0;
};
