#include "image/builtin_backdrops.h"

#include <cmath>
#include <cstdint>
#include <string_view>

#include "image/rgb_color.h"

namespace {

constexpr std::string_view programName = "QUILLFERN";
constexpr uint32_t white = 0xFFFFFFFFu;

// 5x7 capitals for the letters of the name, one byte per row, bit 4 leftmost.
const uint8_t* glyph(char letter)
{
    static const uint8_t q[7] = {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D};
    static const uint8_t u[7] = {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E};
    static const uint8_t i[7] = {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E};
    static const uint8_t l[7] = {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F};
    static const uint8_t f[7] = {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10};
    static const uint8_t e[7] = {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F};
    static const uint8_t r[7] = {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11};
    static const uint8_t n[7] = {0x11, 0x19, 0x15, 0x13, 0x11, 0x11, 0x11};
    static const uint8_t blank[7] = {};
    switch (letter) {
    case 'Q': return q;
    case 'U': return u;
    case 'I': return i;
    case 'L': return l;
    case 'F': return f;
    case 'E': return e;
    case 'R': return r;
    case 'N': return n;
    default: return blank;
    }
}

void drawLetter(Surface& surface, char letter, int left, int top, int scale)
{
    const uint8_t* rows = glyph(letter);
    for (int y = 0; y < 7 * scale; ++y)
        for (int x = 0; x < 5 * scale; ++x)
            if ((rows[y / scale] >> (4 - x / scale)) & 1 && surface.contains(left + x, top + y))
                surface.setPixel(left + x, top + y, white);
}

void writeNameAcross(Surface& surface, int top)
{
    constexpr int scale = 2;
    const int width = int(programName.size()) * 6 * scale - scale;
    int left = (builtinBackdropSize - width) / 2;
    for (char letter : programName) {
        drawLetter(surface, letter, left, top, scale);
        left += 6 * scale;
    }
}

void writeNameDown(Surface& surface, int left)
{
    constexpr int scale = 1;
    const int height = int(programName.size()) * 9 - 2;
    int top = (builtinBackdropSize - height) / 2;
    for (char letter : programName) {
        drawLetter(surface, letter, left, top, scale);
        top += 9;
    }
}

// Intensities are kept to 64 steps so that no picture needs more than 256 colours.
uint8_t level(double fraction)
{
    const double clamped = fraction < 0 ? 0 : (fraction > 1 ? 1 : fraction);
    return uint8_t(int(clamped * 63.0) * 4);
}

template <typename ColourAt>
Surface paint(ColourAt colourAt)
{
    Surface surface(builtinBackdropSize, builtinBackdropSize);
    for (int y = 0; y < builtinBackdropSize; ++y)
        for (int x = 0; x < builtinBackdropSize; ++x)
            surface.setPixel(x, y, colourAt(x, y).toArgb());
    return surface;
}

Surface blueGradient()
{
    Surface surface = paint([](int, int y) {
        const double t = y / 127.0;
        return RgbColor(level(0.05 + 0.2 * t), level(0.1 + 0.35 * t), level(0.35 + 0.6 * t));
    });
    writeNameAcross(surface, 57);
    return surface;
}

Surface redClouds()
{
    Surface surface = paint([](int x, int y) {
        const double cloud = 0.5 + 0.25 * std::sin(x * 0.11 + std::sin(y * 0.07) * 2.0) +
                             0.25 * std::sin(y * 0.13 + std::cos(x * 0.05) * 2.5);
        return RgbColor(level(0.35 + 0.6 * cloud), level(0.1 * cloud), level(0.08 + 0.1 * cloud));
    });
    writeNameAcross(surface, 57);
    return surface;
}

Surface blueWaves()
{
    Surface surface = paint([](int x, int y) {
        const double wave = 0.5 + 0.5 * std::sin(y * 0.3 + std::sin(x * 0.08) * 3.0);
        return RgbColor(level(0.05 * wave), level(0.2 + 0.3 * wave), level(0.4 + 0.55 * wave));
    });
    writeNameDown(surface, 61);
    return surface;
}

Surface magentaRadial()
{
    return paint([](int x, int y) {
        const double distance = std::hypot(x - 63.5, y - 63.5) / 90.0;
        const double t = 1.0 - distance;
        return RgbColor(level(0.15 + 0.85 * t), level(0.05 * t), level(0.15 + 0.75 * t));
    });
}

Surface blueSwirl()
{
    return paint([](int x, int y) {
        const double dx = x - 63.5;
        const double dy = y - 63.5;
        const double angle = std::atan2(dy, dx);
        const double radius = std::hypot(dx, dy);
        const double swirl = 0.5 + 0.5 * std::sin(angle * 3.0 + radius * 0.15);
        return RgbColor(level(0.1 * swirl), level(0.15 + 0.35 * swirl), level(0.35 + 0.6 * swirl));
    });
}

} // namespace

Surface makeBuiltinBackdrop(int number)
{
    switch (number) {
    case 0: return blueGradient();
    case 1: return redClouds();
    case 2: return blueWaves();
    case 3: return magentaRadial();
    case 4: return blueSwirl();
    default: return Surface(builtinBackdropSize, builtinBackdropSize);
    }
}
