#include "support/lzss_compressor.h"

#include <array>

#include "rom/lzss.h"

namespace {

constexpr size_t minMatch = 3;
constexpr size_t maxMatch = 34;

// How many bytes from data[at] on a copy from ring position `source` reproduces.
// Byte i of the copy comes from the ring as it was unless the copy has already
// overwritten that position, in which case it is the byte written i - distance ago.
size_t matchLength(const std::array<uint8_t, lzssRingSize>& ring, size_t ringPosition, size_t source,
                   const std::vector<uint8_t>& data, size_t at)
{
    const size_t distance = (ringPosition + lzssRingSize - source) % lzssRingSize;
    size_t length = 0;
    while (length < maxMatch && at + length < data.size()) {
        const uint8_t copied = (distance > 0 && length >= distance) ? data[at + length - distance]
                                                                    : ring[(source + length) % lzssRingSize];
        if (copied != data[at + length])
            break;
        ++length;
    }
    return length;
}

} // namespace

std::vector<uint8_t> compressLzss(const std::vector<uint8_t>& data)
{
    std::vector<uint8_t> block{0, 0};
    std::array<uint8_t, lzssRingSize> ring{};
    size_t ringPosition = lzssRingStart;
    size_t at = 0;
    while (at < data.size()) {
        const size_t flagPosition = block.size();
        block.push_back(0);
        for (int bit = 0; bit < 8 && at < data.size(); ++bit) {
            size_t bestLength = 0;
            size_t bestSource = 0;
            for (size_t source = 0; source < lzssRingSize && bestLength < maxMatch; ++source) {
                const size_t length = matchLength(ring, ringPosition, source, data, at);
                if (length > bestLength) {
                    bestLength = length;
                    bestSource = source;
                }
            }
            size_t taken = 1;
            if (bestLength >= minMatch) {
                const unsigned word = unsigned(bestSource) | unsigned(bestLength - minMatch) << 11;
                block.push_back(uint8_t(word & 0xFF));
                block.push_back(uint8_t(word >> 8));
                taken = bestLength;
            } else {
                block[flagPosition] |= uint8_t(1u << bit);
                block.push_back(data[at]);
            }
            for (size_t i = 0; i < taken; ++i) {
                ring[ringPosition] = data[at + i];
                ringPosition = (ringPosition + 1) % lzssRingSize;
            }
            at += taken;
        }
    }
    const size_t length = block.size();
    block[0] = uint8_t(length & 0xFF);
    block[1] = uint8_t(length >> 8);
    return block;
}
