#include "rom/snes_color.h"

RgbColor snesToRgb(uint8_t low, uint8_t high)
{
    const unsigned word = unsigned(low) | unsigned(high) << 8;
    return RgbColor(uint8_t((word & 0x1F) << 3), uint8_t(((word >> 5) & 0x1F) << 3),
                    uint8_t(((word >> 10) & 0x1F) << 3));
}

SnesWordBytes rgbToSnes(RgbColor colour)
{
    const unsigned word = unsigned(colour.red >> 3) | unsigned(colour.green >> 3) << 5 | unsigned(colour.blue >> 3) << 10;
    return SnesWordBytes{uint8_t(word & 0xFF), uint8_t(word >> 8)};
}
