// Reads every sample file under tests/data (made by other programs) and compares the
// result with what Pillow read from the same file, as generate.py wrote it down.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <ostream>
#include <string>
#include <vector>

#include "image/bmp_file.h"
#include "image/pcx_file.h"
#include "image/png_file.h"

namespace {

struct ManifestEntry {
    std::string path;
    int result = 0;
    int width = 0;
    int height = 0;
    uint64_t colourHash = 0;
    RgbColor channelMask;
    int distinctColours = 0;
    bool hasTransparent = false;
    RgbColor transparent;
};

// Failure messages name the file rather than dumping the record's bytes.
void PrintTo(const ManifestEntry& value, std::ostream* out)
{
    *out << value.path;
}

RgbColor parseColour(const std::string& hex)
{
    const unsigned long value = std::stoul(hex, nullptr, 16);
    return RgbColor(uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value));
}

std::vector<ManifestEntry> loadManifest()
{
    std::vector<ManifestEntry> entries;
    std::ifstream in(std::string(QUILLFERN_TEST_DATA_DIR) + "/manifest.txt");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line.substr(0, line.find(" #")));
        ManifestEntry entry;
        std::string width, height, hash, mask, distinct, transparent;
        fields >> entry.path >> entry.result >> width >> height >> hash >> mask >> distinct >> transparent;
        if (width != "-") {
            entry.width = std::stoi(width);
            entry.height = std::stoi(height);
            entry.colourHash = std::stoull(hash, nullptr, 16);
            entry.channelMask = parseColour(mask);
            entry.distinctColours = std::stoi(distinct);
            entry.hasTransparent = transparent != "-";
            if (entry.hasTransparent)
                entry.transparent = parseColour(transparent);
        }
        entries.push_back(entry);
    }
    return entries;
}

// The same FNV-1a the manifest holds: red, green, blue of every pixel, row by row.
uint64_t colourHash(const IndexedImage& image, RgbColor mask)
{
    uint64_t hash = 0xCBF29CE484222325ull;
    auto add = [&hash](uint8_t byte) { hash = (hash ^ byte) * 0x100000001B3ull; };
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const RgbColor colour = image.palette[image.pixel(x, y)];
            add(colour.red & mask.red);
            add(colour.green & mask.green);
            add(colour.blue & mask.blue);
        }
    }
    return hash;
}

// The folder says the format; some damaged samples have another extension.
ImageFileResult readSample(IndexedImage& image, const std::string& relative)
{
    const std::string path = std::string(QUILLFERN_TEST_DATA_DIR) + "/" + relative;
    constexpr int maxColors = 256, maxSize = 1024;
    if (relative.find("/bmp/") != std::string::npos || relative.ends_with(".bmp"))
        return ReadBmp(image, path, maxColors, maxSize, maxSize);
    if (relative.find("/pcx/") != std::string::npos || relative.ends_with(".pcx"))
        return ReadPcx(image, path, maxColors, maxSize, maxSize);
    return ReadPng(image, path, maxColors, maxSize, maxSize);
}

class SampleFile : public testing::TestWithParam<ManifestEntry> {};

TEST_P(SampleFile, ReadsWhatPillowReads)
{
    const ManifestEntry& expected = GetParam();
    IndexedImage image;
    const ImageFileResult result = readSample(image, expected.path);
    ASSERT_EQ(int(result), expected.result);
    if (result != ImageFileResult::Ok)
        return;
    EXPECT_EQ(image.width, expected.width);
    EXPECT_EQ(image.height, expected.height);
    EXPECT_GE(image.colorCount, expected.distinctColours);
    EXPECT_EQ(colourHash(image, expected.channelMask), expected.colourHash) << "colours per pixel differ";
    bool transparentInPalette = false;
    for (int i = 0; expected.hasTransparent && i < image.colorCount; ++i)
        transparentInPalette = transparentInPalette || image.palette[size_t(i)] == expected.transparent;
    if (transparentInPalette) {
        EXPECT_EQ(image.palette[0], expected.transparent) << "the transparent colour belongs at index 0";
    }
}

std::string testName(const testing::TestParamInfo<ManifestEntry>& info)
{
    std::string name = info.param.path;
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Manifest, SampleFile, testing::ValuesIn(loadManifest()), testName);

TEST(SampleManifest, IsFound)
{
    EXPECT_FALSE(loadManifest().empty()) << "tests/data/manifest.txt is missing";
}

} // namespace
