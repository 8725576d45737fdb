#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "rom/export_pictures.h"
#include "rom/monster_test_support.h"

namespace {

// The sample ROM loaded once per test; entries 0 and 1 share a slot, entry 3 is
// large with 8 colours, entry 4 small with 16.
class MonsterEditing : public MonsterRomTest {
protected:
    void SetUp() override
    {
        writeRom(MonsterRomData::sample());
        ASSERT_TRUE(loadInto(set));
    }
    MonsterGraphic& entry(int k) { return set->graphic(k); }
    // A picture decoded afresh from the entry's slot, to see what is really stored.
    std::vector<uint8_t> storedPicture(int k)
    {
        MonsterGraphic& e = entry(k);
        std::vector<uint8_t> shown = e.image.pixels;
        e.decode();
        std::vector<uint8_t> stored = e.image.pixels;
        EXPECT_EQ(stored, shown) << "entry " << k << ": the slot does not hold what is shown";
        return stored;
    }
    static int nonZero(const MonsterGraphic& e)
    {
        return int(std::count_if(e.image.pixels.begin(), e.image.pixels.end(), [](uint8_t p) { return p != 0; }));
    }
};

TEST_F(MonsterEditing, AnEditShowsInEveryEntrySharingTheSlotUntilNewImageSeparatesThem)
{
    ASSERT_EQ(entry(0).slotIndex, entry(1).slotIndex);
    entry(0).setPixel(5, 6, 3);
    entry(0).encode();
    set->decodeAll();
    EXPECT_EQ(entry(1).getPixel(5, 6), 3 & (entry(1).colourCount - 1));

    const int slotsBefore = set->slotCount();
    ASSERT_TRUE(entry(1).newImage());
    EXPECT_EQ(entry(1).slotIndex, slotsBefore);
    EXPECT_EQ(set->slotCount(), slotsBefore + 1);
    EXPECT_EQ(nonZero(entry(1)), 0);
    entry(0).setPixel(7, 7, 2);
    entry(0).encode();
    set->decodeAll();
    EXPECT_EQ(entry(1).getPixel(7, 7), 0);
    EXPECT_EQ(nonZero(entry(1)), 0);
}

TEST_F(MonsterEditing, NewImageIsRefusedWhenEverySlotIsTaken)
{
    int k = 0;
    while (set->slotCount() < MonsterSet::maxSlots)
        ASSERT_TRUE(entry(k++ % MonsterSet::entryCount).newImage());
    const uint16_t slotBefore = entry(10).slotIndex;
    entry(10).setPixel(1, 1, 1);
    entry(10).encode();
    const std::vector<uint8_t> before = entry(10).image.pixels;
    EXPECT_FALSE(entry(10).newImage());
    EXPECT_EQ(set->slotCount(), MonsterSet::maxSlots);
    EXPECT_EQ(entry(10).slotIndex, slotBefore);
    EXPECT_EQ(entry(10).image.pixels, before);
}

// Mold, stored size and used extent of pictures with known non-zero tiles.
struct MoldCase {
    const char* name;
    bool large;
    int colours;
    std::vector<std::pair<int, int>> pixels; // set to colour 1
    std::vector<int> expectedCells;
    int expectedSize;
    int extentWidth;
    int extentHeight;
};

std::vector<std::pair<int, int>> oneInEveryTile()
{
    std::vector<std::pair<int, int>> points;
    for (int ty = 0; ty < 16; ++ty)
        for (int tx = 0; tx < 16; ++tx)
            points.emplace_back(tx * 8 + 3, ty * 8 + 4);
    return points;
}

std::vector<int> allCells(int count)
{
    std::vector<int> cells(size_t(count), 0);
    for (int i = 0; i < count; ++i)
        cells[size_t(i)] = i;
    return cells;
}

class MonsterMolds : public MonsterEditing, public testing::WithParamInterface<MoldCase> {};

TEST_P(MonsterMolds, FollowTheTilesThatHoldAPixel)
{
    const MoldCase& c = GetParam();
    MonsterGraphic& e = entry(4);
    ASSERT_TRUE(e.newImage());
    e.setColourCount(c.colours);
    e.setLarge(c.large);
    for (const auto& [x, y] : c.pixels)
        e.setPixel(x, y, 1);
    e.encode();

    const int grid = c.large ? 16 : 8;
    const uint8_t* cells = set->moldCells(c.large, e.moldIndex);
    ASSERT_NE(cells, nullptr);
    std::vector<int> setCells;
    for (int i = 0; i < grid * grid; ++i)
        if (cells[i])
            setCells.push_back(i);
    EXPECT_EQ(setCells, c.expectedCells);
    EXPECT_EQ(set->slots[e.slotIndex].size, c.expectedSize);
    EXPECT_EQ(set->slots[e.slotIndex].data.size(), size_t(c.expectedSize));
    EXPECT_EQ(e.usedExtent().width, c.extentWidth);
    EXPECT_EQ(e.usedExtent().height, c.extentHeight);
    storedPicture(4);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MonsterMolds,
    testing::Values(MoldCase{"BottomRightPixel16", false, 16, {{63, 63}}, {63}, 32, 64, 64},
                    MoldCase{"BottomRightPixel8", false, 8, {{63, 63}}, {63}, 24, 64, 64},
                    MoldCase{"Blank", false, 16, {}, {0}, 32, 8, 8},
                    MoldCase{"TwoTilesInARow", false, 16, {{9, 0}, {20, 7}}, {1, 2}, 64, 24, 8},
                    MoldCase{"LargeEveryTile", true, 16, oneInEveryTile(), allCells(256), 8192, 128, 128},
                    MoldCase{"LargeBottomLeft", true, 8, {{0, 127}}, {240}, 24, 8, 128}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MonsterEditing, EqualMoldsAreSharedAndNewOnesAppended)
{
    ASSERT_TRUE(entry(4).newImage());
    const int before = set->smallMoldCount();
    entry(4).setPixel(63, 63, 1);
    const int appended = entry(4).moldIndex;
    EXPECT_EQ(appended, before);
    ASSERT_TRUE(entry(5).newImage());
    EXPECT_EQ(entry(5).setPixel(60, 60, 2), appended);
    EXPECT_EQ(set->smallMoldCount(), before + 1);
}

TEST_F(MonsterEditing, EightColoursDropBitThree)
{
    MonsterGraphic& e = entry(4);
    ASSERT_EQ(e.colourCount, 16);
    ASSERT_TRUE(e.newImage());
    for (int i = 0; i < 16; ++i)
        e.setPixel(i, 0, uint8_t(i));
    e.encode();
    e.setColourCount(8);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(e.getPixel(i, 0), i & 7) << i;
    EXPECT_EQ(set->slots[e.slotIndex].colourCount, 8);
    EXPECT_EQ(e.image.colorCount, 8);
    // The brush cannot put a colour the depth does not hold.
    e.setPixel(20, 0, 13);
    EXPECT_EQ(e.getPixel(20, 0), 13 & 7);
}

TEST_F(MonsterEditing, GoingSmallKeepsTheTopLeftQuarterAndGoingLargePadsWithZero)
{
    MonsterGraphic& e = entry(3);
    ASSERT_TRUE(e.isLarge);
    e.setPixel(10, 10, 1);
    e.setPixel(100, 10, 2);
    e.setPixel(10, 100, 3);
    e.encode();
    std::vector<uint8_t> quarter(64 * 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            quarter[size_t(y * 64 + x)] = e.getPixel(x, y);

    e.setLarge(false);
    EXPECT_EQ(e.image.width, 64);
    EXPECT_EQ(e.image.pixels, quarter);
    EXPECT_FALSE(set->slots[e.slotIndex].isLarge);
    storedPicture(3);

    e.setLarge(true);
    EXPECT_EQ(e.image.width, 128);
    EXPECT_EQ(e.getPixel(10, 10), 1);
    EXPECT_EQ(e.getPixel(100, 10), 0);
    EXPECT_EQ(e.getPixel(10, 100), 0);
    storedPicture(3);
}

TEST_F(MonsterEditing, PixelsOutsideThePictureReadZeroAndAreNotWritten)
{
    MonsterGraphic& e = entry(4);
    const std::vector<uint8_t> before = e.image.pixels;
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {64, 0}, {0, 64}}) {
        EXPECT_EQ(e.getPixel(x, y), 0);
        e.setPixel(x, y, 5);
    }
    EXPECT_EQ(e.image.pixels, before);
}

struct ImportCase {
    const char* name;
    int startEntry; // 4 is small, 3 is large
    int width;
    int height;
    int colours;
    bool expectLarge;
    int expectColours;
};

class MonsterImport : public MonsterEditing, public testing::WithParamInterface<ImportCase> {};

TEST_P(MonsterImport, SizeAndDepthFollowThePicture)
{
    const ImportCase& c = GetParam();
    IndexedImage picture;
    ASSERT_FALSE(picture.Create(c.width, c.height));
    for (int i = 1; i < c.colours; ++i)
        picture.FindOrAddColor(RgbColor(uint8_t(i * 8), uint8_t(255 - i * 8), 64));
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x)
            picture.setPixel(x, y, uint8_t((x + 2 * y) % c.colours));

    MonsterGraphic& e = entry(c.startEntry);
    ASSERT_TRUE(e.importImage(picture));
    e.updateMold();
    e.encode();
    EXPECT_EQ(e.isLarge, c.expectLarge);
    EXPECT_EQ(e.colourCount, c.expectColours);
    for (int y = 0; y < e.image.height; ++y)
        for (int x = 0; x < e.image.width; ++x)
            ASSERT_EQ(e.getPixel(x, y), x < c.width && y < c.height ? picture.pixel(x, y) : 0) << x << "," << y;
    for (int i = 0; i < c.expectColours; ++i) {
        EXPECT_EQ(set->palettes(e.paletteIndex, i), picture.palette[size_t(i)]) << i;
        EXPECT_EQ(e.image.palette[size_t(i)], picture.palette[size_t(i)]) << i;
    }
    storedPicture(c.startEntry);
}

INSTANTIATE_TEST_SUITE_P(Cases, MonsterImport,
                         testing::Values(ImportCase{"WideIntoSmallBecomesLarge", 4, 100, 40, 16, true, 16},
                                         ImportCase{"SquareIntoLargeBecomesSmall", 3, 60, 60, 8, false, 8},
                                         ImportCase{"NineColoursNeedSixteen", 3, 64, 64, 9, false, 16},
                                         ImportCase{"TallFullSize", 4, 128, 128, 5, true, 8}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MonsterEditing, ImportRefusesWhatTheStoredFormCannotHold)
{
    IndexedImage tooWide;
    tooWide.Create(129, 8);
    IndexedImage tooManyColours;
    tooManyColours.Create(8, 8);
    for (int i = 1; i < 17; ++i)
        tooManyColours.FindOrAddColor(RgbColor(uint8_t(i), 0, 0));
    const std::vector<uint8_t> before = entry(4).image.pixels;
    EXPECT_FALSE(entry(4).importImage(tooWide));
    EXPECT_FALSE(entry(4).importImage(tooManyColours));
    EXPECT_FALSE(entry(4).importImage(IndexedImage{}));
    EXPECT_EQ(entry(4).image.pixels, before);
}

TEST_F(MonsterEditing, CopyFromTakesPictureAndColoursIntoItsOwnSlot)
{
    // Between entries sharing a slot nothing changes.
    const std::vector<uint8_t> shared = entry(1).image.pixels;
    const RgbColor colourBefore = set->palettes(entry(1).paletteIndex, 1);
    entry(1).copyFrom(0);
    EXPECT_EQ(entry(1).image.pixels, shared);
    EXPECT_EQ(set->palettes(entry(1).paletteIndex, 1), colourBefore);

    MonsterGraphic& target = entry(4);
    const MonsterGraphic& source = entry(3); // large, 8 colours
    const uint16_t sourceSlot = source.slotIndex;
    const std::vector<uint8_t> sourceData = set->slots[sourceSlot].data;
    target.copyFrom(3);
    EXPECT_TRUE(target.isLarge);
    EXPECT_EQ(target.colourCount, 8);
    EXPECT_EQ(target.image.pixels, source.image.pixels);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(set->palettes(target.paletteIndex, i), set->palettes(source.paletteIndex, i)) << i;
    EXPECT_NE(target.slotIndex, sourceSlot);
    EXPECT_EQ(set->slots[sourceSlot].data, sourceData);
    storedPicture(4);
}

TEST_F(MonsterEditing, FlipMirrorsWithinTheContentAnchoredTopLeft)
{
    MonsterGraphic& e = entry(4);
    ASSERT_TRUE(e.newImage());
    e.setPixel(0, 0, 1);
    e.setPixel(9, 2, 2);
    e.encode();
    e.flip(0);
    EXPECT_EQ(e.getPixel(9, 0), 1);
    EXPECT_EQ(e.getPixel(0, 2), 2);
    e.flip(1);
    EXPECT_EQ(e.getPixel(9, 2), 1);
    EXPECT_EQ(e.getPixel(0, 0), 2);
    storedPicture(4);
}

TEST_F(MonsterEditing, TransparentColourSwapsInsideStoredTilesOnly)
{
    MonsterGraphic& e = entry(4);
    ASSERT_TRUE(e.newImage());
    e.setPixel(0, 0, 5);
    e.setPixel(1, 0, 0);
    e.encode();
    const RgbColor colour0 = set->palettes(e.paletteIndex, 0);
    const RgbColor colour5 = set->palettes(e.paletteIndex, 5);
    e.setTransparentColour(5);
    EXPECT_EQ(e.getPixel(0, 0), 0);
    EXPECT_EQ(e.getPixel(1, 0), 5);
    EXPECT_EQ(e.getPixel(40, 40), 0); // a tile the mold does not store stays transparent
    EXPECT_EQ(set->palettes(e.paletteIndex, 0), colour5);
    EXPECT_EQ(set->palettes(e.paletteIndex, 5), colour0);
    EXPECT_EQ(e.image.palette[0], colour5);
    storedPicture(4);
}

TEST_F(MonsterEditing, PaletteChoiceStaysInsideTheTable)
{
    MonsterGraphic& e = entry(4); // 16 colours
    e.setPaletteIndex(0x2A5);
    EXPECT_EQ(e.paletteIndex, 0x2A5);
    EXPECT_EQ(e.image.palette[9], set->paletteTable[0x2A5 * 8 + 9]);
    e.setPaletteIndex(5000);
    EXPECT_EQ(e.paletteIndex, MonsterSet::paletteCount - 2);
    e.setPaletteIndex(-3);
    EXPECT_EQ(e.paletteIndex, 0);
    RgbColor outside = set->palettes(MonsterSet::paletteCount, 0);
    EXPECT_EQ(outside, RgbColor{});
}

TEST_F(MonsterEditing, SetSlotShowsAnotherStoredGraphicWithTheEntrysPalette)
{
    MonsterGraphic& e = entry(4);
    const int palette = e.paletteIndex;
    ASSERT_TRUE(e.setSlot(entry(3).slotIndex));
    EXPECT_EQ(e.image.pixels, entry(3).image.pixels);
    EXPECT_TRUE(e.isLarge);
    EXPECT_EQ(e.paletteIndex, palette);
    EXPECT_FALSE(e.setSlot(set->slotCount()));
    EXPECT_FALSE(e.setSlot(-1));
}

TEST_F(MonsterEditing, ClearKeepsTheSlotAndStoresOneTile)
{
    MonsterGraphic& e = entry(4);
    const uint16_t slot = e.slotIndex;
    e.clearImage();
    EXPECT_EQ(e.slotIndex, slot);
    EXPECT_EQ(nonZero(e), 0);
    EXPECT_EQ(set->slots[slot].size, 32);
}

TEST_F(MonsterEditing, ExportPictureIsTheUsedBlockWithTheEntrysColours)
{
    MonsterGraphic& e = entry(4);
    ASSERT_TRUE(e.newImage());
    e.setPixel(20, 5, 7);
    e.setPixel(3, 30, 2);
    e.encode();
    set->palettes(e.paletteIndex, 7) = RgbColor(8, 16, 24);
    const IndexedImage picture = monsterExportPicture(e);
    EXPECT_EQ(picture.width, 24);
    EXPECT_EQ(picture.height, 32);
    EXPECT_EQ(picture.colorCount, 16);
    EXPECT_EQ(picture.pixel(20, 5), 7);
    EXPECT_EQ(picture.pixel(3, 30), 2);
    EXPECT_EQ(picture.palette[7], RgbColor(8, 16, 24));
}

} // namespace
