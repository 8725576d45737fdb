#pragma once

#include <cstddef>
#include <cstdint>

// The compressed blocks of the battle backgrounds: a 16-bit length L (counting its
// own two bytes) and L - 2 bytes of groups: a flag byte, then up to 8 items, lowest
// flag bit first. A set bit is a literal byte; a clear bit a 16-bit word w copying
// (w >> 11) + 3 bytes from position w & 0x7FF of a 2048-byte ring that starts zeroed
// with its write position at 0x7DE.
constexpr size_t lzssRingSize = 2048;
constexpr size_t lzssRingStart = 0x7DE;
// The most compressed bytes a block may carry; a longer block is decoded from its
// first lzssMaxData bytes only.
constexpr size_t lzssMaxData = 8192;

// Decompresses the block at `block`, of which `available` bytes exist (bytes the
// block claims beyond them read as zero, as does an item cut off by the block's end).
// Writes at most `capacity` bytes and returns how many it wrote. L below 2 is taken
// as an empty block; like L = 2 it still yields the one item its zeroed data spells.
size_t decompressLzss(const uint8_t* block, size_t available, uint8_t* destination, size_t capacity);
