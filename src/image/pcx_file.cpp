#include "image/pcx_file.h"

#include <algorithm>
#include <array>
#include <new>
#include <vector>

#include "image/export_limits.h"
#include "image/little_endian.h"
#include "image/palette_builder.h"
#include "image/whole_file.h"

namespace {

constexpr size_t headerSize = 128;
constexpr size_t trailingPaletteSize = 768;
constexpr uint8_t manufacturerMark = 10;
constexpr uint8_t runMarker = 0xC0;
constexpr size_t longestRun = 63;

enum class PcxKind { Monochrome, SixteenColours, TwoHundredFiftySixColours, TrueColour };

struct PcxLayout {
    PcxKind kind = PcxKind::Monochrome;
    int32_t width = 0;
    int32_t height = 0;
    size_t bytesPerLine = 0;
    int planes = 1;
};

bool chooseKind(uint8_t bitsPerPixel, uint8_t planes, PcxKind& kind)
{
    if (planes == 3 && bitsPerPixel == 8) {
        kind = PcxKind::TrueColour;
        return true;
    }
    if (planes != 1)
        return false;
    switch (bitsPerPixel) {
    case 1:
        kind = PcxKind::Monochrome;
        return true;
    case 4:
        kind = PcxKind::SixteenColours;
        return true;
    case 8:
        kind = PcxKind::TwoHundredFiftySixColours;
        return true;
    default:
        return false;
    }
}

size_t pixelsPerByte(PcxKind kind)
{
    switch (kind) {
    case PcxKind::Monochrome:
        return 8;
    case PcxKind::SixteenColours:
        return 2;
    default:
        return 1;
    }
}

// Decodes run-length data line by line. A run that reaches past the end of a line is
// cut there: its remaining repetitions are lost and the next line starts with the
// next byte. Running out of data is reported, never read past.
class LineDecoder {
public:
    explicit LineDecoder(std::span<const uint8_t> data) : data_(data) {}

    bool decode(std::vector<uint8_t>& line)
    {
        // Locals, not members: the byte stores below could otherwise alias them and
        // force a reload after every byte.
        const uint8_t* data = data_.data();
        const size_t available = data_.size();
        size_t next = next_;
        const size_t length = line.size();
        uint8_t* out = line.data();
        size_t position = 0;
        while (position < length) {
            if (next >= available)
                return false;
            const uint8_t marker = data[next++];
            if ((marker & runMarker) != runMarker) {
                out[position++] = marker;
                continue;
            }
            if (next >= available)
                return false;
            const uint8_t value = data[next++];
            const size_t end = std::min(position + (marker & 0x3Fu), length);
            while (position < end)
                out[position++] = value;
        }
        next_ = next;
        return true;
    }

private:
    std::span<const uint8_t> data_;
    size_t next_ = 0;
};

RgbColor fileColour(const uint8_t* redGreenBlue)
{
    return RgbColor(redGreenBlue[0], redGreenBlue[1], redGreenBlue[2]);
}

class PcxDecoder {
public:
    PcxDecoder(std::span<const uint8_t> file, const PcxLayout& layout, IndexedImage& image, int maxColors)
        : file_(file), layout_(layout), image_(image), builder_(image, maxColors)
    {
    }

    ImageFileResult run()
    {
        std::span<const uint8_t> data = file_.subspan(headerSize);
        if (layout_.kind == PcxKind::TwoHundredFiftySixColours) {
            for (size_t i = 0; i < 256; ++i)
                tablePalette_[i] = fileColour(file_.data() + file_.size() - trailingPaletteSize + 3 * i);
            data = data.first(data.size() - trailingPaletteSize);
        }
        if (layout_.kind == PcxKind::SixteenColours) {
            // The file's own palette order stays, all 16 header entries included.
            auto headerColour = [this](uint8_t i) { return fileColour(file_.data() + 16 + 3 * size_t(i)); };
            if (!builder_.installTable(16, headerColour))
                return ImageFileResult::TooManyColors;
        }
        LineDecoder decoder(data);
        lines_.assign(size_t(layout_.planes), std::vector<uint8_t>(layout_.bytesPerLine));
        for (int32_t y = 0; y < layout_.height; ++y) {
            for (std::vector<uint8_t>& line : lines_) {
                if (!decoder.decode(line))
                    return ImageFileResult::NotAnImage; // the data ends before the picture
            }
            if (!enterRow(y))
                return ImageFileResult::TooManyColors;
        }
        return ImageFileResult::Ok;
    }

private:
    bool put(int32_t x, int32_t y, RgbColor colour) { return builder_.put(x, y, colour); }

    // Enters a row whose values select colours of a fixed table.
    template <typename ValueAt, typename ColourOf>
    bool enterIndexed(int32_t y, ValueAt valueAt, ColourOf colourOf)
    {
        uint8_t* out = image_.pixels.data() + size_t(y) * size_t(layout_.width);
        for (int32_t x = 0; x < layout_.width; ++x) {
            const int index = builder_.indexForEntry(uint8_t(valueAt(x)), colourOf);
            if (index < 0)
                return false;
            out[x] = uint8_t(index);
        }
        return true;
    }

    bool enterRow(int32_t y)
    {
        const std::vector<uint8_t>& line = lines_[0];
        switch (layout_.kind) {
        case PcxKind::Monochrome:
            return enterIndexed(y, [&line](int32_t x) { return (line[size_t(x) / 8] >> (7 - x % 8)) & 1; },
                                [](uint8_t bit) { return bit ? RgbColor(255, 255, 255) : RgbColor(0, 0, 0); });
        case PcxKind::SixteenColours:
            builder_.translateFourBitRow(line.data(), image_.pixels.data() + size_t(y) * size_t(layout_.width),
                                         layout_.width);
            return true;
        case PcxKind::TwoHundredFiftySixColours: {
            // The padding positions of a line are looked up too: their colours enter
            // the palette (and count toward the limit) but are not stored.
            auto colourOf = [this](uint8_t value) { return tablePalette_[value]; };
            uint8_t* out = image_.pixels.data() + size_t(y) * size_t(layout_.width);
            if (!builder_.translateResolved(line.data(), out, size_t(layout_.width)) &&
                !enterIndexed(y, [&line](int32_t x) { return line[size_t(x)]; }, colourOf))
                return false;
            for (size_t position = size_t(layout_.width); position < line.size(); ++position) {
                if (builder_.indexForEntry(line[position], colourOf) < 0)
                    return false;
            }
            return true;
        }
        case PcxKind::TrueColour:
            for (int32_t x = 0; x < layout_.width; ++x) {
                const RgbColor colour(lines_[0][size_t(x)], lines_[1][size_t(x)], lines_[2][size_t(x)]);
                if (!put(x, y, colour))
                    return false;
            }
            return true;
        }
        return false;
    }

    std::span<const uint8_t> file_;
    const PcxLayout& layout_;
    IndexedImage& image_;
    PaletteBuilder builder_;
    std::array<RgbColor, 256> tablePalette_{};
    std::vector<std::vector<uint8_t>> lines_;
};

// The smallest amount of data that could fill every line: one byte gives at most 63
// bytes of a line. A file below it is cut off, and saying so early keeps a tiny
// damaged file from claiming a picture buffer for a huge window.
bool holdsEnoughData(size_t dataSize, const PcxLayout& layout)
{
    const uint64_t unitsPerLine = (uint64_t(layout.bytesPerLine) + longestRun - 1) / longestRun;
    return uint64_t(dataSize) >= unitsPerLine * uint64_t(layout.planes) * uint64_t(layout.height);
}

} // namespace

ImageFileResult ReadPcx(IndexedImage& image, std::span<const uint8_t> file, int maxColors, int maxWidth,
                        int maxHeight)
{
    image.Release();
    if (file.size() < headerSize || file[0] != manufacturerMark)
        return ImageFileResult::NotAnImage;
    const uint8_t* header = file.data();
    const int32_t xMin = readLe16(header + 4);
    const int32_t yMin = readLe16(header + 6);
    const int32_t xMax = readLe16(header + 8);
    const int32_t yMax = readLe16(header + 10);
    if (xMax < xMin || yMax < yMin)
        return ImageFileResult::NotAnImage;
    PcxLayout layout;
    layout.width = xMax - xMin + 1;
    layout.height = yMax - yMin + 1;
    image.width = layout.width;
    image.height = layout.height;
    if (layout.width > maxWidth || layout.height > maxHeight)
        return ImageFileResult::TooLarge;

    if (!chooseKind(header[3], header[65], layout.kind))
        return ImageFileResult::NotAnImage;
    layout.planes = layout.kind == PcxKind::TrueColour ? 3 : 1;
    layout.bytesPerLine = readLe16(header + 66);
    if (layout.bytesPerLine * pixelsPerByte(layout.kind) < size_t(layout.width))
        return ImageFileResult::NotAnImage; // the lines cannot hold the window
    const size_t trailer = layout.kind == PcxKind::TwoHundredFiftySixColours ? trailingPaletteSize : 0;
    if (file.size() < headerSize + trailer || !holdsEnoughData(file.size() - headerSize - trailer, layout))
        return ImageFileResult::NotAnImage;

    try {
        image.pixels.assign(size_t(layout.width) * size_t(layout.height), 0);
        image.colorCount = 0;
        return PcxDecoder(file, layout, image, maxColors).run();
    } catch (const std::bad_alloc&) {
        return ImageFileResult::CannotOpen;
    }
}

ImageFileResult ReadPcx(IndexedImage& image, const std::string& path, int maxColors, int maxWidth, int maxHeight)
{
    std::vector<uint8_t> file;
    if (!ReadWholeFile(path, file))
        return ImageFileResult::CannotOpen;
    return ReadPcx(image, std::span<const uint8_t>(file), maxColors, maxWidth, maxHeight);
}

void AppendPcxRun(std::vector<uint8_t>& out, std::span<const uint8_t> row)
{
    size_t at = 0;
    while (at < row.size()) {
        const uint8_t value = row[at];
        size_t length = 1;
        while (at + length < row.size() && length < longestRun && row[at + length] == value)
            ++length;
        if (length >= 2 || value >= runMarker)
            out.push_back(uint8_t(runMarker + length));
        out.push_back(value);
        at += length;
    }
}

bool WritePcx(const IndexedImage& image, const std::string& path, int32_t width, int32_t height)
{
    // Two pixels share a byte and the window is stored in 16-bit fields.
    if (width % 2 != 0 || width > 0x10000 || height > 0x10000 || !fitsFourBitExport(image, width, height, 16))
        return true;
    std::vector<uint8_t> out(headerSize, 0);
    out[0] = manufacturerMark;
    out[1] = 5; // version 3.0 and later
    out[2] = 1; // run-length encoding
    out[3] = 4; // bits per pixel in the one plane
    writeLe16(out, 8, uint16_t(width - 1));
    writeLe16(out, 10, uint16_t(height - 1));
    writeLe16(out, 12, 1024);
    writeLe16(out, 14, 768);
    for (size_t i = 0; i < 16; ++i) {
        out[16 + 3 * i] = image.palette[i].red;
        out[17 + 3 * i] = image.palette[i].green;
        out[18 + 3 * i] = image.palette[i].blue;
    }
    out[65] = 1;
    const size_t bytesPerLine = size_t(width) / 2;
    writeLe16(out, 66, uint16_t(bytesPerLine));
    writeLe16(out, 68, 1);
    std::vector<uint8_t> packed(bytesPerLine);
    for (int32_t y = 0; y < height; ++y) {
        for (size_t k = 0; k < bytesPerLine; ++k)
            packed[k] = uint8_t(image.pixel(int(2 * k), y) << 4 | image.pixel(int(2 * k + 1), y));
        AppendPcxRun(out, packed);
    }
    return !WriteWholeFile(path, out);
}
