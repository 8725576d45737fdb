#include "image/indexed_image.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <new>

namespace {

constexpr uint32_t unusedEntryColour = 0xFF000000u;

// The colours a composite shows, as surface pixels: entries at and above the
// composite's colour count are not in use and show black.
struct DisplayPalette {
    std::array<uint32_t, 256> argb;

    DisplayPalette() { argb.fill(unusedEntryColour); }

    void set(int index, RgbColor colour) { argb[size_t(index) & 0xFF] = colour.toArgb(); }
    void hideFrom(int count)
    {
        for (int i = std::max(count, 0); i < 256; ++i)
            argb[size_t(i)] = unusedEntryColour;
    }
};

// Backdrop entry j lands at index (colorCount + j) mod 256 of a composite; returns
// 1 + the highest index the backdrop wrote, or 0 without a backdrop.
int addBackdropColours(DisplayPalette& shown, int colorCount, const IndexedImage* backdrop)
{
    if (!backdrop || backdrop->colorCount <= 0)
        return 0;
    for (int j = 0; j < backdrop->colorCount && j < 256; ++j)
        shown.set((colorCount + j) & 0xFF, backdrop->palette[size_t(j)]);
    return std::min(255, colorCount + backdrop->colorCount - 1) + 1;
}

uint8_t backdropIndexAt(const IndexedImage* backdrop, int x, int y)
{
    if (!backdrop || !backdrop->hasPixels() || !backdrop->contains(x, y))
        return 0;
    return backdrop->pixel(x, y);
}

} // namespace

bool IndexedImage::Create(int32_t newWidth, int32_t newHeight)
{
    width = newWidth;
    height = newHeight;
    colorCount = 1;
    pixels.clear();
    pixels.shrink_to_fit();
    if (newWidth <= 0 || newHeight <= 0)
        return true;
    const uint64_t size = uint64_t(newWidth) * uint64_t(newHeight);
    if (size > uint64_t(std::numeric_limits<int32_t>::max()))
        return true;
    try {
        pixels.assign(size_t(size), 0);
    } catch (const std::bad_alloc&) {
        return true;
    }
    palette[0] = RgbColor(0, 0, 0);
    return false;
}

void IndexedImage::Release()
{
    pixels.clear();
    pixels.shrink_to_fit();
}

int IndexedImage::FindOrAddColor(RgbColor colour)
{
    const int inUse = std::clamp(colorCount, 0, 256);
    for (int i = 0; i < inUse; ++i) {
        if (palette[size_t(i)] == colour)
            return i;
    }
    if (inUse >= 256)
        return PaletteFull;
    palette[size_t(inUse)] = colour;
    colorCount = inUse + 1;
    return inUse;
}

int IndexedImage::SetPixelColor(int x, int y, RgbColor colour)
{
    const int index = FindOrAddColor(colour);
    if (index == PaletteFull)
        return PaletteFull;
    if (hasPixels() && contains(x, y))
        setPixel(x, y, uint8_t(index));
    return colorCount;
}

void IndexedImage::SetPaletteEntry(uint8_t index, RgbColor colour)
{
    palette[index] = colour;
    if (index >= colorCount)
        colorCount = index + 1;
}

bool IndexedImage::PutTile(const uint8_t* tile, int tx, int ty)
{
    if (tx < 0 || ty < 0 || 8 * tx + 8 > width || 8 * ty + 8 > height || !hasPixels())
        return true;
    for (int row = 0; row < 8; ++row)
        std::copy_n(tile + row * 8, 8, pixels.begin() + ptrdiff_t(8 * ty + row) * width + 8 * tx);
    return false;
}

RgbColor IndexedImage::GetPixelColor(int x, int y) const
{
    if (!hasPixels() || !contains(x, y))
        return RgbColor(0, 0, 0);
    return palette[pixel(x, y)];
}

void IndexedImage::SwapColors(int a, int b)
{
    if (a == b || a < 0 || b < 0 || a > 255 || b > 255)
        return;
    std::swap(palette[size_t(a)], palette[size_t(b)]);
    for (uint8_t& index : pixels) {
        if (index == a)
            index = uint8_t(b);
        else if (index == b)
            index = uint8_t(a);
    }
}

void IndexedImage::Flip(int vertical, bool cropToContent)
{
    if (!hasPixels())
        return;
    int regionWidth = width;
    int regionHeight = height;
    if (cropToContent) {
        // The bounding box of the non-zero pixels, anchored at the top-left corner,
        // so a sprite drawn in part of a larger canvas flips in place.
        int right = 0;
        int bottom = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (pixel(x, y) != 0) {
                    right = std::max(right, x);
                    bottom = std::max(bottom, y);
                }
            }
        }
        regionWidth = right + 1;
        regionHeight = bottom + 1;
    }
    const std::vector<uint8_t> before = pixels;
    for (int y = 0; y < regionHeight; ++y) {
        for (int x = 0; x < regionWidth; ++x) {
            const int fromX = vertical ? x : regionWidth - 1 - x;
            const int fromY = vertical ? regionHeight - 1 - y : y;
            pixels[size_t(y) * size_t(width) + size_t(x)] = before[size_t(fromY) * size_t(width) + size_t(fromX)];
        }
    }
}

void IndexedImage::GrabFromDC(const Surface& dc, int grabWidth, int grabHeight)
{
    if (Create(grabWidth, grabHeight))
        return;
    for (int y = 0; y < grabHeight; ++y) {
        for (int x = 0; x < grabWidth; ++x) {
            const RgbColor colour = dc.contains(x, y) ? RgbColor::fromArgb(dc.pixel(x, y)) : RgbColor(0, 0, 0);
            SetPixelColor(x, y, colour); // a colour past the 256th leaves index 0
        }
    }
}

void IndexedImage::Draw(Surface& dc, const IndexedImage* backdrop, int drawWidth, int drawHeight) const
{
    if (drawWidth == 0)
        drawWidth = width;
    if (drawHeight == 0)
        drawHeight = height;
    DisplayPalette shown;
    const int ownCount = std::clamp(colorCount, 0, 256);
    for (int i = 0; i < ownCount; ++i)
        shown.set(i, palette[size_t(i)]);
    const int backdropEnd = addBackdropColours(shown, ownCount, backdrop);
    shown.hideFrom(std::max(ownCount, backdropEnd));

    // Without a backdrop only the picture itself is shown; with one, the whole
    // requested block is a composite in which index 0 lets the backdrop through.
    const int outWidth = std::min(drawWidth, backdrop ? drawWidth : width);
    const int outHeight = std::min(drawHeight, backdrop ? drawHeight : height);
    const int visibleWidth = std::min(outWidth, dc.width);
    const int visibleHeight = std::min(outHeight, dc.height);
    for (int y = 0; y < visibleHeight; ++y) {
        uint32_t* out = dc.row(y);
        for (int x = 0; x < visibleWidth; ++x) {
            int index = (hasPixels() && contains(x, y)) ? pixel(x, y) : 0;
            if (backdrop && index == 0)
                index = (ownCount + backdropIndexAt(backdrop, x, y)) & 0xFF;
            out[x] = shown.argb[size_t(index)];
        }
    }
}

void IndexedImage::DrawMagnified(uint8_t zoom, Surface& dc, int srcX, int srcY, const IndexedImage* backdrop,
                                 int outWidth, int outHeight) const
{
    const int scale = zoom == 0 ? 1 : zoom;
    if (outWidth == 0)
        outWidth = scale * width;
    if (outHeight == 0)
        outHeight = scale * height;
    DisplayPalette shown;
    const int ownCount = std::clamp(colorCount, 0, 256);
    const int backdropEnd = addBackdropColours(shown, ownCount, backdrop);
    // The picture's own colours are written last, so they win where the two overlap.
    for (int i = 0; i < ownCount; ++i)
        shown.set(i, palette[size_t(i)]);
    shown.hideFrom(std::max(ownCount, backdropEnd));

    const int visibleWidth = std::min(outWidth, dc.width);
    const int visibleHeight = std::min(outHeight, dc.height);
    for (int y = 0; y < visibleHeight; ++y) {
        const int sy = srcY + y / scale;
        const bool rowInside = hasPixels() && sy >= 0 && sy < height;
        const uint8_t* sourceRow = rowInside ? pixels.data() + size_t(sy) * size_t(width) : nullptr;
        const bool backdropRowInside = backdrop && backdrop->hasPixels() && y < backdrop->height;
        const uint8_t* backdropRow = backdropRowInside ? backdrop->pixels.data() + size_t(y) * size_t(backdrop->width) : nullptr;
        const int backdropWidth = backdropRow ? backdrop->width : 0;
        uint32_t* out = dc.row(y);
        // Each source pixel covers a run of `scale` output pixels; only index 0 looks
        // at the backdrop, which stays unscaled behind the picture.
        for (int x = 0, sx = srcX; x < visibleWidth; ++sx) {
            const int runEnd = std::min(x + scale, visibleWidth);
            const int index = (sourceRow && sx >= 0 && sx < width) ? sourceRow[sx] : 0;
            if (index != 0 || !backdrop) {
                std::fill(out + x, out + runEnd, shown.argb[size_t(index)]);
                x = runEnd;
                continue;
            }
            for (; x < runEnd; ++x) {
                const int b = x < backdropWidth ? backdropRow[x] : 0;
                out[x] = shown.argb[size_t((ownCount + b) & 0xFF)];
            }
        }
    }
}
