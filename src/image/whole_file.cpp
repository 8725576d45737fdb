#include "image/whole_file.h"

#include <cstdio>
#include <new>

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    bool ok = true;
    try {
        uint8_t chunk[65536];
        for (;;) {
            const size_t got = std::fread(chunk, 1, sizeof chunk, file);
            bytes.insert(bytes.end(), chunk, chunk + got);
            if (got < sizeof chunk)
                break;
        }
        ok = !std::ferror(file);
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    std::fclose(file);
    if (!ok)
        bytes.clear();
    return ok;
}

bool WriteWholeFile(const std::string& path, std::span<const uint8_t> bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}
