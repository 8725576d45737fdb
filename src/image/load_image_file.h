#pragma once

#include <cstdint>
#include <string>

#include "image/image_file_result.h"
#include "image/indexed_image.h"

// Reads a picture with the reader its name's extension picks (.bmp, .pcx, .png, in
// any letter case). Only the name decides: a PNG file named .bmp goes to the BMP
// reader and is NotAnImage. A name without one of the three is NotAnImage and the
// file is not opened.
ImageFileResult LoadImageFile(IndexedImage& image, const std::string& path, int32_t maxColors, int32_t maxWidth,
                              int32_t maxHeight);
