#pragma once

#include <cstdint>
#include <vector>

// Compresses data into a block that decompressLzss turns back into exactly `data`:
// the length word, then groups of a flag byte and 8 items. Matches are searched over
// the whole ring, including references that overlap the write position, so runs
// compress into self-repeating copies. Greedy and slow; made for tests.
std::vector<uint8_t> compressLzss(const std::vector<uint8_t>& data);
