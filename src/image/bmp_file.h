#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "image/image_file_result.h"
#include "image/indexed_image.h"

// Windows BMP files: read uncompressed 1, 4, 8, 16, 24 and 32 bits per pixel (16 and
// 32 also with channel masks), with 40, 52, 56, 108 or 124-byte information headers,
// bottom-up or top-down. A 4-bit file keeps its own colour table as palette entries;
// every other depth gets a palette of the colours used, in order of first appearance.
// On any result but Ok the caller discards the picture.
ImageFileResult ReadBmp(IndexedImage& image, const std::string& path, int maxColors, int maxWidth, int maxHeight);
ImageFileResult ReadBmp(IndexedImage& image, std::span<const uint8_t> file, int maxColors, int maxWidth,
                        int maxHeight);

// Writes the top-left width x height block as a 4-bit file with a 16-entry colour
// table. Returns true on failure: the file cannot be written, or the block does not
// fit a 16-colour file (more than 16 colours, an index of 16 or more).
bool WriteBmp(const IndexedImage& image, const std::string& path, int32_t width, int32_t height);
