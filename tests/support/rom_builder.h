#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/rgb_color.h"

// Builds a synthetic game image byte by byte, so a test knows exactly what a correct
// reader must return. The image is 4 MiB of zeros with the byte the copier-header
// test looks for (0xA2 at ROM offset 0x20); it is written with or without the
// 512-byte copier header. Each data set adds its areas through its own helper in
// this folder, which calls the primitives below.
class RomBuilder {
public:
    static constexpr uint32_t defaultSize = 4u * 1024u * 1024u;

    explicit RomBuilder(uint32_t romSize = defaultSize);

    std::vector<uint8_t>& bytes() { return rom_; }
    const std::vector<uint8_t>& bytes() const { return rom_; }

    void putByte(uint32_t romOffset, uint8_t value);
    void putBytes(uint32_t romOffset, const std::vector<uint8_t>& data);
    void putWord(uint32_t romOffset, uint16_t value); // little-endian
    uint8_t byteAt(uint32_t romOffset) const { return rom_.at(romOffset); }

    // A colour as the game stores it (low byte first); returns what it wrote.
    void putSnesColor(uint32_t romOffset, RgbColor colour);
    // 64 indices (rows top to bottom) as a planar tile of 24 (8 colours) or 32 bytes.
    void putTile(uint32_t romOffset, const uint8_t* indices, int colourCount);
    // ASCII text in the game's character codes, space-padded to fieldLength.
    void putText(uint32_t romOffset, const std::string& text, size_t fieldLength);
    // An LZSS block (length word included) holding `data`; returns its size in bytes.
    size_t putCompressed(uint32_t romOffset, const std::vector<uint8_t>& data);

    // The file as a copier would leave it, with or without the 512-byte header.
    std::vector<uint8_t> fileBytes(bool copierHeader) const;
    // Writes the file; returns false when that fails.
    bool writeTo(const std::string& path, bool copierHeader) const;

private:
    std::vector<uint8_t> rom_;
};

// The game's code for an ASCII character (letters, digits, space and a few signs).
uint8_t asciiToGameChar(char c);
