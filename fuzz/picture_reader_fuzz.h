#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "image/image_file_result.h"
#include "image/indexed_image.h"

// Runs one picture reader on the fuzzer's bytes with limits large enough to reach
// every decoder, and checks what a successful read promises its callers.
template <typename Reader>
int fuzzPictureReader(Reader read, const uint8_t* data, size_t size)
{
    constexpr int maxColors = 256, maxSize = 512;
    IndexedImage image;
    const ImageFileResult result = read(image, std::span<const uint8_t>(data, size), maxColors, maxSize, maxSize);
    if (result == ImageFileResult::Ok) {
        if (image.width <= 0 || image.height <= 0 || image.width > maxSize || image.height > maxSize)
            __builtin_trap();
        if (image.pixels.size() != size_t(image.width) * size_t(image.height))
            __builtin_trap();
        if (image.colorCount < 1 || image.colorCount > maxColors)
            __builtin_trap();
        for (uint8_t index : image.pixels) {
            if (index >= image.colorCount)
                __builtin_trap();
        }
    }
    return 0;
}
