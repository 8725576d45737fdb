#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A drawing target: width x height pixels of 0xFFRRGGBB, rows top to bottom.
// Pictures are rendered into it and the user interface shows it without a copy.
struct Surface {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    Surface() = default;
    Surface(int w, int h, uint32_t fill = 0xFF000000u)
        : width(w > 0 ? w : 0), height(h > 0 ? h : 0), pixels(size_t(width) * size_t(height), fill)
    {
    }

    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    uint32_t pixel(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    void setPixel(int x, int y, uint32_t argb) { pixels[size_t(y) * size_t(width) + size_t(x)] = argb; }
    uint32_t* row(int y) { return pixels.data() + size_t(y) * size_t(width); }
    const uint32_t* row(int y) const { return pixels.data() + size_t(y) * size_t(width); }
};
