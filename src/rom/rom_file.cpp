#include "rom/rom_file.h"

#include "rom/rom_state.h"

RomFile::~RomFile()
{
    close();
}

bool RomFile::open(const std::string& path, bool copierHeader)
{
    close();
    copierHeader_ = copierHeader;
    writeFailed_ = false;
    // "r+b" opens an existing file for update: never creates, never truncates.
    file_ = std::fopen(path.c_str(), "r+b");
    if (!file_)
        return false;
    if (std::fseek(file_, 0, SEEK_END) != 0) {
        close();
        return false;
    }
    size_ = std::ftell(file_);
    if (size_ < 0) {
        close();
        return false;
    }
    return true;
}

size_t RomFile::readFileAt(int64_t filePosition, void* destination, size_t count)
{
    if (!file_ || filePosition < 0 || count == 0)
        return 0;
    if (std::fseek(file_, long(filePosition), SEEK_SET) != 0)
        return 0;
    return std::fread(destination, 1, count, file_);
}

bool RomFile::writeFileAt(int64_t filePosition, const void* source, size_t count)
{
    if (!file_ || filePosition < 0) {
        writeFailed_ = true;
        return false;
    }
    if (count == 0)
        return true;
    if (std::fseek(file_, long(filePosition), SEEK_SET) != 0 || std::fwrite(source, 1, count, file_) != count) {
        writeFailed_ = true;
        return false;
    }
    if (filePosition + int64_t(count) > size_)
        size_ = filePosition + int64_t(count);
    return true;
}

size_t RomFile::readAt(uint32_t romOffset, void* destination, size_t count)
{
    return readFileAt(romToFile(romOffset, copierHeader_), destination, count);
}

bool RomFile::writeAt(uint32_t romOffset, const void* source, size_t count)
{
    return writeFileAt(romToFile(romOffset, copierHeader_), source, count);
}

bool RomFile::holds(uint32_t romOffset, size_t count) const
{
    return romToFile(romOffset, copierHeader_) + int64_t(count) <= size_;
}

bool RomFile::close()
{
    if (!file_)
        return true;
    const bool flushed = std::fflush(file_) == 0;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    const bool ok = flushed && closed && !writeFailed_;
    writeFailed_ = false;
    return ok;
}

CopierHeader detectCopierHeader(RomFile& file)
{
    constexpr uint8_t gameImageMarker = 0xA2; // the game image's byte at ROM offset 0x20
    uint8_t byte = 0;
    if (file.readFileAt(romToFile(0x20, true), &byte, 1) == 1 && byte == gameImageMarker)
        return CopierHeader::Headered;
    if (file.readFileAt(romToFile(0x20, false), &byte, 1) == 1 && byte == gameImageMarker)
        return CopierHeader::Unheadered;
    return CopierHeader::Unrecognised;
}
