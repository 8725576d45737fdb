#pragma once

#include "image/indexed_image.h"

class CharacterSpriteSet;

// The picture a character is exchanged as: its 40 frames on a 128x128 sheet, frame f
// at (16 (f mod 8), 24 (f div 8)), with the 16 colours of frame 0. The rows below the
// five rows of frames stay colour 0.
constexpr int spriteSheetSize = 128;

IndexedImage composeSpriteSheet(const CharacterSpriteSet& set, int character);
