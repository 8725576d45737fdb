#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "image/indexed_image.h"

class MonsterSet;

// One monster or esper battle sprite as the editor holds it: the decoded picture and
// the record fields that say how it is stored. The picture is the truth while
// editing; every operation below that changes it stores it again into its slot, so
// the slot always holds the encoding of what is shown.
struct MonsterGraphic {
    struct PixelExtent {
        int width = 0;
        int height = 0;
    };

    std::string name;          // up to 10 characters; empty for the four unnamed entries
    IndexedImage image;        // 64x64 or 128x128, palette entries 0 .. colourCount - 1
    uint16_t slotIndex = 0;
    int paletteIndex = 0;      // first palette of the 768; kept so every colour used is in the table
    uint8_t colourCount = 16;  // 8 or 16
    int moldIndex = 0;
    bool isLarge = false;
    uint16_t romPointer = 0;   // graphics pointer of the record as read

    MonsterGraphic() = default;
    MonsterGraphic(const MonsterGraphic&) = delete;
    MonsterGraphic& operator=(const MonsterGraphic&) = delete;

    // Rebuilds the picture from its slot's data, or from the given bytes (tiles the
    // bytes do not hold stay 0). Takes mold, size and depth from the slot.
    void decode();
    void decode(const uint8_t* source, size_t length);
    // Stores the picture into its slot following the entry's mold.
    void encode();
    // Points moldIndex at the first mold equal to the tiles holding a non-zero pixel
    // (the top-left tile when there is none), appending a new mold when none matches.
    void updateMold();

    uint8_t getPixel(int x, int y) const;
    // Sets the pixel when it is inside the picture (index bits above the depth are
    // dropped, as the stored form drops them) and returns the new moldIndex.
    int setPixel(int x, int y, uint8_t index);
    void setPaletteIndex(int newPaletteIndex);
    void setColourCount(int newColourCount);
    void setLarge(bool large);
    // Shows another stored graphic; false (nothing changed) for a slot not in the set.
    bool setSlot(int newSlotIndex);
    // Gives the entry a blank graphic in a slot of its own; false (nothing changed)
    // when every slot is taken.
    bool newImage();
    void clearImage();
    void copyFrom(int entryIndex);
    // Takes a picture of at most 128x128 pixels and 16 colours; false (nothing
    // changed) for anything else.
    bool importImage(const IndexedImage& source);
    void flip(int vertical);
    void setTransparentColour(int colourIndex);
    // Width and height of the block of tiles the mold stores, from the top left.
    PixelExtent usedExtent() const;

    // Colour i of the entry's palette in the set's table.
    RgbColor paletteColour(int colourIndex) const;

private:
    friend class MonsterSet;

    int side() const { return isLarge ? 128 : 64; }
    void createBlank();
    void applyPalette();
    void keepPaletteInTable();
    void storeAgain();

    MonsterSet* set_ = nullptr;
};
