#pragma once

#include <cstdint>
#include <string>

#include "image/indexed_image.h"

// Writes the top-left width x height block of a picture with the writer its name's
// extension picks (.bmp, .pcx, .png, in any letter case). Like the writers it returns
// true on failure: an unknown extension, a block the 4-bit formats cannot hold, or a
// file that cannot be written.
bool WriteImageFile(const IndexedImage& image, const std::string& path, int32_t width, int32_t height);
