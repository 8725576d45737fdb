#pragma once

#include <cstdint>

#include "image/indexed_image.h"

// The writers all store 4-bit palette indices. A block they cannot hold must be
// refused rather than written as a file that shows other colours: it has to lie
// inside the picture, use at most 16 palette entries, and every pixel in it must be
// below pixelLimit (16, or the colour count where the file carries only that many).
inline bool fitsFourBitExport(const IndexedImage& image, int32_t width, int32_t height, int pixelLimit)
{
    if (width <= 0 || height <= 0 || width > image.width || height > image.height)
        return false;
    if (image.colorCount < 1 || image.colorCount > 16)
        return false;
    if (image.pixels.size() < size_t(image.width) * size_t(image.height))
        return false;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            if (image.pixel(x, y) >= pixelLimit)
                return false;
        }
    }
    return true;
}
