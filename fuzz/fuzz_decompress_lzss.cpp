#include <cstddef>
#include <cstdint>
#include <vector>

#include "rom/lzss.h"

// The first byte picks the room the caller gives the output (a background's 0x2000
// bytes or less), the rest is the block.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const size_t capacity = data[0] == 0 ? 0x10000 : size_t(data[0]) * 64;
    std::vector<uint8_t> output(capacity);
    const size_t written = decompressLzss(data + 1, size - 1, output.data(), capacity);
    if (written > capacity)
        __builtin_trap();
    return 0;
}
