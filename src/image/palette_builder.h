#pragma once

#include <array>
#include <cstdint>
#include <cstring>

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
        if (unresolved_[value]) {
            const int index = indexFor(colourOf(value));
            if (index < 0)
                return -1;
            resolve(value, index);
        }
        return entryIndex_[value];
    }

    // Translates `count` table entries whose indices are all known already; false (and
    // nothing promised about `out`) when one of them is still unresolved.
    bool translateResolved(const uint8_t* values, uint8_t* out, size_t count) const
    {
        uint8_t anyUnresolved = 0;
        for (size_t i = 0; i < count; ++i) {
            const uint8_t value = values[i];
            out[i] = entryIndex_[value];
            anyUnresolved |= unresolved_[value];
        }
        return !anyUnresolved;
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
            resolve(uint8_t(i), image_.FindOrAddColor(colourOf(uint8_t(i))));
        if (count >= 16) {
            for (size_t both = 0; both < 256; ++both)
                fourBitPairs_[both] = {entryIndex_[both >> 4], entryIndex_[both & 0x0F]};
        }
        return image_.colorCount <= maxColors_;
    }

    bool resolvedUpTo(int count) const
    {
        for (int i = 0; i < count; ++i) {
            if (unresolved_[size_t(i)])
                return false;
        }
        return true;
    }

    // Translates a row of 4-bit values, two to a byte with the left pixel in the high
    // bits, once installTable has resolved all 16 entries.
    void translateFourBitRow(const uint8_t* packed, uint8_t* out, int32_t width) const
    {
        const int32_t pairs = width / 2;
        for (int32_t k = 0; k < pairs; ++k)
            std::memcpy(out + 2 * k, fourBitPairs_[packed[k]].data(), 2);
        if (width % 2)
            out[width - 1] = fourBitPairs_[packed[pairs]][0];
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
    std::array<uint8_t, 256> entryIndex_{};
    std::array<uint8_t, 256> unresolved_ = allUnresolved();
    std::array<std::array<uint8_t, 2>, 256> fourBitPairs_{};

    void resolve(uint8_t entry, int index)
    {
        entryIndex_[entry] = uint8_t(index);
        unresolved_[entry] = 0;
    }

    static std::array<uint8_t, 256> allUnresolved()
    {
        std::array<uint8_t, 256> entries;
        entries.fill(1);
        return entries;
    }
};
