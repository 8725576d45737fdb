// Every writer's output reads back identically with our readers, and the same bytes
// are kept in tests/data/written, where generate.py recorded what Pillow reads from
// them. Set QUILLFERN_WRITE_FIXTURES to a folder to write the files there afresh.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <ostream>
#include <string>

#include "image/bmp_file.h"
#include "image/pcx_file.h"
#include "image/png_file.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace {

// A 40 x 40 portrait-sized picture with all 16 colours, long runs and single pixels.
IndexedImage exportPicture()
{
    IndexedImage image;
    image.Create(40, 40);
    for (int i = 0; i < 16; ++i)
        image.SetPaletteEntry(uint8_t(i), RgbColor(uint8_t(i * 17), uint8_t((i * 73) % 256), uint8_t(255 - i * 5)));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            image.setPixel(x, y, uint8_t(y < 8 ? 0 : (y < 12 ? 15 : (x * 5 + y * 3 + x * y / 9) % 16)));
    return image;
}

struct Format {
    const char* file;
    bool (*write)(const IndexedImage&, const std::string&, int32_t, int32_t);
    ImageFileResult (*read)(IndexedImage&, const std::string&, int, int, int);
};

// Failure messages name the file rather than dumping the record's bytes.
void PrintTo(const Format& value, std::ostream* out)
{
    *out << value.file;
}

const Format formats[] = {
    {"picture.bmp", WriteBmp, ReadBmp},
    {"picture.pcx", WritePcx, ReadPcx},
    {"picture.png", WritePng, ReadPng},
};

// The manifest fields of one file: path result width height hash mask colours transparent plte.
std::vector<std::string> manifestFields(const std::string& relative)
{
    std::ifstream in(std::string(QUILLFERN_TEST_DATA_DIR) + "/manifest.txt");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::vector<std::string> fields;
        for (std::string word; words >> word && word != "#";)
            fields.push_back(word);
        if (!fields.empty() && fields[0] == relative)
            return fields;
    }
    return {};
}

class WrittenFile : public testing::TestWithParam<Format> {};

TEST_P(WrittenFile, ReadsBackIdenticallyAndMatchesTheFileCheckedWithPillow)
{
    const Format& format = GetParam();
    const IndexedImage picture = exportPicture();
    TempDir dir;
    const std::string path = dir.file(format.file);
    ASSERT_FALSE(format.write(picture, path, 40, 40));
    if (const char* fixtures = std::getenv("QUILLFERN_WRITE_FIXTURES"))
        writeFileBytes(std::string(fixtures) + "/" + format.file, readFileBytes(path));

    IndexedImage back;
    ASSERT_EQ(format.read(back, path, 16, 128, 128), ImageFileResult::Ok);
    EXPECT_EQ(back.width, 40);
    EXPECT_EQ(back.height, 40);
    EXPECT_EQ(back.pixels, picture.pixels);
    EXPECT_EQ(back.colorCount, 16);
    for (size_t i = 0; i < 16; ++i)
        EXPECT_EQ(back.palette[i], picture.palette[i]) << "entry " << i;

    const std::string fixture = std::string(QUILLFERN_TEST_DATA_DIR) + "/written/" + format.file;
    EXPECT_EQ(readFileBytes(path), readFileBytes(fixture)) << "the writer no longer writes the file Pillow checked";
    const std::vector<std::string> pillow = manifestFields(std::string("written/") + format.file);
    ASSERT_EQ(pillow.size(), 9u) << "no manifest entry";
    EXPECT_EQ(pillow[1], "0");
    EXPECT_EQ(pillow[2], "40");
    EXPECT_EQ(pillow[3], "40");
    if (std::string(format.file).ends_with(".png")) {
        const RgbColor transparent = picture.palette[0];
        char hex[8];
        std::snprintf(hex, sizeof hex, "%02x%02x%02x", transparent.red, transparent.green, transparent.blue);
        EXPECT_EQ(pillow[7], hex) << "Pillow sees index 0 as the transparent colour";
        EXPECT_EQ(pillow[8], "16") << "PLTE length";
    }
}

INSTANTIATE_TEST_SUITE_P(Writers, WrittenFile, testing::ValuesIn(formats),
                         [](const testing::TestParamInfo<Format>& info) {
                             return std::string(info.param.file).substr(8);
                         });

} // namespace
