#pragma once

#include <cstdint>

#include "image/rgb_color.h"

// The game's 16-bit colour word: bits 0-4 red, 5-9 green, 10-14 blue, bit 15 unused.
// Channels are shifted by 3 without rounding or bit replication (31 becomes 248), so
// a ROM word survives the trip to RgbColor and back exactly.
RgbColor snesToRgb(uint8_t low, uint8_t high);

struct SnesWordBytes {
    uint8_t low = 0;
    uint8_t high = 0;
};

// Each channel divided by 8, the remainder dropped; bit 15 always 0.
SnesWordBytes rgbToSnes(RgbColor colour);
