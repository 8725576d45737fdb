#include "support/rom_builder.h"

#include <cstdio>
#include <stdexcept>

#include "rom/snes_color.h"
#include "rom/tile_codec.h"
#include "support/lzss_compressor.h"

RomBuilder::RomBuilder(uint32_t romSize) : rom_(romSize, 0)
{
    if (romSize > 0x20)
        rom_[0x20] = 0xA2; // what the copier-header test recognises the game by
}

void RomBuilder::putByte(uint32_t romOffset, uint8_t value)
{
    rom_.at(romOffset) = value;
}

void RomBuilder::putBytes(uint32_t romOffset, const std::vector<uint8_t>& data)
{
    if (uint64_t(romOffset) + data.size() > rom_.size())
        throw std::out_of_range("RomBuilder: data past the end of the image");
    std::copy(data.begin(), data.end(), rom_.begin() + romOffset);
}

void RomBuilder::putWord(uint32_t romOffset, uint16_t value)
{
    putByte(romOffset, uint8_t(value & 0xFF));
    putByte(romOffset + 1, uint8_t(value >> 8));
}

void RomBuilder::putSnesColor(uint32_t romOffset, RgbColor colour)
{
    const SnesWordBytes word = rgbToSnes(colour);
    putByte(romOffset, word.low);
    putByte(romOffset + 1, word.high);
}

void RomBuilder::putTile(uint32_t romOffset, const uint8_t* indices, int colourCount)
{
    std::vector<uint8_t> planar(size_t(tileBytes(colourCount)));
    encodeTilePixels(indices, planar.data(), colourCount);
    putBytes(romOffset, planar);
}

void RomBuilder::putText(uint32_t romOffset, const std::string& text, size_t fieldLength)
{
    for (size_t i = 0; i < fieldLength; ++i)
        putByte(romOffset + uint32_t(i), asciiToGameChar(i < text.size() ? text[i] : ' '));
}

size_t RomBuilder::putCompressed(uint32_t romOffset, const std::vector<uint8_t>& data)
{
    const std::vector<uint8_t> block = compressLzss(data);
    putBytes(romOffset, block);
    return block.size();
}

std::vector<uint8_t> RomBuilder::fileBytes(bool copierHeader) const
{
    std::vector<uint8_t> file;
    file.reserve(rom_.size() + 512);
    if (copierHeader)
        file.assign(512, 0);
    file.insert(file.end(), rom_.begin(), rom_.end());
    return file;
}

bool RomBuilder::writeTo(const std::string& path, bool copierHeader) const
{
    const std::vector<uint8_t> file = fileBytes(copierHeader);
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && written;
}

uint8_t asciiToGameChar(char c)
{
    if (c >= 'A' && c <= 'Z')
        return uint8_t(c + 0x3F);
    if (c >= 'a' && c <= 'z')
        return uint8_t(c + 0x39);
    if (c >= '0' && c <= '9')
        return uint8_t(c + 0x84);
    switch (c) {
    case '!': return 0xBE;
    case '?': return 0xBF;
    case '/': return 0xC0;
    case '"': return 0xC2;
    case '\'': return 0xC3;
    case '-': return 0xC4;
    case '.': return 0xC5;
    case ',': return 0xC6;
    case '%': return 0xCD;
    default: return 0xFF; // space
    }
}
