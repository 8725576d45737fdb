#include "cli/picture_dump.h"

#include <cstdio>
#include <string>

namespace {

std::string hexColour(RgbColor colour)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", colour.red, colour.green, colour.blue);
    return text;
}

} // namespace

void writeIndexedDump(std::ostream& out, const IndexedImage& image, int colours)
{
    out << "indexed " << image.width << ' ' << image.height << ' ' << colours << '\n';
    for (int i = 0; i < colours; ++i)
        out << (i ? " " : "") << hexColour(image.palette[size_t(i)]);
    out << '\n';
    static const char digits[] = "0123456789abcdef";
    std::string row;
    for (int y = 0; y < image.height && image.hasPixels(); ++y) {
        row.clear();
        for (int x = 0; x < image.width; ++x) {
            const uint8_t index = image.pixel(x, y);
            row.push_back(digits[index >> 4]);
            row.push_back(digits[index & 15]);
        }
        out << row << '\n';
    }
}

void writeRgbDump(std::ostream& out, const Surface& surface)
{
    out << "rgb " << surface.width << ' ' << surface.height << '\n';
    std::string row;
    for (int y = 0; y < surface.height; ++y) {
        row.clear();
        for (int x = 0; x < surface.width; ++x)
            row += hexColour(RgbColor::fromArgb(surface.pixel(x, y)));
        out << row << '\n';
    }
}
