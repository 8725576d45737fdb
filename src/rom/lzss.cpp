#include "rom/lzss.h"

#include <algorithm>
#include <array>

namespace {

// The compressed bytes with zeros past their end, so an item cut off by the end of
// the block (or of the bytes at hand) reads zeros for its missing part.
class LzssInput {
public:
    LzssInput(const uint8_t* data, size_t dataSize, size_t available) : data_(data), size_(dataSize), available_(available) {}
    uint8_t at(size_t position) const { return position < available_ ? data_[position] : 0; }
    size_t size() const { return size_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t available_;
};

} // namespace

size_t decompressLzss(const uint8_t* block, size_t available, uint8_t* destination, size_t capacity)
{
    const unsigned blockLength = available >= 2 ? unsigned(block[0]) | unsigned(block[1]) << 8
                                                : (available == 1 ? block[0] : 0u);
    const size_t dataSize = blockLength < 2 ? 0 : std::min<size_t>(blockLength - 2, lzssMaxData);
    const size_t dataAvailable = std::min(dataSize, available >= 2 ? available - 2 : 0);
    const LzssInput input(block + std::min<size_t>(available, 2), dataSize, dataAvailable);

    std::array<uint8_t, lzssRingSize> ring{};
    size_t ringPosition = lzssRingStart;
    size_t produced = 0;
    size_t readPosition = 0;
    auto emit = [&](uint8_t value) {
        ring[ringPosition] = value;
        ringPosition = (ringPosition + 1) % lzssRingSize;
        if (produced < capacity)
            destination[produced] = value;
        ++produced;
    };

    // The first group is decoded even from an empty block, as the game does.
    do {
        const uint8_t flags = input.at(readPosition++);
        for (int bit = 0; bit < 8; ++bit) {
            if (flags & (1u << bit)) {
                emit(input.at(readPosition++));
            } else {
                const unsigned word = unsigned(input.at(readPosition)) | unsigned(input.at(readPosition + 1)) << 8;
                readPosition += 2;
                const size_t source = word & 0x7FF;
                const size_t length = (word >> 11) + 3;
                // Each byte is stored before the next is fetched, so a reference that
                // overlaps the write position repeats what it has just written.
                for (size_t i = 0; i < length; ++i)
                    emit(ring[(source + i) % lzssRingSize]);
            }
            if (readPosition >= input.size() || produced >= capacity)
                break;
        }
    } while (readPosition < input.size() && produced < capacity);
    return std::min(produced, capacity);
}
