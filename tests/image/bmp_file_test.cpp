#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "support/file_bytes.h"
#include "image/bmp_file.h"
#include "support/temp_dir.h"

namespace {

const RgbColor red(255, 0, 0), green(0, 255, 0), blue(0, 0, 255), white(255, 255, 255), black(0, 0, 0);

void putLe(std::vector<uint8_t>& out, size_t at, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out[at + size_t(i)] = uint8_t(value >> (8 * i));
}

// An uncompressed BMP file built field by field; rows are given top row first, each
// already packed for the depth and padded to its stride.
struct BmpLayout {
    int32_t width = 1;
    int32_t height = 1;
    int bits = 24;
    uint32_t headerSize = 40;
    std::vector<RgbColor> table;
    uint32_t coloursUsed = 0;
    uint32_t gapBeforePixels = 0;
    bool topDown = false;
    uint32_t compression = 0;
    std::vector<std::vector<uint8_t>> rows;

    std::vector<uint8_t> bytes() const
    {
        const size_t tableOffset = 14 + headerSize;
        // Room for the 40-byte header fields even when the header claims to be shorter.
        const size_t pixelOffset = std::max<size_t>(tableOffset + 4 * table.size() + gapBeforePixels, 54);
        std::vector<uint8_t> out(pixelOffset, 0);
        out[0] = 'B';
        out[1] = 'M';
        putLe(out, 10, uint32_t(pixelOffset), 4);
        putLe(out, 14, headerSize, 4);
        putLe(out, 18, uint32_t(width), 4);
        putLe(out, 22, uint32_t(topDown ? -height : height), 4);
        putLe(out, 26, 1, 2);
        putLe(out, 28, uint32_t(bits), 2);
        putLe(out, 30, compression, 4);
        putLe(out, 46, coloursUsed, 4);
        for (size_t i = 0; i < table.size(); ++i) {
            out[tableOffset + 4 * i] = table[i].blue;
            out[tableOffset + 4 * i + 1] = table[i].green;
            out[tableOffset + 4 * i + 2] = table[i].red;
        }
        for (int r = 0; r < height; ++r) {
            const auto& row = rows[size_t(topDown ? r : height - 1 - r)];
            out.insert(out.end(), row.begin(), row.end());
        }
        return out;
    }
};

ImageFileResult read(IndexedImage& image, const std::vector<uint8_t>& file, int maxColors = 16, int maxSize = 128)
{
    return ReadBmp(image, std::span<const uint8_t>(file), maxColors, maxSize, maxSize);
}

std::vector<uint8_t> indicesOf(const IndexedImage& image)
{
    return image.pixels;
}

TEST(BmpRead, TrueColourPaletteFollowsFirstAppearance)
{
    BmpLayout layout;
    layout.width = 2;
    layout.height = 2;
    layout.rows = {{0, 0, 255, 255, 0, 0, 0, 0}, {0, 0, 255, 0, 255, 0, 0, 0}}; // red blue / red green
    IndexedImage image;
    ASSERT_EQ(read(image, layout.bytes()), ImageFileResult::Ok);
    EXPECT_EQ(indicesOf(image), (std::vector<uint8_t>{0, 1, 0, 2}));
    EXPECT_EQ(image.colorCount, 3);
    EXPECT_EQ(image.palette[0], red);
    EXPECT_EQ(image.palette[1], blue);
    EXPECT_EQ(image.palette[2], green);
}

TEST(BmpRead, EightBitFileKeepsOnlyTheColoursItUses)
{
    BmpLayout layout;
    layout.bits = 8;
    layout.width = 2;
    layout.table.assign(256, white);
    layout.table[7] = green;
    layout.table[200] = blue;
    layout.rows = {{200, 7, 0, 0}};
    IndexedImage image;
    ASSERT_EQ(read(image, layout.bytes()), ImageFileResult::Ok);
    EXPECT_EQ(image.colorCount, 2);
    EXPECT_EQ(image.palette[0], blue);
    EXPECT_EQ(image.palette[1], green);
}

BmpLayout fourBitLayout()
{
    BmpLayout layout;
    layout.bits = 4;
    layout.width = 4;
    for (int i = 0; i < 16; ++i)
        layout.table.push_back(RgbColor(uint8_t(i * 16), 0, 0));
    layout.rows = {{0x93, 0x5F, 0, 0}};
    return layout;
}

TEST(BmpRead, FourBitFileKeepsItsOwnTableOrder)
{
    BmpLayout layout = fourBitLayout();
    layout.table[9] = layout.table[3];
    IndexedImage image;
    ASSERT_EQ(read(image, layout.bytes()), ImageFileResult::Ok);
    EXPECT_EQ(image.colorCount, 16);
    for (size_t i = 0; i < 16; ++i)
        EXPECT_EQ(image.palette[i], layout.table[i]) << "entry " << i;
    // The pixel of value 9 takes the lowest entry holding its colour, 3.
    EXPECT_EQ(indicesOf(image), (std::vector<uint8_t>{3, 3, 5, 15}));
}

TEST(BmpRead, FourBitFileHonoursAShortColourTable)
{
    BmpLayout layout = fourBitLayout();
    layout.table.resize(12);
    layout.coloursUsed = 12;
    layout.rows = {{0x1B, 0x20, 0, 0}};
    IndexedImage image;
    ASSERT_EQ(read(image, layout.bytes()), ImageFileResult::Ok);
    EXPECT_EQ(image.colorCount, 12);
    EXPECT_EQ(indicesOf(image), (std::vector<uint8_t>{1, 11, 2, 0}));
}

TEST(BmpRead, FourBitFileIsTooColourfulForEightColours)
{
    IndexedImage image;
    EXPECT_EQ(read(image, fourBitLayout().bytes(), 8), ImageFileResult::TooManyColors);
}

struct MonochromeCase {
    int32_t width;
    size_t stride;
};

class BmpMonochromeStride : public testing::TestWithParam<MonochromeCase> {};

TEST_P(BmpMonochromeStride, RowsArePaddedToWholeWords)
{
    BmpLayout layout;
    layout.bits = 1;
    layout.width = GetParam().width;
    layout.height = 2;
    layout.table = {black, white};
    std::vector<uint8_t> top(GetParam().stride, 0), bottom(GetParam().stride, 0);
    top[0] = 0x80;                                   // x = 0 white
    bottom[size_t(layout.width - 1) / 8] = uint8_t(0x80 >> ((layout.width - 1) % 8)); // last x white
    layout.rows = {top, bottom};
    IndexedImage image;
    ASSERT_EQ(read(image, layout.bytes()), ImageFileResult::Ok);
    EXPECT_EQ(image.palette[0], white);
    EXPECT_EQ(image.pixel(0, 0), 0);
    EXPECT_EQ(image.pixel(1, 0), 1);
    EXPECT_EQ(image.pixel(layout.width - 1, 1), 0);
    EXPECT_EQ(image.pixel(layout.width - 2, 1), 1);
}

INSTANTIATE_TEST_SUITE_P(Widths, BmpMonochromeStride,
                         testing::Values(MonochromeCase{12, 4}, MonochromeCase{36, 8}, MonochromeCase{32, 4},
                                         MonochromeCase{33, 8}));

TEST(BmpRead, SixteenBitChannelsAreWidenedByEight)
{
    BmpLayout layout;
    layout.bits = 16;
    layout.width = 2;
    layout.rows = {{0xFF, 0x7F, 0x1F, 0x00}}; // all fifteen bits, then blue only
    IndexedImage image;
    ASSERT_EQ(read(image, layout.bytes()), ImageFileResult::Ok);
    EXPECT_EQ(image.palette[0], RgbColor(248, 248, 248));
    EXPECT_EQ(image.palette[1], RgbColor(0, 0, 248));
}

TEST(BmpRead, HeaderVariantsGapsAndTopDownRowsReadAlike)
{
    BmpLayout plain;
    plain.width = 1;
    plain.height = 2;
    plain.rows = {{0, 0, 255, 0}, {0, 255, 0, 0}}; // red over green
    const std::vector<BmpLayout> variants = [&] {
        std::vector<BmpLayout> list;
        for (uint32_t headerSize : {40u, 108u, 124u}) {
            BmpLayout s = plain;
            s.headerSize = headerSize;
            list.push_back(s);
        }
        BmpLayout gap = plain;
        gap.gapBeforePixels = 6;
        list.push_back(gap);
        BmpLayout topDown = plain;
        topDown.topDown = true;
        list.push_back(topDown);
        return list;
    }();
    for (const BmpLayout& layout : variants) {
        IndexedImage image;
        ASSERT_EQ(read(image, layout.bytes()), ImageFileResult::Ok)
            << "header " << layout.headerSize << " gap " << layout.gapBeforePixels << " top-down " << layout.topDown;
        EXPECT_EQ(image.GetPixelColor(0, 0), red);
        EXPECT_EQ(image.GetPixelColor(0, 1), green);
    }
}

struct RefusalCase {
    const char* what;
    BmpLayout layout;
    ImageFileResult expected;
};

BmpLayout withChange(void (*change)(BmpLayout&))
{
    BmpLayout layout;
    layout.width = 1;
    layout.rows = {{1, 2, 3, 0}};
    change(layout);
    return layout;
}

TEST(BmpRead, RefusesWhatItCannotTake)
{
    const RefusalCase cases[] = {
        {"129 wide", withChange([](BmpLayout& s) { s.width = 129; s.rows = {std::vector<uint8_t>(388)}; }),
         ImageFileResult::TooLarge},
        {"2 bits per pixel", withChange([](BmpLayout& s) { s.bits = 2; s.table.assign(4, black); }),
         ImageFileResult::CannotOpen},
        {"48 bits per pixel", withChange([](BmpLayout& s) { s.bits = 48; s.rows = {std::vector<uint8_t>(8)}; }),
         ImageFileResult::NotAnImage},
        {"run-length data", withChange([](BmpLayout& s) { s.bits = 8; s.compression = 1; s.table.assign(256, red); }),
         ImageFileResult::NotAnImage},
        {"more colours used than 8 bits name",
         withChange([](BmpLayout& s) { s.bits = 8; s.coloursUsed = 300; s.table.assign(256, red); }),
         ImageFileResult::NotAnImage},
        {"header of 12 bytes", withChange([](BmpLayout& s) { s.headerSize = 12; }), ImageFileResult::NotAnImage},
        {"zero width", withChange([](BmpLayout& s) { s.width = 0; }), ImageFileResult::NotAnImage},
        {"negative width", withChange([](BmpLayout& s) { s.width = -4; }), ImageFileResult::NotAnImage},
    };
    for (const RefusalCase& c : cases) {
        IndexedImage image;
        EXPECT_EQ(read(image, c.layout.bytes()), c.expected) << c.what;
    }
}

TEST(BmpRead, WrongSignatureIsNotAnImage)
{
    const std::vector<std::vector<uint8_t>> files = {
        {},
        {'B'},
        {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'},
        std::vector<uint8_t>(60, 'M'),
    };
    for (const auto& file : files) {
        IndexedImage image;
        EXPECT_EQ(read(image, file), ImageFileResult::NotAnImage) << file.size() << " bytes";
    }
}

TEST(BmpRead, EveryCutOffFileIsRefusedCleanly)
{
    BmpLayout layout = fourBitLayout();
    layout.height = 3;
    layout.rows = {{0x12, 0x34, 0, 0}, {0x56, 0x78, 0, 0}, {0x9A, 0xBC, 0, 0}};
    const std::vector<uint8_t> whole = layout.bytes();
    for (size_t size = 0; size < whole.size(); ++size) {
        IndexedImage image;
        const std::vector<uint8_t> cut(whole.begin(), whole.begin() + long(size));
        EXPECT_EQ(read(image, cut), ImageFileResult::NotAnImage) << size << " of " << whole.size() << " bytes";
    }
    IndexedImage image;
    EXPECT_EQ(read(image, whole), ImageFileResult::Ok);
}

TEST(BmpRead, MissingFileLeavesTheImageUntouched)
{
    IndexedImage image;
    image.Create(2, 2);
    TempDir dir;
    EXPECT_EQ(ReadBmp(image, dir.file("none.bmp"), 16, 128, 128), ImageFileResult::CannotOpen);
    EXPECT_EQ(image.pixels.size(), 4u);
}

IndexedImage sixteenColourPicture(int32_t width, int32_t height)
{
    IndexedImage image;
    image.Create(width, height);
    for (int i = 0; i < 16; ++i)
        image.SetPaletteEntry(uint8_t(i), RgbColor(uint8_t(i * 15), uint8_t(255 - i * 9), uint8_t(i * i)));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, uint8_t((x + 3 * y) % 16));
    return image;
}

TEST(BmpWrite, FortyByFortyFileHasTheExpectedLayout)
{
    const IndexedImage picture = sixteenColourPicture(40, 40);
    TempDir dir;
    const std::string path = dir.file("p.bmp");
    ASSERT_FALSE(WriteBmp(picture, path, 40, 40));
    const std::vector<uint8_t> file = readFileBytes(path);
    ASSERT_EQ(file.size(), 918u);
    EXPECT_EQ(file[10], 118);
    EXPECT_EQ(file[28], 4);
    // The first pixel byte is the bottom row's first two pixels, left one high.
    EXPECT_EQ(file[118], uint8_t(picture.pixel(0, 39) << 4 | picture.pixel(1, 39)));
}

TEST(BmpWrite, ReadsBackIdenticallyAlsoWithPaddedRows)
{
    for (int32_t width : {40, 8, 3, 13}) {
        const IndexedImage picture = sixteenColourPicture(width, 5);
        TempDir dir;
        const std::string path = dir.file("p.bmp");
        ASSERT_FALSE(WriteBmp(picture, path, width, 5));
        IndexedImage back;
        ASSERT_EQ(ReadBmp(back, path, 16, 128, 128), ImageFileResult::Ok) << "width " << width;
        EXPECT_EQ(back.pixels, picture.pixels) << "width " << width;
        EXPECT_EQ(back.colorCount, 16);
        for (size_t i = 0; i < 16; ++i)
            EXPECT_EQ(back.palette[i], picture.palette[i]);
    }
}

TEST(BmpWrite, RefusesWhatAFourBitFileCannotHold)
{
    TempDir dir;
    const std::string path = dir.file("p.bmp");
    IndexedImage seventeen = sixteenColourPicture(8, 2);
    seventeen.SetPaletteEntry(16, white);
    EXPECT_TRUE(WriteBmp(seventeen, path, 8, 2)) << "17 colours";
    IndexedImage highIndex = sixteenColourPicture(8, 2);
    highIndex.setPixel(7, 1, 16);
    EXPECT_TRUE(WriteBmp(highIndex, path, 8, 2)) << "index 16";
    const IndexedImage picture = sixteenColourPicture(8, 2);
    EXPECT_TRUE(WriteBmp(picture, path, 16, 2)) << "wider than the picture";
    EXPECT_TRUE(WriteBmp(picture, dir.file("no/such/folder.bmp"), 8, 2)) << "folder missing";
}

} // namespace
