#include "image/bmp_file.h"

#include <array>
#include <bit>
#include <new>
#include <vector>

#include "image/export_limits.h"
#include "image/little_endian.h"
#include "image/palette_builder.h"
#include "image/whole_file.h"

namespace {

constexpr size_t fileHeaderSize = 14;
constexpr size_t infoHeaderSize = 40;
constexpr uint32_t uncompressed = 0;
constexpr uint32_t withChannelMasks = 3;

// One colour channel of a 16 or 32-bit pixel: its mask, moved down to bit 0 and
// widened or narrowed to 8 bits with the value's top bits kept, so a 5-bit value v
// becomes v x 8 as the 16-bit files have always read.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    explicit Channel(uint32_t channelMask)
        : mask(channelMask), shift(channelMask ? std::countr_zero(channelMask) : 0),
          bits(std::popcount(channelMask))
    {
    }

    uint8_t decode(uint32_t pixel) const
    {
        if (bits == 0)
            return 0;
        const uint32_t value = (pixel & mask) >> shift;
        return bits >= 8 ? uint8_t(value >> (bits - 8)) : uint8_t(value << (8 - bits));
    }
};

struct BmpLayout {
    int32_t width = 0;
    int32_t height = 0;
    bool topDown = false;
    int bitsPerPixel = 0;
    std::vector<RgbColor> table; // the colour table of 1, 4 and 8-bit files
    std::array<uint32_t, 3> masks{}; // red, green, blue of 16 and 32-bit files
    size_t pixelOffset = 0;
    size_t stride = 0;
};

bool isKnownInfoHeader(uint32_t size)
{
    // BITMAPINFOHEADER and its later versions, which all begin with the same 40 bytes.
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

std::array<uint32_t, 3> defaultMasks(int bitsPerPixel)
{
    if (bitsPerPixel == 16)
        return {0x7C00u, 0x03E0u, 0x001Fu};
    return {0xFF0000u, 0x00FF00u, 0x0000FFu};
}

// Reads the headers and the colour table; Ok, or the code that ends the read.
ImageFileResult readLayout(std::span<const uint8_t> file, BmpLayout& layout)
{
    if (file.size() < fileHeaderSize + infoHeaderSize || file[0] != 'B' || file[1] != 'M')
        return ImageFileResult::NotAnImage;
    const uint8_t* header = file.data();
    const uint32_t headerSize = readLe32(header + 14);
    if (!isKnownInfoHeader(headerSize) || file.size() < fileHeaderSize + headerSize)
        return ImageFileResult::NotAnImage;
    layout.width = int32_t(readLe32(header + 18));
    const int32_t heightField = int32_t(readLe32(header + 22));
    if (layout.width <= 0 || heightField == 0 || heightField == INT32_MIN)
        return ImageFileResult::NotAnImage;
    layout.topDown = heightField < 0;
    layout.height = layout.topDown ? -heightField : heightField;
    layout.bitsPerPixel = readLe16(header + 28);
    return ImageFileResult::Ok;
}

ImageFileResult readFormat(std::span<const uint8_t> file, BmpLayout& layout)
{
    const uint8_t* header = file.data();
    const uint32_t headerSize = readLe32(header + 14);
    const int bits = layout.bitsPerPixel;
    const uint32_t compression = readLe32(header + 30);
    if (compression != uncompressed && compression != withChannelMasks)
        return ImageFileResult::NotAnImage; // run-length, JPEG or PNG data
    const bool indexed = bits == 1 || bits == 4 || bits == 8;
    if (!indexed && bits != 16 && bits != 24 && bits != 32)
        return bits < 16 ? ImageFileResult::CannotOpen : ImageFileResult::NotAnImage;
    const bool masked = compression == withChannelMasks;
    if (masked && bits != 16 && bits != 32)
        return ImageFileResult::NotAnImage;
    size_t tableOffset = fileHeaderSize + headerSize;
    layout.masks = defaultMasks(bits);
    if (masked) {
        // The three masks follow a 40-byte header and sit inside every longer one.
        if (file.size() < fileHeaderSize + infoHeaderSize + 12)
            return ImageFileResult::NotAnImage;
        for (size_t i = 0; i < 3; ++i)
            layout.masks[i] = readLe32(header + fileHeaderSize + infoHeaderSize + 4 * i);
        if (headerSize == infoHeaderSize)
            tableOffset += 12;
    }

    if (indexed) {
        const uint32_t fullTable = 1u << bits;
        const uint32_t coloursUsed = readLe32(header + 46);
        if (coloursUsed > fullTable)
            return ImageFileResult::NotAnImage; // more colours than the depth can name
        const uint32_t entries = coloursUsed == 0 ? fullTable : coloursUsed;
        if (tableOffset + 4 * size_t(entries) > file.size())
            return ImageFileResult::NotAnImage;
        for (uint32_t i = 0; i < entries; ++i) {
            const uint8_t* entry = header + tableOffset + 4 * i;
            layout.table.push_back(RgbColor(entry[2], entry[1], entry[0]));
        }
        tableOffset += 4 * size_t(entries);
    }

    const uint32_t dataOffset = readLe32(header + 10);
    layout.pixelOffset = dataOffset != 0 ? dataOffset : tableOffset;
    layout.stride = ((uint64_t(layout.width) * uint64_t(bits) + 31) / 32) * 4;
    const uint64_t dataSize = uint64_t(layout.stride) * uint64_t(layout.height);
    if (layout.pixelOffset > file.size() || dataSize > file.size() - layout.pixelOffset)
        return ImageFileResult::NotAnImage; // cut off inside the pixel rows
    return ImageFileResult::Ok;
}

RgbColor tableColour(const BmpLayout& layout, unsigned index)
{
    // An index past a short colour table shows black, as a display would.
    return index < layout.table.size() ? layout.table[index] : RgbColor(0, 0, 0);
}

template <int Bits>
unsigned indexedValue(const uint8_t* row, int32_t x)
{
    if constexpr (Bits == 1)
        return (row[x / 8] >> (7 - x % 8)) & 1u;
    else if constexpr (Bits == 4)
        return x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0Fu;
    else
        return row[x];
}

const uint8_t* fileRow(std::span<const uint8_t> file, const BmpLayout& layout, int32_t y)
{
    const int32_t stored = layout.topDown ? y : layout.height - 1 - y;
    return file.data() + layout.pixelOffset + size_t(stored) * layout.stride;
}

template <int Bits>
ImageFileResult decodeIndexed(std::span<const uint8_t> file, const BmpLayout& layout, IndexedImage& image,
                              PaletteBuilder& builder)
{
    auto colourOf = [&layout](uint8_t value) { return tableColour(layout, value); };
    for (int32_t y = 0; y < layout.height; ++y) {
        const uint8_t* row = fileRow(file, layout, y);
        uint8_t* out = image.pixels.data() + size_t(y) * size_t(layout.width);
        if (Bits == 8 && builder.translateResolved(row, out, size_t(layout.width)))
            continue; // every colour of the row is known already
        for (int32_t x = 0; x < layout.width; ++x) {
            const int index = builder.indexForEntry(uint8_t(indexedValue<Bits>(row, x)), colourOf);
            if (index < 0)
                return ImageFileResult::TooManyColors;
            out[x] = uint8_t(index);
        }
    }
    return ImageFileResult::Ok;
}

ImageFileResult decodeTrueColour(std::span<const uint8_t> file, const BmpLayout& layout, PaletteBuilder& builder)
{
    const std::array<Channel, 3> channels{Channel(layout.masks[0]), Channel(layout.masks[1]),
                                          Channel(layout.masks[2])};
    const int bits = layout.bitsPerPixel;
    for (int32_t y = 0; y < layout.height; ++y) {
        const uint8_t* row = fileRow(file, layout, y);
        for (int32_t x = 0; x < layout.width; ++x) {
            RgbColor colour;
            if (bits == 24) {
                const uint8_t* at = row + 3 * size_t(x);
                colour = RgbColor(at[2], at[1], at[0]);
            } else {
                const uint32_t pixel = bits == 16 ? readLe16(row + 2 * size_t(x)) : readLe32(row + 4 * size_t(x));
                colour = RgbColor(channels[0].decode(pixel), channels[1].decode(pixel), channels[2].decode(pixel));
            }
            if (!builder.put(x, y, colour))
                return ImageFileResult::TooManyColors;
        }
    }
    return ImageFileResult::Ok;
}

// Visits the rows from the top and each row from the left, so the palette is built in
// order of first appearance.
ImageFileResult decodePixels(std::span<const uint8_t> file, const BmpLayout& layout, IndexedImage& image,
                             int maxColors)
{
    PaletteBuilder builder(image, maxColors);
    switch (layout.bitsPerPixel) {
    case 1:
        return decodeIndexed<1>(file, layout, image, builder);
    case 4:
        // A 16-colour file keeps its own palette order, unused entries included.
        if (!builder.installTable(int(layout.table.size()), [&layout](uint8_t i) { return layout.table[i]; }))
            return ImageFileResult::TooManyColors;
        if (!builder.resolvedUpTo(16))
            return decodeIndexed<4>(file, layout, image, builder); // values past a short table
        for (int32_t y = 0; y < layout.height; ++y)
            builder.translateFourBitRow(fileRow(file, layout, y), image.pixels.data() + size_t(y) * size_t(layout.width),
                                        layout.width);
        return ImageFileResult::Ok;
    case 8:
        return decodeIndexed<8>(file, layout, image, builder);
    default:
        return decodeTrueColour(file, layout, builder);
    }
}

} // namespace

ImageFileResult ReadBmp(IndexedImage& image, std::span<const uint8_t> file, int maxColors, int maxWidth,
                        int maxHeight)
{
    image.Release();
    BmpLayout layout;
    if (ImageFileResult result = readLayout(file, layout); result != ImageFileResult::Ok)
        return result;
    image.width = layout.width;
    image.height = layout.height;
    if (layout.width > maxWidth || layout.height > maxHeight)
        return ImageFileResult::TooLarge;
    if (ImageFileResult result = readFormat(file, layout); result != ImageFileResult::Ok)
        return result;
    try {
        image.pixels.assign(size_t(layout.width) * size_t(layout.height), 0);
    } catch (const std::bad_alloc&) {
        return ImageFileResult::CannotOpen;
    }
    image.colorCount = 0;
    return decodePixels(file, layout, image, maxColors);
}

ImageFileResult ReadBmp(IndexedImage& image, const std::string& path, int maxColors, int maxWidth, int maxHeight)
{
    std::vector<uint8_t> file;
    if (!ReadWholeFile(path, file))
        return ImageFileResult::CannotOpen;
    return ReadBmp(image, std::span<const uint8_t>(file), maxColors, maxWidth, maxHeight);
}

bool WriteBmp(const IndexedImage& image, const std::string& path, int32_t width, int32_t height)
{
    if (!fitsFourBitExport(image, width, height, 16))
        return true;
    // Rows are padded to whole 32-bit words; for the widths the pages export (multiples
    // of 8) that is exactly width / 2 bytes.
    const size_t stride = ((size_t(width) + 1) / 2 + 3) / 4 * 4;
    const size_t dataSize = stride * size_t(height);
    const size_t dataOffset = fileHeaderSize + infoHeaderSize + 16 * 4;
    std::vector<uint8_t> out(dataOffset + dataSize, 0);
    out[0] = 'B';
    out[1] = 'M';
    writeLe32(out, 2, uint32_t(out.size()));
    writeLe32(out, 10, uint32_t(dataOffset));
    writeLe32(out, 14, uint32_t(infoHeaderSize));
    writeLe32(out, 18, uint32_t(width));
    writeLe32(out, 22, uint32_t(height));
    writeLe16(out, 26, 1);
    writeLe16(out, 28, 4);
    writeLe32(out, 34, uint32_t(dataSize));
    writeLe32(out, 38, 4000);
    writeLe32(out, 42, 4000);
    for (size_t i = 0; i < 16; ++i) {
        const RgbColor colour = image.palette[i];
        uint8_t* entry = out.data() + fileHeaderSize + infoHeaderSize + 4 * i;
        entry[0] = colour.blue;
        entry[1] = colour.green;
        entry[2] = colour.red;
    }
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = out.data() + dataOffset + size_t(height - 1 - y) * stride;
        for (int32_t x = 0; x < width; ++x) {
            const uint8_t index = image.pixel(x, y);
            row[x / 2] |= x % 2 == 0 ? uint8_t(index << 4) : index;
        }
    }
    return !WriteWholeFile(path, out);
}
