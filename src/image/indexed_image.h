#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/rgb_color.h"
#include "image/surface.h"

// Returned by FindOrAddColor and SetPixelColor when a 257th colour finds no room.
constexpr int PaletteFull = 257;

// The one picture type of the program: 8-bit palette indices with their own palette
// of up to 256 colours. Index 0 is the transparent index wherever a picture is drawn
// over a backdrop. Pixels whose index is at or above colorCount are shown black: the
// entries there are not in use and hold whatever an earlier picture left.
struct IndexedImage {
    int32_t width = 0;
    int32_t height = 0;
    int32_t colorCount = 0;
    std::vector<uint8_t> pixels; // width * height indices, row-major; empty = no buffer
    std::array<RgbColor, 256> palette{};

    IndexedImage() = default;
    IndexedImage(const IndexedImage&) = delete;
    IndexedImage& operator=(const IndexedImage&) = delete;
    IndexedImage(IndexedImage&&) noexcept = default;
    IndexedImage& operator=(IndexedImage&&) noexcept = default;

    // Returns true on failure (no pixel buffer afterwards), false on success. A new
    // picture is all index 0, entry 0 black, one colour in use; entries 1..255 stay.
    bool Create(int32_t newWidth, int32_t newHeight);
    void Release();
    bool hasPixels() const { return !pixels.empty(); }

    int FindOrAddColor(RgbColor colour);
    int SetPixelColor(int x, int y, RgbColor colour);
    void SetPaletteEntry(uint8_t index, RgbColor colour);
    // Returns false when the 8x8 tile was copied, true when it does not fit.
    bool PutTile(const uint8_t* tile, int tx, int ty);
    RgbColor GetPixelColor(int x, int y) const;
    int GetColorCount() const { return colorCount; }
    void SwapColors(int a, int b);
    void Flip(int vertical, bool cropToContent);

    uint8_t pixel(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    void setPixel(int x, int y, uint8_t index) { pixels[size_t(y) * size_t(width) + size_t(x)] = index; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }

    // Reads the width x height top-left block of a surface, colours numbered in
    // order of first appearance after black at index 0.
    void GrabFromDC(const Surface& dc, int grabWidth, int grabHeight);
    // Renders the picture (over the backdrop, index 0 letting it through) into the
    // top-left width x height block of dc, clipped to the surface. 0 = own size.
    void Draw(Surface& dc, const IndexedImage* backdrop, int drawWidth = 0, int drawHeight = 0) const;
    // Renders each source pixel from (srcX, srcY) on as a zoom x zoom block; the
    // backdrop stays at its natural size behind it. 0 = zoom x the picture's size.
    void DrawMagnified(uint8_t zoom, Surface& dc, int srcX, int srcY, const IndexedImage* backdrop,
                       int outWidth = 0, int outHeight = 0) const;
};
