#pragma once

#include <array>
#include <cstdint>

#include "image/indexed_image.h"

// Enters decoded pixel colours into a picture the way every reader does: through
// FindOrAddColor, so colours are numbered in order of first appearance (after any
// entries installed beforehand), and the read stops once the palette passes maxColors.
// A colour seen before is answered from a small cache: the palette only grows while a
// file is decoded, so the index once found for a colour stays its lowest match.
class PaletteBuilder {
public:
    PaletteBuilder(IndexedImage& image, int maxColors) : image_(image), maxColors_(maxColors) {}

    // The palette index of the colour, added if new; -1 once there are too many colours.
    int indexFor(RgbColor colour)
    {
        const uint32_t key = uint32_t(colour.red) << 16 | uint32_t(colour.green) << 8 | colour.blue;
        Slot& slot = slots_[(key * 2654435761u) >> (32 - slotBits)];
        if (slot.key == key)
            return slot.index;
        const int index = image_.FindOrAddColor(colour);
        if (index == PaletteFull || image_.colorCount > maxColors_)
            return -1;
        slot = Slot{key, index};
        return index;
    }

    // The palette index for entry `value` of a file's fixed colour table (or of the
    // pixel values of a monochrome file); colourOf(value) is asked only the first time.
    template <typename ColourOf>
    int indexForEntry(uint8_t value, ColourOf colourOf)
    {
        int16_t& cached = byEntry_[value];
        if (cached < 0) {
            const int index = indexFor(colourOf(value));
            if (index < 0)
                return -1;
            cached = int16_t(index);
        }
        return cached;
    }

    // Installs a file's own colour table as palette entries 0..count-1, so that a
    // 16-colour file keeps its palette order and every entry, and resolves those
    // entries at once (each to the lowest index holding its colour). False when that
    // alone is more colours than maxColors.
    template <typename ColourOf>
    bool installTable(int count, ColourOf colourOf)
    {
        for (int i = 0; i < count; ++i)
            image_.SetPaletteEntry(uint8_t(i), colourOf(uint8_t(i)));
        for (int i = 0; i < count; ++i)
            byEntry_[size_t(i)] = int16_t(image_.FindOrAddColor(colourOf(uint8_t(i))));
        return image_.colorCount <= maxColors_;
    }

    bool resolvedUpTo(int count) const
    {
        for (int i = 0; i < count; ++i) {
            if (byEntry_[size_t(i)] < 0)
                return false;
        }
        return true;
    }

    // Translates a row of 4-bit values, two to a byte with the left pixel in the high
    // bits, once entries 0..15 are all resolved.
    void translateFourBitRow(const uint8_t* packed, uint8_t* out, int32_t width) const
    {
        int32_t x = 0;
        for (; x + 1 < width; x += 2) {
            const uint8_t both = packed[x / 2];
            out[x] = uint8_t(byEntry_[both >> 4]);
            out[x + 1] = uint8_t(byEntry_[both & 0x0F]);
        }
        if (x < width)
            out[x] = uint8_t(byEntry_[packed[x / 2] >> 4]);
    }

    // Stores the colour's index at (x, y); false once there are too many colours.
    bool put(int x, int y, RgbColor colour)
    {
        const int index = indexFor(colour);
        if (index < 0)
            return false;
        image_.setPixel(x, y, uint8_t(index));
        return true;
    }

private:
    static constexpr int slotBits = 9;
    struct Slot {
        uint32_t key = 0xFFFFFFFFu; // no colour has this key
        int index = 0;
    };

    IndexedImage& image_;
    int maxColors_;
    std::array<Slot, size_t(1) << slotBits> slots_{};
    std::array<int16_t, 256> byEntry_ = filledWithMinusOne();

    static std::array<int16_t, 256> filledWithMinusOne()
    {
        std::array<int16_t, 256> entries;
        entries.fill(-1);
        return entries;
    }
};
