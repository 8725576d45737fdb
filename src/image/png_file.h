#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "image/image_file_result.h"
#include "image/indexed_image.h"

// PNG files through libpng. Paletted files of 1, 2, 4 and 8 bits, interlaced or not;
// grey-scale, grey with alpha, RGB and RGBA files of any depth, converted to 8-bit
// RGB (alpha is dropped). A 4-bit paletted file keeps its 16 palette entries in
// order; every other file gets a palette of its colours in order of first appearance.
// The colour a tRNS chunk marks transparent is moved to index 0. Damaged files are
// NotAnImage.
ImageFileResult ReadPng(IndexedImage& image, const std::string& path, int maxColors, int maxWidth, int maxHeight);
ImageFileResult ReadPng(IndexedImage& image, std::span<const uint8_t> file, int maxColors, int maxWidth,
                        int maxHeight);

// Writes the top-left width x height block as a 4-bit paletted file with colorCount
// palette entries, index 0 fully transparent. Returns true on failure: the file or
// the library structures cannot be made, or the block does not fit (more than 16
// colours, an index at or above colorCount).
bool WritePng(const IndexedImage& image, const std::string& path, int32_t width, int32_t height);
