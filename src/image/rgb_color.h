#pragma once

#include <cstdint>

// One colour as the program keeps it: blue, green, red in that memory order, the
// order of a BMP colour-table entry without its fourth byte. Colours are compared
// byte for byte; no tolerance is ever applied.
struct RgbColor {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;

    constexpr RgbColor() = default;
    constexpr RgbColor(uint8_t r, uint8_t g, uint8_t b) : blue(b), green(g), red(r) {}

    // 0xFFRRGGBB, the pixel format of a Surface.
    constexpr uint32_t toArgb() const
    {
        return 0xFF000000u | (uint32_t(red) << 16) | (uint32_t(green) << 8) | blue;
    }
    static constexpr RgbColor fromArgb(uint32_t argb)
    {
        return RgbColor(uint8_t(argb >> 16), uint8_t(argb >> 8), uint8_t(argb));
    }

    friend constexpr bool operator==(const RgbColor&, const RgbColor&) = default;
};

static_assert(sizeof(RgbColor) == 3, "RgbColor must stay three bytes, as in the files");
