#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

enum class CopierHeader { Headered, Unheadered, Unrecognised };

// The one way the program touches a ROM file. The file is opened read-write and is
// never created or truncated, so a ROM that cannot be written cannot be loaded
// either. Positions are absolute; reads say how many bytes really arrived so that a
// loader never decodes bytes it did not read; writes say whether they succeeded.
// The file is closed by close() (which reports a failed flush) or on destruction.
class RomFile {
public:
    RomFile() = default;
    ~RomFile();
    RomFile(const RomFile&) = delete;
    RomFile& operator=(const RomFile&) = delete;

    // Opens an existing file for reading and writing; ROM offsets are mapped with the
    // given copier-header flag.
    bool open(const std::string& path, bool copierHeader);
    bool isOpen() const { return file_ != nullptr; }
    bool copierHeader() const { return copierHeader_; }
    int64_t size() const { return size_; }

    // Raw file positions.
    size_t readFileAt(int64_t filePosition, void* destination, size_t count);
    bool writeFileAt(int64_t filePosition, const void* source, size_t count);

    // ROM offsets, mapped past the copier header when there is one.
    size_t readAt(uint32_t romOffset, void* destination, size_t count);
    bool readExact(uint32_t romOffset, void* destination, size_t count)
    {
        return readAt(romOffset, destination, count) == count;
    }
    bool writeAt(uint32_t romOffset, const void* source, size_t count);
    // True when the file holds every byte of [romOffset, romOffset + count).
    bool holds(uint32_t romOffset, size_t count) const;

    // Flushes and closes; false when anything written did not reach the file.
    bool close();

private:
    std::FILE* file_ = nullptr;
    bool copierHeader_ = false;
    bool writeFailed_ = false;
    int64_t size_ = 0;
};

// Looks at ROM offset 0x20 in both possible placements, the headered one first:
// the game image holds 0xA2 there. Reads at most two bytes.
CopierHeader detectCopierHeader(RomFile& file);
