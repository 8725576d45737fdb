#pragma once

#include "image/surface.h"

// The five pictures the program draws itself as backdrops 0-4, each 128x128:
// 0 a blue gradient and 1 a red cloud pattern, each with the program's name in white;
// 2 blue waves with the name written vertically; 3 a magenta gradient radiating from
// the centre; 4 a blue swirl. Each uses fewer than 256 colours so that it survives
// the trip into an indexed picture unchanged.
constexpr int builtinBackdropCount = 5;
constexpr int builtinBackdropSize = 128;

// An out-of-range number gives a black picture.
Surface makeBuiltinBackdrop(int number);
