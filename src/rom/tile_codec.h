#pragma once

#include <cstdint>

struct IndexedImage;

// Planar 8x8 tiles. Bytes 0-15 hold bit planes 0 and 1 interleaved by row; 4 bits
// per pixel (16 colours, 32 bytes) add planes 2 and 3 interleaved from byte 16,
// 3 bits per pixel (8 colours, 24 bytes) add plane 2 alone, one byte per row. In
// every plane byte bit 7 is the leftmost pixel.
constexpr int tileBytes(int colourCount) { return colourCount == 8 ? 24 : 32; }

// Fills 64 indices (rows top to bottom) from 24 or 32 source bytes; colourCount
// 8 selects 3 bits per pixel, anything else 4.
void decodeTile(const uint8_t* source, uint8_t* destination, int colourCount);

// Encodes the image's tile (tileColumn, tileRow) into 24 or 32 bytes. Pixels outside
// the image count as index 0; index bits above the depth are dropped.
void encodeTile(const IndexedImage& image, int tileColumn, int tileRow, uint8_t* destination, int colourCount);

// Same, from 64 indices in memory.
void encodeTilePixels(const uint8_t* tile, uint8_t* destination, int colourCount);

void mirrorTileHorizontal(uint8_t* tile);
void mirrorTileVertical(uint8_t* tile);
