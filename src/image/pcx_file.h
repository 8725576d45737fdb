#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "image/image_file_result.h"
#include "image/indexed_image.h"

// ZSoft PCX files: read run-length-encoded monochrome, 16-colour (4 bits, one plane),
// 256-colour and 24-bit (three planes of 8 bits) files; other layouts are NotAnImage.
// A 16-colour file keeps its header palette as palette entries 0..15; the others get
// a palette of their colours in order of first appearance. A 256-colour file also
// enters the colours of its line padding, which count toward maxColors.
ImageFileResult ReadPcx(IndexedImage& image, const std::string& path, int maxColors, int maxWidth, int maxHeight);
ImageFileResult ReadPcx(IndexedImage& image, std::span<const uint8_t> file, int maxColors, int maxWidth,
                        int maxHeight);

// Writes the top-left width x height block as a 16-colour, one-plane file. Returns
// true on failure: the file cannot be written, or the block does not fit (an odd
// width, more than 16 colours, an index of 16 or more).
bool WritePcx(const IndexedImage& image, const std::string& path, int32_t width, int32_t height);

// The run-length coding of one packed row: runs of up to 63 equal bytes as 192 +
// length and the value; a single byte below 192 as itself, one of 192 or more as 193
// and the byte.
void AppendPcxRun(std::vector<uint8_t>& out, std::span<const uint8_t> row);
