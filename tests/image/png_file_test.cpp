#include <gtest/gtest.h>

#include <png.h>

#include <csetjmp>
#include <string>
#include <vector>

#include "image/png_file.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace {

const RgbColor red(255, 0, 0), green(0, 255, 0), blue(0, 0, 255), white(255, 255, 255);

// A PNG made with libpng for the test; rows hold one byte per sample (palette
// indices one per byte, packed by libpng for depths below 8).
struct PngLayout {
    int width = 1;
    int height = 1;
    int colorType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<png_color> palette;
    std::vector<png_byte> alphas;
    bool keyed = false;
    png_color_16 key{};
    std::vector<std::vector<png_byte>> rows;
};

void collect(png_structp png, png_bytep data, size_t length)
{
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void noFlush(png_structp) {}

bool encodeInto(const PngLayout& layout, std::vector<uint8_t>& out, png_structp png, png_infop info,
                std::vector<png_bytep>& rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, &out, collect, noFlush);
    png_set_IHDR(png, info, png_uint_32(layout.width), png_uint_32(layout.height), layout.bitDepth, layout.colorType,
                 layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!layout.palette.empty())
        png_set_PLTE(png, info, layout.palette.data(), int(layout.palette.size()));
    if (!layout.alphas.empty())
        png_set_tRNS(png, info, layout.alphas.data(), int(layout.alphas.size()), nullptr);
    if (layout.keyed)
        png_set_tRNS(png, info, nullptr, 1, &layout.key);
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, layout.bitDepth < 8 ? PNG_TRANSFORM_PACKING : PNG_TRANSFORM_IDENTITY, nullptr);
    return true;
}

std::vector<uint8_t> encode(const PngLayout& layout)
{
    std::vector<uint8_t> out;
    std::vector<std::vector<png_byte>> rows = layout.rows;
    std::vector<png_bytep> pointers;
    for (auto& row : rows)
        pointers.push_back(row.data());
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    const bool ok = encodeInto(layout, out, png, info, pointers);
    png_destroy_write_struct(&png, &info);
    EXPECT_TRUE(ok) << "the test's own PNG could not be made";
    return out;
}

ImageFileResult read(IndexedImage& image, const std::vector<uint8_t>& file, int maxColors = 256)
{
    return ReadPng(image, std::span<const uint8_t>(file), maxColors, 128, 128);
}

png_color entry(RgbColor c)
{
    return png_color{c.red, c.green, c.blue};
}

RgbColor colourOf(int i)
{
    return RgbColor(uint8_t(i * 13), uint8_t(255 - i), uint8_t(i * 7));
}

PngLayout sixteenEntryPalettedLayout()
{
    PngLayout layout;
    layout.colorType = PNG_COLOR_TYPE_PALETTE;
    layout.bitDepth = 4;
    layout.width = 4;
    for (int i = 0; i < 16; ++i)
        layout.palette.push_back(entry(colourOf(i)));
    layout.rows = {{0, 5, 9, 0}};
    return layout;
}

TEST(PngRead, TransparentEntryOfAFourBitFileMovesToIndexZero)
{
    PngLayout layout = sixteenEntryPalettedLayout();
    layout.alphas = {255, 255, 255, 255, 255, 0, 255};
    IndexedImage image;
    ASSERT_EQ(read(image, encode(layout)), ImageFileResult::Ok);
    EXPECT_EQ(image.colorCount, 16);
    EXPECT_EQ(image.palette[0], colourOf(5));
    EXPECT_EQ(image.palette[5], colourOf(0));
    EXPECT_EQ(image.palette[9], colourOf(9));
    EXPECT_EQ(image.pixels, (std::vector<uint8_t>{5, 0, 9, 5}));
}

TEST(PngRead, EightBitPaletteKeepsOnlyUsedColoursAndTheTransparentOneGoesFirst)
{
    struct Case {
        int transparentEntry;
        std::vector<uint8_t> expectedPixels;
    } cases[] = {
        {7, {0, 1, 0, 2}},   // the top-left colour is already index 0
        {200, {1, 0, 1, 2}}, // entry 200 first appears second: swapped with index 0
        {300, {0, 1, 0, 2}}, // no entry has alpha 0
    };
    for (const Case& c : cases) {
        PngLayout layout;
        layout.colorType = PNG_COLOR_TYPE_PALETTE;
        layout.width = 4;
        for (int i = 0; i < 256; ++i)
            layout.palette.push_back(entry(colourOf(i)));
        layout.alphas.assign(256, 255);
        if (c.transparentEntry < 256)
            layout.alphas[size_t(c.transparentEntry)] = 0;
        layout.rows = {{7, 200, 7, 9}};
        IndexedImage image;
        ASSERT_EQ(read(image, encode(layout)), ImageFileResult::Ok);
        EXPECT_EQ(image.colorCount, 3);
        EXPECT_EQ(image.pixels, c.expectedPixels) << "transparent entry " << c.transparentEntry;
        EXPECT_EQ(image.GetPixelColor(1, 0), colourOf(200));
    }
}

TEST(PngRead, KeyedColourOfAnRgbFileMovesToIndexZero)
{
    PngLayout layout;
    layout.width = 3;
    layout.keyed = true;
    layout.key.red = 0;
    layout.key.green = 255;
    layout.key.blue = 0;
    layout.rows = {{255, 0, 0, 0, 0, 255, 0, 255, 0}}; // red, blue, green
    IndexedImage image;
    ASSERT_EQ(read(image, encode(layout)), ImageFileResult::Ok);
    EXPECT_EQ(image.palette[0], green);
    EXPECT_EQ(image.palette[2], red);
    EXPECT_EQ(image.pixels, (std::vector<uint8_t>{2, 1, 0}));
}

TEST(PngRead, SixteenBitAndGreyFilesAreConvertedWithTheirKeys)
{
    PngLayout rgb16;
    rgb16.width = 2;
    rgb16.bitDepth = 16;
    rgb16.keyed = true;
    rgb16.key.red = 0x1234;
    rgb16.key.green = 0x5678;
    rgb16.key.blue = 0x9ABC;
    rgb16.rows = {{0xFF, 0x01, 0, 0, 0, 0, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}};
    IndexedImage image;
    ASSERT_EQ(read(image, encode(rgb16)), ImageFileResult::Ok);
    EXPECT_EQ(image.palette[0], RgbColor(0x12, 0x56, 0x9A));
    EXPECT_EQ(image.palette[1], RgbColor(0xFF, 0, 0));

    PngLayout grey2;
    grey2.colorType = PNG_COLOR_TYPE_GRAY;
    grey2.bitDepth = 2;
    grey2.width = 4;
    grey2.keyed = true;
    grey2.key.gray = 2;
    grey2.rows = {{0, 1, 2, 3}};
    ASSERT_EQ(read(image, encode(grey2)), ImageFileResult::Ok);
    EXPECT_EQ(image.palette[0], RgbColor(170, 170, 170));
    EXPECT_EQ(image.GetPixelColor(0, 0), RgbColor(0, 0, 0));
    EXPECT_EQ(image.GetPixelColor(1, 0), RgbColor(85, 85, 85));
    EXPECT_EQ(image.GetPixelColor(3, 0), RgbColor(255, 255, 255));
}

TEST(PngRead, AlphaIsDroppedWithoutEffect)
{
    PngLayout layout;
    layout.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    layout.width = 2;
    layout.rows = {{0, 0, 255, 0, 255, 0, 0, 0}}; // blue and red, both fully transparent
    IndexedImage image;
    ASSERT_EQ(read(image, encode(layout)), ImageFileResult::Ok);
    EXPECT_EQ(image.colorCount, 2);
    EXPECT_EQ(image.palette[0], blue);
    EXPECT_EQ(image.palette[1], red);
}

TEST(PngRead, InterlacedPalettedFileIsReassembled)
{
    PngLayout layout;
    layout.colorType = PNG_COLOR_TYPE_PALETTE;
    layout.bitDepth = 2;
    layout.width = 9;
    layout.height = 9;
    for (int i = 0; i < 4; ++i)
        layout.palette.push_back(entry(colourOf(i)));
    for (int y = 0; y < 9; ++y) {
        layout.rows.emplace_back();
        for (int x = 0; x < 9; ++x)
            layout.rows.back().push_back(png_byte((x * 3 + y) % 4));
    }
    IndexedImage straight, interlaced;
    ASSERT_EQ(read(straight, encode(layout)), ImageFileResult::Ok);
    layout.interlaced = true;
    ASSERT_EQ(read(interlaced, encode(layout)), ImageFileResult::Ok);
    EXPECT_EQ(interlaced.pixels, straight.pixels);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(interlaced.GetPixelColor(x, y), colourOf((x * 3 + y) % 4)) << x << "," << y;
}

TEST(PngRead, LimitsOfSizeAndColours)
{
    PngLayout wide;
    wide.width = 129;
    wide.rows = {std::vector<png_byte>(3 * 129)};
    IndexedImage image;
    EXPECT_EQ(read(image, encode(wide)), ImageFileResult::TooLarge);

    PngLayout colourful;
    colourful.width = 17;
    colourful.rows = {{}};
    for (int x = 0; x < 17; ++x)
        colourful.rows[0].insert(colourful.rows[0].end(), {png_byte(x), 0, 0});
    EXPECT_EQ(read(image, encode(colourful), 16), ImageFileResult::TooManyColors);
    EXPECT_EQ(read(image, encode(colourful), 17), ImageFileResult::Ok);
    EXPECT_EQ(read(image, encode(sixteenEntryPalettedLayout()), 15), ImageFileResult::TooManyColors);
}

TEST(PngRead, OnlyFiveSignatureBytesAreCheckedBeforeLibpng)
{
    const std::vector<uint8_t> valid = encode(sixteenEntryPalettedLayout());
    std::vector<uint8_t> brokenSixth = valid;
    brokenSixth[5] = 'x';
    std::vector<uint8_t> fiveBytesThenBmp = {137, 80, 78, 71, 13, 'B', 'M', 0, 0, 0, 0, 0, 0};
    const std::vector<std::vector<uint8_t>> files = {
        {}, {137, 80, 78, 71}, {137, 80, 78, 71, 13}, fiveBytesThenBmp, brokenSixth, {'B', 'M', 0, 0, 0, 0, 0, 0},
    };
    for (const auto& file : files) {
        IndexedImage image;
        EXPECT_EQ(read(image, file), ImageFileResult::NotAnImage) << file.size() << " bytes";
    }
    IndexedImage image;
    EXPECT_EQ(read(image, valid), ImageFileResult::Ok);
}

TEST(PngRead, CutOffAndDamagedFilesEndCleanly)
{
    PngLayout layout = sixteenEntryPalettedLayout();
    layout.alphas = {0};
    const std::vector<uint8_t> whole = encode(layout);
    for (size_t size = 0; size < whole.size(); ++size) {
        IndexedImage image;
        EXPECT_EQ(read(image, std::vector<uint8_t>(whole.begin(), whole.begin() + long(size))),
                  ImageFileResult::NotAnImage)
            << size << " of " << whole.size() << " bytes";
    }
    // Every single damaged byte either still reads (an ancillary chunk, say) or is
    // refused; a successful read always gives a whole picture.
    for (size_t at = 0; at < whole.size(); ++at) {
        std::vector<uint8_t> damaged = whole;
        damaged[at] ^= 0x5A;
        IndexedImage image;
        const ImageFileResult result = read(image, damaged);
        EXPECT_TRUE(result == ImageFileResult::Ok || result == ImageFileResult::NotAnImage) << "byte " << at;
        if (result == ImageFileResult::Ok) {
            EXPECT_EQ(image.pixels.size(), size_t(image.width) * size_t(image.height)) << "byte " << at;
        }
    }
}

struct Chunk {
    std::string type;
    std::vector<uint8_t> data;
};

std::vector<Chunk> chunksOf(const std::vector<uint8_t>& file)
{
    std::vector<Chunk> chunks;
    for (size_t at = 8; at + 12 <= file.size();) {
        const size_t length = size_t(file[at]) << 24 | size_t(file[at + 1]) << 16 | size_t(file[at + 2]) << 8 | file[at + 3];
        chunks.push_back({std::string(file.begin() + long(at) + 4, file.begin() + long(at) + 8),
                          std::vector<uint8_t>(file.begin() + long(at) + 8, file.begin() + long(at + 8 + length))});
        at += 12 + length;
    }
    return chunks;
}

const Chunk* findChunk(const std::vector<Chunk>& chunks, const std::string& type)
{
    for (const Chunk& chunk : chunks) {
        if (chunk.type == type)
            return &chunk;
    }
    return nullptr;
}

IndexedImage pictureWithColours(int colours, int32_t width, int32_t height)
{
    IndexedImage image;
    image.Create(width, height);
    for (int i = 0; i < colours; ++i)
        image.SetPaletteEntry(uint8_t(i), colourOf(i + 20));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, uint8_t((x + y * 7) % colours));
    return image;
}

TEST(PngWrite, PaletteHoldsTheColoursInUseAndIndexZeroIsTransparent)
{
    for (int colours : {16, 8, 1}) {
        const IndexedImage picture = pictureWithColours(colours, 40, 40);
        TempDir dir;
        const std::string path = dir.file("p.png");
        ASSERT_FALSE(WritePng(picture, path, 40, 40));
        const std::vector<Chunk> chunks = chunksOf(readFileBytes(path));
        const Chunk* header = findChunk(chunks, "IHDR");
        const Chunk* palette = findChunk(chunks, "PLTE");
        const Chunk* transparency = findChunk(chunks, "tRNS");
        ASSERT_TRUE(header && palette && transparency);
        EXPECT_EQ(header->data[8], 4) << "bit depth";
        EXPECT_EQ(header->data[9], 3) << "colour type";
        EXPECT_EQ(palette->data.size(), size_t(3 * colours));
        EXPECT_EQ(transparency->data, std::vector<uint8_t>{0});

        IndexedImage back;
        ASSERT_EQ(ReadPng(back, path, 16, 128, 128), ImageFileResult::Ok);
        EXPECT_EQ(back.pixels, picture.pixels) << colours << " colours";
        for (int i = 0; i < colours; ++i)
            EXPECT_EQ(back.palette[size_t(i)], picture.palette[size_t(i)]);
    }
}

TEST(PngWrite, RefusesWhatTheFileCannotHold)
{
    TempDir dir;
    const std::string path = dir.file("p.png");
    EXPECT_TRUE(WritePng(pictureWithColours(17, 8, 8), path, 8, 8)) << "17 colours";
    IndexedImage beyondPalette = pictureWithColours(8, 8, 8);
    beyondPalette.setPixel(3, 3, 8);
    EXPECT_TRUE(WritePng(beyondPalette, path, 8, 8)) << "index past the palette";
    EXPECT_TRUE(WritePng(pictureWithColours(4, 8, 8), path, 8, 9)) << "taller than the picture";
    EXPECT_TRUE(WritePng(pictureWithColours(4, 8, 8), dir.file("no/folder.png"), 8, 8)) << "folder missing";
}

} // namespace
