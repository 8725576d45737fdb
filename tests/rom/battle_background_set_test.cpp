#include <gtest/gtest.h>

#include <algorithm>

#include "rom/backdrops.h"
#include "rom/battle_background_set.h"
#include "support/background_rom_data.h"
#include "support/file_bytes.h"
#include "support/rom_builder.h"
#include "support/temp_dir.h"

namespace {

struct CellCase {
    uint8_t high;
    int tile;
    uint8_t colorOffset;
    uint8_t flipX;
    uint8_t flipY;
};

class TileMapEntry : public testing::TestWithParam<CellCase> {};

TEST_P(TileMapEntry, UnpacksTileFlipsAndPaletteRow)
{
    const CellCase& c = GetParam();
    const BackgroundCell cell = BackgroundCell::fromEntry(0x21, c.high);
    EXPECT_EQ(cell.tile, c.tile);
    EXPECT_EQ(cell.colorOffset, c.colorOffset);
    EXPECT_EQ(cell.flipX, c.flipX);
    EXPECT_EQ(cell.flipY, c.flipY);
}

INSTANTIATE_TEST_SUITE_P(Entries, TileMapEntry,
                         testing::Values(CellCase{0x57, 0x21 + 320, 0, 1, 0}, CellCase{0x18, 0x21, 16, 0, 0},
                                         CellCase{0x00, 0x21, 176, 0, 0}, CellCase{0x80, 0x21, 176, 0, 1},
                                         CellCase{0x3F, 0x21 + 320, 160, 0, 0}));

class BattleBackgrounds : public testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        content = BackgroundRomData::make(7);
        content.placeInto(rom);
        path = dir.file("rom.smc");
        ASSERT_TRUE(rom.writeTo(path, GetParam()));
    }

    TempDir dir;
    RomBuilder rom;
    BackgroundRomData content;
    std::string path;
};

TEST_P(BattleBackgrounds, DecodeToTheBuildersPictures)
{
    BattleBackgroundSet set;
    ASSERT_TRUE(set.load(path, GetParam()));
    for (int k = 0; k < BattleBackgroundSet::count; ++k) {
        const IndexedImage expected = content.expectedImage(k);
        const IndexedImage& image = set.backgrounds[size_t(k)].image;
        ASSERT_EQ(image.width, 256);
        ASSERT_EQ(image.height, 152);
        EXPECT_EQ(image.colorCount, 48);
        EXPECT_EQ(image.palette, expected.palette) << "background " << k;
        EXPECT_EQ(image.pixels, expected.pixels) << "background " << k;
        EXPECT_TRUE(set.backgrounds[size_t(k)].tiles.empty()) << "the tile area is freed after decoding";
    }
}

TEST_P(BattleBackgrounds, PreviewsShowTheMiddleOfEachBackground)
{
    Backdrops backdrops;
    backdrops.ApplyBackdrop(7, path, GetParam());
    const IndexedImage background0 = content.expectedImage(0);
    const IndexedImage background51 = content.expectedImage(51);
    for (int y = 0; y < 128; y += 9) {
        for (int x = 0; x < 128; x += 7) {
            const uint8_t index = background0.pixel(64 + x, 12 + y);
            const uint32_t shown = index < 48 ? background0.palette[index].toArgb() : 0xFF000000u;
            ASSERT_EQ(backdrops.backdropPreviews[7].pixel(x, y), shown) << x << "," << y;
            const uint8_t late = background51.pixel(64 + x, 12 + y);
            ASSERT_EQ(backdrops.backdropPreviews[56].pixel(x, y),
                      late < 48 ? background51.palette[late].toArgb() : 0xFF000000u);
        }
    }
    // The small backdrop shows the preview, its colours numbered after black.
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x)
            ASSERT_EQ(backdrops.smallBackdrop.GetPixelColor(x, y).toArgb(), backdrops.backdropPreviews[7].pixel(x, y));
    EXPECT_EQ(backdrops.smallBackdrop.palette[0], RgbColor(0, 0, 0));
}

INSTANTIATE_TEST_SUITE_P(Header, BattleBackgrounds, testing::Bool(),
                         [](const auto& info) { return info.param ? "headered" : "unheadered"; });

TEST(BattleBackgroundFile, AShortFileReadsAsZerosPastItsEnd)
{
    TempDir dir;
    RomBuilder rom;
    BackgroundRomData content = BackgroundRomData::make(2);
    content.placeInto(rom);
    std::vector<uint8_t> file = rom.fileBytes(false);
    file.resize(0x271700); // inside the pointer tables: sets and maps are all missing
    ASSERT_TRUE(writeFileBytes(dir.file("short.smc"), file));
    BattleBackgroundSet set;
    ASSERT_TRUE(set.load(dir.file("short.smc"), false));
    EXPECT_EQ(set.backgrounds[3].image.width, 256);
}

TEST(BattleBackgroundFile, AnUnopenableRomLeavesTheGameBackdropsBlank)
{
    TempDir dir;
    Backdrops backdrops;
    backdrops.ApplyBackdrop(30, dir.file("missing.smc"), false);
    EXPECT_TRUE(backdrops.backgroundsLoaded);
    EXPECT_EQ(backdrops.smallBackdrop.colorCount, 1);
    for (uint8_t p : backdrops.smallBackdrop.pixels)
        ASSERT_EQ(p, 0);
}

struct PlainBackdropCase {
    int background;
    int expectedIndex;
    int expectedColours;
};

class PlainBackdrops : public testing::TestWithParam<PlainBackdropCase> {};

TEST_P(PlainBackdrops, FillBothBackdropsWithOneColour)
{
    const PlainBackdropCase& c = GetParam();
    TempDir dir;
    Backdrops backdrops;
    backdrops.ApplyBackdrop(c.background, dir.file("missing.smc"), false);
    for (const IndexedImage* image : {&backdrops.smallBackdrop, &backdrops.largeBackdrop}) {
        EXPECT_EQ(image->colorCount, c.expectedColours);
        EXPECT_EQ(image->palette[0], RgbColor(0, 0, 0));
        for (uint8_t p : image->pixels)
            ASSERT_EQ(p, c.expectedIndex);
    }
    if (c.expectedColours == 2) {
        EXPECT_EQ(backdrops.smallBackdrop.palette[1], RgbColor(30, 60, 240));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, PlainBackdrops,
                         testing::Values(PlainBackdropCase{5, 0, 1}, PlainBackdropCase{6, 1, 2}));

TEST(Backdrops, TheLargeBackdropDoublesEveryPixelOfTheSmallOne)
{
    TempDir dir;
    Backdrops backdrops;
    for (int background : {0, 1, 2, 3, 4}) {
        backdrops.ApplyBackdrop(background, dir.file("missing.smc"), false);
        const IndexedImage& small = backdrops.smallBackdrop;
        const IndexedImage& large = backdrops.largeBackdrop;
        ASSERT_EQ(large.width, 256);
        EXPECT_GT(small.colorCount, 2) << "built-in picture " << background << " is not plain";
        EXPECT_EQ(large.GetPixelColor(255, 255), small.GetPixelColor(127, 127));
        for (int y = 0; y < 256; y += 3)
            for (int x = 0; x < 256; x += 5)
                ASSERT_EQ(large.GetPixelColor(x, y), small.GetPixelColor(x / 2, y / 2));
        // The lettering of the name is white.
        if (background < 3) {
            const auto end = small.palette.begin() + small.colorCount;
            EXPECT_NE(std::find(small.palette.begin(), end, RgbColor(255, 255, 255)), end);
        }
    }
}

TEST(Backdrops, ADamagedStoredNumberFallsBackToTheFirstPicture)
{
    TempDir dir;
    Backdrops fallback;
    fallback.ApplyBackdrop(200, dir.file("missing.smc"), false);
    Backdrops first;
    first.ApplyBackdrop(0, dir.file("missing.smc"), false);
    EXPECT_EQ(fallback.smallBackdrop.pixels, first.smallBackdrop.pixels);
    EXPECT_EQ(fallback.smallBackdrop.colorCount, first.smallBackdrop.colorCount);
}

} // namespace
