#include "image/png_file.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstring>
#include <new>
#include <vector>

#include "image/export_limits.h"
#include "image/palette_builder.h"
#include "image/whole_file.h"

namespace {

// Only the first five bytes are compared here; libpng checks the other three.
constexpr size_t checkedSignatureBytes = 5;

// libpng reports errors by jumping back to the setjmp of the step that called it.
// Each step below is a function whose own locals need no destructor, so the jump
// skips nothing; everything with a destructor lives in the caller's state. Messages
// are dropped: the reader answers with a result code, nothing is shown or logged.
[[noreturn]] void stopOnPngError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void ignorePngWarning(png_structp, png_const_charp) {}

template <typename Step>
bool runGuarded(png_structp png, Step&& step)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    step();
    return true;
}

struct PngReadState {
    std::span<const uint8_t> file;
    size_t position = checkedSignatureBytes;
    png_structp png = nullptr;
    png_infop info = nullptr;
    png_infop endInfo = nullptr;

    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colorType = 0;
    bool paletted = false;

    std::array<RgbColor, 256> scratch{}; // the file's palette; black past its end
    int transparentIndex = -1;
    bool hasTransparentColour = false;
    RgbColor transparentColour;

    size_t rowBytes = 0;
    std::vector<uint8_t> rowData;
    std::vector<png_bytep> rows;

    ~PngReadState() { png_destroy_read_struct(&png, &info, &endInfo); }
};

void readFromSpan(png_structp png, png_bytep out, size_t length)
{
    auto* state = static_cast<PngReadState*>(png_get_io_ptr(png));
    if (length > state->file.size() - state->position)
        png_error(png, "file cut off");
    std::memcpy(out, state->file.data() + state->position, length);
    state->position += length;
}

void readHeader(PngReadState& s)
{
    png_set_read_fn(s.png, &s, readFromSpan);
    png_set_sig_bytes(s.png, int(checkedSignatureBytes));
    // Only IHDR, PLTE, tRNS and the image data matter here. Every other chunk is
    // skipped unread, so a damaged text or profile chunk cannot make libpng claim or
    // inflate large buffers.
    static const png_byte skipped[] = "bKGD\0cHRM\0eXIf\0gAMA\0hIST\0iCCP\0iTXt\0oFFs\0pCAL\0pHYs\0sBIT\0"
                                      "sCAL\0sPLT\0sRGB\0tEXt\0tIME\0zTXt\0";
    png_set_keep_unknown_chunks(s.png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_set_keep_unknown_chunks(s.png, PNG_HANDLE_CHUNK_NEVER, skipped, int(sizeof skipped / 5));
    png_set_chunk_malloc_max(s.png, 4u << 20);
    png_set_chunk_cache_max(s.png, 256);
    png_read_info(s.png, s.info);
    int interlace = 0;
    png_get_IHDR(s.png, s.info, &s.width, &s.height, &s.bitDepth, &s.colorType, &interlace, nullptr, nullptr);
    s.paletted = s.colorType == PNG_COLOR_TYPE_PALETTE;
}

// An 8-bit value of a grey or colour sample as the transforms below deliver it.
uint8_t sampleTo8Bits(png_uint_16 sample, int bitDepth, bool grey)
{
    if (bitDepth == 16)
        return uint8_t(sample >> 8); // the low byte is stripped from the pixels too
    if (grey && bitDepth < 8)
        return uint8_t((sample & ((1u << bitDepth) - 1)) * 255u / ((1u << bitDepth) - 1));
    return uint8_t(sample);
}

void readPalette(PngReadState& s)
{
    png_colorp entries = nullptr;
    int count = 0;
    if (png_get_PLTE(s.png, s.info, &entries, &count)) {
        for (int i = 0; i < count && i < 256; ++i)
            s.scratch[size_t(i)] = RgbColor(entries[i].red, entries[i].green, entries[i].blue);
    }
}

void readTransparency(PngReadState& s)
{
    if (!png_get_valid(s.png, s.info, PNG_INFO_tRNS))
        return;
    png_bytep alpha = nullptr;
    int count = 0;
    png_color_16p colour = nullptr;
    png_get_tRNS(s.png, s.info, &alpha, &count, &colour);
    if (s.paletted) {
        for (int i = 0; alpha && i < count && i < 256; ++i) {
            if (alpha[i] == 0) {
                s.transparentIndex = i;
                return;
            }
        }
        return;
    }
    if (!colour || count < 1)
        return;
    if (s.colorType == PNG_COLOR_TYPE_GRAY) {
        const uint8_t grey = sampleTo8Bits(colour->gray, s.bitDepth, true);
        s.transparentColour = RgbColor(grey, grey, grey);
    } else {
        s.transparentColour = RgbColor(sampleTo8Bits(colour->red, s.bitDepth, false),
                                       sampleTo8Bits(colour->green, s.bitDepth, false),
                                       sampleTo8Bits(colour->blue, s.bitDepth, false));
    }
    s.hasTransparentColour = true;
}

// Paletted files come out as rows of indices, every other file as 8-bit red, green,
// blue; interlaced files are reassembled by libpng.
void prepareTransforms(PngReadState& s)
{
    if (s.paletted) {
        // Rows of 1, 2 and 4-bit files stay packed; enterPixels takes them apart.
        readPalette(s);
    } else {
        if (s.bitDepth == 16)
            png_set_strip_16(s.png);
        if (!(s.colorType & PNG_COLOR_MASK_COLOR)) {
            if (s.bitDepth < 8)
                png_set_expand_gray_1_2_4_to_8(s.png);
            png_set_gray_to_rgb(s.png);
        }
        if (s.colorType & PNG_COLOR_MASK_ALPHA)
            png_set_strip_alpha(s.png);
    }
    readTransparency(s);
    png_set_interlace_handling(s.png);
    png_read_update_info(s.png, s.info);
    s.rowBytes = png_get_rowbytes(s.png, s.info);
}

void moveToIndexZero(IndexedImage& image, RgbColor colour)
{
    for (int i = 0; i < image.colorCount; ++i) {
        if (image.palette[size_t(i)] == colour) {
            image.SwapColors(i, 0);
            return;
        }
    }
}

// Paletted rows hold Bits-bit indices, leftmost pixel in the highest bits of a byte.
template <int Bits>
bool enterPalettedRows(const PngReadState& s, IndexedImage& image, PaletteBuilder& builder)
{
    constexpr unsigned perByte = 8 / Bits;
    constexpr unsigned valueMask = (1u << Bits) - 1;
    auto colourOf = [&s](uint8_t value) { return s.scratch[value]; };
    for (png_uint_32 y = 0; y < s.height; ++y) {
        const uint8_t* row = s.rows[y];
        uint8_t* out = image.pixels.data() + size_t(y) * s.width;
        if (Bits == 8 && builder.translateResolved(row, out, s.width))
            continue; // every colour of the row is known already
        for (png_uint_32 x = 0; x < s.width; ++x) {
            const unsigned shift = 8 - Bits * (1 + x % perByte);
            const int index = builder.indexForEntry(uint8_t((row[x / perByte] >> shift) & valueMask), colourOf);
            if (index < 0)
                return false;
            out[x] = uint8_t(index);
        }
    }
    return true;
}

bool enterColourRows(const PngReadState& s, IndexedImage& image, PaletteBuilder& builder)
{
    for (png_uint_32 y = 0; y < s.height; ++y) {
        const uint8_t* row = s.rows[y];
        uint8_t* out = image.pixels.data() + size_t(y) * s.width;
        for (png_uint_32 x = 0; x < s.width; ++x) {
            const int index = builder.indexFor(RgbColor(row[3 * x], row[3 * x + 1], row[3 * x + 2]));
            if (index < 0)
                return false;
            out[x] = uint8_t(index);
        }
    }
    return true;
}

ImageFileResult enterPixels(const PngReadState& s, IndexedImage& image, int maxColors)
{
    image.colorCount = 0;
    PaletteBuilder builder(image, maxColors);
    if (s.paletted && s.bitDepth == 4) {
        // A 16-colour file keeps its own palette order and all 16 entries.
        if (!builder.installTable(16, [&s](uint8_t i) { return s.scratch[i]; }))
            return ImageFileResult::TooManyColors;
    }
    bool withinLimit = true;
    switch (s.paletted ? s.bitDepth : 0) {
    case 1:
        withinLimit = enterPalettedRows<1>(s, image, builder);
        break;
    case 2:
        withinLimit = enterPalettedRows<2>(s, image, builder);
        break;
    case 4:
        for (png_uint_32 y = 0; y < s.height; ++y)
            builder.translateFourBitRow(s.rows[y], image.pixels.data() + size_t(y) * s.width, int32_t(s.width));
        break;
    case 8:
        withinLimit = enterPalettedRows<8>(s, image, builder);
        break;
    default:
        withinLimit = enterColourRows(s, image, builder);
        break;
    }
    if (!withinLimit)
        return ImageFileResult::TooManyColors;
    if (s.transparentIndex >= 0)
        moveToIndexZero(image, s.scratch[size_t(s.transparentIndex)]);
    else if (s.hasTransparentColour)
        moveToIndexZero(image, s.transparentColour);
    return ImageFileResult::Ok;
}

ImageFileResult readPngState(PngReadState& s, IndexedImage& image, int maxColors, int maxWidth, int maxHeight)
{
    s.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, stopOnPngError, ignorePngWarning);
    if (!s.png)
        return ImageFileResult::CannotOpen;
    s.info = png_create_info_struct(s.png);
    s.endInfo = png_create_info_struct(s.png);
    if (!s.info || !s.endInfo)
        return ImageFileResult::CannotOpen;

    if (!runGuarded(s.png, [&s] { readHeader(s); }))
        return ImageFileResult::NotAnImage;
    image.width = int32_t(s.width);
    image.height = int32_t(s.height);
    if (s.width > png_uint_32(std::max(maxWidth, 0)) || s.height > png_uint_32(std::max(maxHeight, 0)))
        return ImageFileResult::TooLarge;
    if (!runGuarded(s.png, [&s] { prepareTransforms(s); }))
        return ImageFileResult::NotAnImage;
    const size_t expectedRowBytes =
        s.paletted ? (size_t(s.width) * size_t(s.bitDepth) + 7) / 8 : 3 * size_t(s.width);
    if (s.rowBytes != expectedRowBytes)
        return ImageFileResult::NotAnImage;

    try {
        s.rowData.assign(s.rowBytes * s.height, 0);
        s.rows.resize(s.height);
        image.pixels.assign(size_t(s.width) * s.height, 0);
    } catch (const std::bad_alloc&) {
        return ImageFileResult::CannotOpen;
    }
    for (png_uint_32 y = 0; y < s.height; ++y)
        s.rows[y] = s.rowData.data() + size_t(y) * s.rowBytes;
    if (!runGuarded(s.png, [&s] { png_read_image(s.png, s.rows.data()); }))
        return ImageFileResult::NotAnImage;
    if (ImageFileResult result = enterPixels(s, image, maxColors); result != ImageFileResult::Ok)
        return result;
    if (!runGuarded(s.png, [&s] { png_read_end(s.png, s.endInfo); }))
        return ImageFileResult::NotAnImage;
    return ImageFileResult::Ok;
}

// Collects the encoded file in memory; it is written to disk in one piece.
void appendToVector(png_structp png, png_bytep data, size_t length)
{
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    bool stored = true;
    try {
        out->insert(out->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        stored = false;
    }
    if (!stored)
        png_error(png, "out of memory");
}

void flushNothing(png_structp) {}

struct PngWriteState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<uint8_t> encoded;
    std::vector<uint8_t> indices;
    std::vector<png_bytep> rows;
    std::array<png_color, 16> entries{};
    png_byte transparentAlpha = 0;

    ~PngWriteState() { png_destroy_write_struct(&png, &info); }
};

void encodePng(PngWriteState& s, int32_t width, int32_t height, int colourCount)
{
    png_set_write_fn(s.png, &s.encoded, appendToVector, flushNothing);
    png_set_IHDR(s.png, s.info, png_uint_32(width), png_uint_32(height), 4, PNG_COLOR_TYPE_PALETTE,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(s.png, s.info, s.entries.data(), colourCount);
    png_set_tRNS(s.png, s.info, &s.transparentAlpha, 1, nullptr);
    png_set_rows(s.png, s.info, s.rows.data());
    png_write_png(s.png, s.info, PNG_TRANSFORM_PACKING, nullptr);
}

} // namespace

ImageFileResult ReadPng(IndexedImage& image, std::span<const uint8_t> file, int maxColors, int maxWidth,
                        int maxHeight)
{
    image.Release();
    if (file.size() < checkedSignatureBytes || png_sig_cmp(file.data(), 0, checkedSignatureBytes) != 0)
        return ImageFileResult::NotAnImage;
    PngReadState state;
    state.file = file;
    return readPngState(state, image, maxColors, maxWidth, maxHeight);
}

ImageFileResult ReadPng(IndexedImage& image, const std::string& path, int maxColors, int maxWidth, int maxHeight)
{
    std::vector<uint8_t> file;
    if (!ReadWholeFile(path, file))
        return ImageFileResult::CannotOpen;
    return ReadPng(image, std::span<const uint8_t>(file), maxColors, maxWidth, maxHeight);
}

bool WritePng(const IndexedImage& image, const std::string& path, int32_t width, int32_t height)
{
    // The palette holds colorCount entries, so an index at or above it would name a
    // colour the file does not have.
    if (!fitsFourBitExport(image, width, height, image.colorCount))
        return true;
    PngWriteState state;
    try {
        state.indices.resize(size_t(width) * size_t(height));
        state.rows.resize(size_t(height));
    } catch (const std::bad_alloc&) {
        return true;
    }
    for (int32_t y = 0; y < height; ++y) {
        state.rows[size_t(y)] = state.indices.data() + size_t(y) * size_t(width);
        for (int32_t x = 0; x < width; ++x)
            state.rows[size_t(y)][x] = image.pixel(x, y);
    }
    for (int i = 0; i < image.colorCount; ++i) {
        const RgbColor colour = image.palette[size_t(i)];
        state.entries[size_t(i)] = png_color{colour.red, colour.green, colour.blue};
    }
    state.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, stopOnPngError, ignorePngWarning);
    if (!state.png)
        return true;
    state.info = png_create_info_struct(state.png);
    if (!state.info)
        return true;
    const int colourCount = image.colorCount;
    if (!runGuarded(state.png, [&] { encodePng(state, width, height, colourCount); }))
        return true;
    return !WriteWholeFile(path, state.encoded);
}
