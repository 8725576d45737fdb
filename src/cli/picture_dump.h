#pragma once

#include <ostream>

#include "image/indexed_image.h"
#include "image/surface.h"

// The text form of a picture that `dump` and `image-info` print: "indexed W H N", the
// N colours as RRGGBB, then one line per row with two hex digits per pixel.
void writeIndexedDump(std::ostream& out, const IndexedImage& image, int colours);
// "rgb W H", then one line per row with RRGGBB per pixel.
void writeRgbDump(std::ostream& out, const Surface& surface);
