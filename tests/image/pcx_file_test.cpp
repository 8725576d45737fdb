#include <gtest/gtest.h>

#include <vector>

#include "image/pcx_file.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace {

const RgbColor black(0, 0, 0), white(255, 255, 255);

// A PCX header for a width x height window; the data (already run-length coded) and,
// for 256-colour files, the 768-byte palette are appended by the caller.
std::vector<uint8_t> pcxHeader(int width, int height, uint8_t bits, uint8_t planes, uint16_t bytesPerLine)
{
    std::vector<uint8_t> header(128, 0);
    header[0] = 10;
    header[1] = 5;
    header[2] = 1;
    header[3] = bits;
    header[8] = uint8_t(width - 1);
    header[9] = uint8_t((width - 1) >> 8);
    header[10] = uint8_t(height - 1);
    header[11] = uint8_t((height - 1) >> 8);
    header[65] = planes;
    header[66] = uint8_t(bytesPerLine);
    header[67] = uint8_t(bytesPerLine >> 8);
    return header;
}

std::vector<uint8_t> append(std::vector<uint8_t> file, const std::vector<uint8_t>& more)
{
    file.insert(file.end(), more.begin(), more.end());
    return file;
}

// 256 colours: entry i is (i, 255 - i, 7).
std::vector<uint8_t> rampPalette()
{
    std::vector<uint8_t> palette = {12};
    for (int i = 0; i < 256; ++i) {
        palette.push_back(uint8_t(i));
        palette.push_back(uint8_t(255 - i));
        palette.push_back(7);
    }
    return std::vector<uint8_t>(palette.begin() + 1, palette.end());
}

RgbColor ramp(int i)
{
    return RgbColor(uint8_t(i), uint8_t(255 - i), 7);
}

ImageFileResult read(IndexedImage& image, const std::vector<uint8_t>& file, int maxColors = 16)
{
    return ReadPcx(image, std::span<const uint8_t>(file), maxColors, 128, 128);
}

TEST(PcxRead, PaddingOfA256ColourLineIsLookedUpButNotStored)
{
    // 3 wide, 4 bytes per line, 2 rows; the padding byte names colour 9, no pixel does.
    const std::vector<uint8_t> data = {1, 2, 1, 9, 2, 2, 1, 9};
    const std::vector<uint8_t> file = append(append(pcxHeader(3, 2, 8, 1, 4), data), rampPalette());
    IndexedImage image;
    ASSERT_EQ(read(image, file, 3), ImageFileResult::Ok);
    EXPECT_EQ(image.colorCount, 3);
    EXPECT_EQ(image.palette[2], ramp(9));
    EXPECT_EQ(image.pixels, (std::vector<uint8_t>{0, 1, 0, 1, 1, 0}));
    EXPECT_EQ(read(image, file, 2), ImageFileResult::TooManyColors) << "the padding colour counts";
}

TEST(PcxRead, RunReachingPastTheLineEndIsCut)
{
    // A run of 6 in lines of 4: its last two repetitions are lost, the second line
    // starts with the byte after the run.
    const std::vector<uint8_t> data = {0xC6, 5, 1, 2, 3, 4};
    const std::vector<uint8_t> file = append(append(pcxHeader(4, 2, 8, 1, 4), data), rampPalette());
    IndexedImage image;
    ASSERT_EQ(read(image, file), ImageFileResult::Ok);
    EXPECT_EQ(image.GetPixelColor(3, 0), ramp(5));
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(image.GetPixelColor(x, 1), ramp(x + 1)) << x;
}

TEST(PcxRead, SixteenColourFileKeepsItsHeaderPalette)
{
    std::vector<uint8_t> file = pcxHeader(4, 1, 4, 1, 2);
    for (int i = 0; i < 16; ++i)
        file[16 + 3 * size_t(i)] = uint8_t(i * 10);
    file[16 + 3 * 12] = 30; // entry 12 repeats entry 3
    file = append(file, {0xC1, 0xF1, 0xC1, 0xCC}); // runs of 1: 0xF1 (15, 1), 0xCC (12, 12)
    IndexedImage image;
    ASSERT_EQ(read(image, file), ImageFileResult::Ok);
    EXPECT_EQ(image.colorCount, 16);
    EXPECT_EQ(image.palette[15], RgbColor(150, 0, 0));
    EXPECT_EQ(image.palette[12], RgbColor(30, 0, 0));
    // Colour 12 is found first at entry 3.
    EXPECT_EQ(image.pixels, (std::vector<uint8_t>{15, 1, 3, 3}));
    EXPECT_EQ(read(image, file, 8), ImageFileResult::TooManyColors);
}

TEST(PcxRead, MonochromeIgnoresTheHeaderPalette)
{
    std::vector<uint8_t> file = pcxHeader(10, 1, 1, 1, 2);
    for (size_t i = 16; i < 64; ++i)
        file[i] = 0x55;
    file = append(file, {0xA0, 0x40}); // 1 0 1 0 0 0 0 0 | 0 1
    IndexedImage image;
    ASSERT_EQ(read(image, file), ImageFileResult::Ok);
    EXPECT_EQ(image.colorCount, 2);
    EXPECT_EQ(image.palette[0], white);
    EXPECT_EQ(image.palette[1], black);
    EXPECT_EQ(image.pixels, (std::vector<uint8_t>{0, 1, 0, 1, 1, 1, 1, 1, 1, 0}));
}

TEST(PcxRead, TrueColourOddWidthLinesFollowEachOther)
{
    // 3 wide, bytes per line 4, planes red, green, blue; no byte between lines.
    const std::vector<uint8_t> data = {10, 11, 12, 0, 20, 21, 22, 0, 30, 31, 32, 0,
                                       40, 41, 42, 0, 50, 51, 52, 0, 60, 61, 62, 0};
    const std::vector<uint8_t> file = append(pcxHeader(3, 2, 8, 3, 4), data);
    IndexedImage image;
    ASSERT_EQ(read(image, file, 256), ImageFileResult::Ok);
    EXPECT_EQ(image.GetPixelColor(2, 0), RgbColor(12, 22, 32));
    EXPECT_EQ(image.GetPixelColor(0, 1), RgbColor(40, 50, 60));
}

TEST(PcxRead, RefusesOtherLayoutsAndDamagedFiles)
{
    const std::vector<uint8_t> enough(64, 0);
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
        ImageFileResult expected;
    } cases[] = {
        {"first byte 9", [&] { auto f = append(pcxHeader(4, 1, 8, 1, 4), enough); f[0] = 9; return f; }(),
         ImageFileResult::NotAnImage},
        {"short header", [] { auto f = pcxHeader(4, 1, 8, 1, 4); f.resize(100); return f; }(),
         ImageFileResult::NotAnImage},
        {"2 bits per pixel", append(pcxHeader(4, 1, 2, 1, 2), enough), ImageFileResult::NotAnImage},
        {"4 planes of 1 bit", append(pcxHeader(4, 1, 1, 4, 2), enough), ImageFileResult::NotAnImage},
        {"3 planes of 1 bit", append(pcxHeader(4, 1, 1, 3, 2), enough), ImageFileResult::NotAnImage},
        {"lines shorter than the width", append(pcxHeader(8, 1, 8, 3, 4), enough), ImageFileResult::NotAnImage},
        {"Xmax below Xmin", [&] { auto f = append(pcxHeader(4, 1, 8, 3, 4), enough); f[4] = 9; return f; }(),
         ImageFileResult::NotAnImage},
        {"256-colour file without room for its palette", append(pcxHeader(2, 1, 8, 1, 2), {1, 2}),
         ImageFileResult::NotAnImage},
        {"129 wide", append(pcxHeader(129, 1, 8, 3, 130), enough), ImageFileResult::TooLarge},
    };
    for (const Case& c : cases) {
        IndexedImage image;
        EXPECT_EQ(read(image, c.file, 256), c.expected) << c.what;
    }
}

TEST(PcxRead, EveryCutOffFileIsRefusedCleanly)
{
    const std::vector<uint8_t> whole = append(pcxHeader(3, 2, 8, 3, 4), {0xC4, 1, 0xC4, 2, 0xC4, 3, 5, 6, 7, 0, 0xC4, 8,
                                                                         0xC4, 9});
    for (size_t size = 0; size < whole.size(); ++size) {
        IndexedImage image;
        EXPECT_EQ(read(image, std::vector<uint8_t>(whole.begin(), whole.begin() + long(size))),
                  ImageFileResult::NotAnImage)
            << size << " bytes";
    }
    IndexedImage image;
    EXPECT_EQ(read(image, whole), ImageFileResult::Ok);
}

struct RunCase {
    const char* what;
    std::vector<uint8_t> row;
    std::vector<uint8_t> coded;
};

TEST(PcxRunLength, CodesRowsAsTheFormatExpects)
{
    const RunCase cases[] = {
        {"64 equal low bytes", std::vector<uint8_t>(64, 0x11), {0xFF, 0x11, 0x11}},
        {"64 equal high bytes", std::vector<uint8_t>(64, 0xC8), {0xFF, 0xC8, 0xC1, 0xC8}},
        {"single 200", {200}, {0xC1, 200}},
        {"single 100", {100}, {100}},
        {"single 191 and 192", {191, 192}, {191, 0xC1, 192}},
        {"pair then single", {7, 7, 8}, {0xC2, 7, 8}},
    };
    for (const RunCase& c : cases) {
        std::vector<uint8_t> coded;
        AppendPcxRun(coded, c.row);
        EXPECT_EQ(coded, c.coded) << c.what;
    }
}

IndexedImage sixteenColourPicture(int32_t width, int32_t height)
{
    IndexedImage image;
    image.Create(width, height);
    for (int i = 0; i < 16; ++i)
        image.SetPaletteEntry(uint8_t(i), RgbColor(uint8_t(200 - i * 11), uint8_t(i * 16), uint8_t(i * 3)));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, uint8_t(y < 3 ? 12 : (x * y + x / 5) % 16)); // long runs, then variety
    return image;
}

TEST(PcxWrite, SixteenColourPictureReadsBackIdentically)
{
    for (int32_t width : {40, 128, 2, 6}) {
        const IndexedImage picture = sixteenColourPicture(width, 40);
        TempDir dir;
        const std::string path = dir.file("p.pcx");
        ASSERT_FALSE(WritePcx(picture, path, width, 40));
        IndexedImage back;
        ASSERT_EQ(ReadPcx(back, path, 16, 128, 128), ImageFileResult::Ok) << width;
        EXPECT_EQ(back.pixels, picture.pixels) << width;
        for (size_t i = 0; i < 16; ++i)
            EXPECT_EQ(back.palette[i], picture.palette[i]) << width;
    }
}

TEST(PcxWrite, RefusesWhatAFourBitFileCannotHold)
{
    TempDir dir;
    const std::string path = dir.file("p.pcx");
    const IndexedImage picture = sixteenColourPicture(8, 2);
    EXPECT_TRUE(WritePcx(picture, path, 7, 2)) << "odd width";
    IndexedImage highIndex = sixteenColourPicture(8, 2);
    highIndex.setPixel(0, 0, 16);
    EXPECT_TRUE(WritePcx(highIndex, path, 8, 2)) << "index 16";
    IndexedImage seventeen = sixteenColourPicture(8, 2);
    seventeen.SetPaletteEntry(16, white);
    EXPECT_TRUE(WritePcx(seventeen, path, 8, 2)) << "17 colours";
}

} // namespace
