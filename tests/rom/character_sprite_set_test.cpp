#include <gtest/gtest.h>

#include "rom/character_sprite_set.h"
#include "rom/rom_state.h"
#include "rom/snes_color.h"
#include "rom/sprite_sheet.h"
#include "support/character_rom_data.h"
#include "support/file_bytes.h"
#include "support/rom_builder.h"
#include "support/temp_dir.h"

namespace {

class CharacterSprites : public testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        savedState = romState;
        romState.hasCopierHeader = GetParam();
        content = CharacterRomData::make(42);
        content.paletteChoice[3] = 9;     // not a field-sprite palette: read as 0
        content.paletteChoice[18] = 4;
        content.placeInto(rom);
        // Bytes of a tile that no frame shows, which the save must leave alone.
        rom.putBytes(0x150000 + uint32_t(content.graphicsOffset[5]) + 160 * 32, std::vector<uint8_t>(32, 0x5A));
        path = dir.file("rom.smc");
        ASSERT_TRUE(rom.writeTo(path, romState.hasCopierHeader));
        ASSERT_TRUE(set.load(path));
    }
    void TearDown() override { romState = savedState; }

    uint32_t filePos(uint32_t romOffset) const { return romOffset + (romState.hasCopierHeader ? 512 : 0); }

    RomState savedState;
    TempDir dir;
    RomBuilder rom;
    CharacterRomData content;
    std::string path;
    CharacterSpriteSet set;
};

TEST_P(CharacterSprites, LoadBuildsEveryFrameFromTheSharedTiles)
{
    for (int c : {0, 7, 21}) {
        for (int f : {0, 13, 39}) {
            const IndexedImage& frame = set.characters[size_t(c)].frames[size_t(f)];
            ASSERT_EQ(frame.width, 16);
            ASSERT_EQ(frame.height, 24);
            for (int y = 0; y < 24; ++y)
                for (int x = 0; x < 16; ++x)
                    ASSERT_EQ(frame.pixel(x, y), content.framePixel(c, f, x, y)) << c << " " << f << " " << x << "," << y;
        }
    }
    EXPECT_EQ(set.characters[7].paletteIndex, 7);
    EXPECT_EQ(set.characters[7].frames[0].palette[5], content.palettes[7][5]);
    EXPECT_EQ(set.characters[3].paletteIndex, 0) << "a palette byte above 8 loads as 0";
}

TEST_P(CharacterSprites, CharacterEighteenAlwaysShowsItsFixedPalette)
{
    const CharacterSprite& esper = set.characters[18];
    EXPECT_TRUE(esper.hasFixedPalette);
    EXPECT_EQ(esper.frames[0].palette[0], RgbColor(248, 40, 0));
    EXPECT_EQ(esper.frames[0].palette[15], RgbColor(144, 120, 80));
    set.palettes[4][1] = RgbColor(8, 8, 8);
    set.refreshPalette(18);
    set.setTransparentColour(18, 3);
    EXPECT_EQ(esper.frames[0].palette[1], RgbColor(88, 16, 64));
    EXPECT_EQ(set.palettes[4][3], content.palettes[4][3]) << "the transparent swap leaves its palette alone";
}

TEST_P(CharacterSprites, APixelSetInOneFrameShowsInEveryFrameSharingTheTile)
{
    // Entries 0 and 150 name tile 0: frame 0's top-left tile is frame 25's top-left.
    set.setPixel(2, 0, 3, 4, 9);
    EXPECT_EQ(set.characters[2].frames[0].pixel(3, 4), 9);
    EXPECT_EQ(set.characters[2].frames[25].pixel(3, 4), 9);
    EXPECT_EQ(set.characters[2].tilePixels[size_t(4 * 8 + 3)], 9);
}

TEST_P(CharacterSprites, SavingUneditedSpritesChangesNoByteButTheUnusablePaletteChoice)
{
    std::vector<uint8_t> expected = readFileBytes(path);
    expected[filePos(0x02CE2B + 3)] = 0; // choice 9 was read, and is written, as 0
    ASSERT_TRUE(set.save(path).ok);
    EXPECT_EQ(readFileBytes(path), expected);
    ASSERT_TRUE(set.save(path).ok);
    EXPECT_EQ(readFileBytes(path), expected);
}

TEST_P(CharacterSprites, SaveWritesEditsAndOnlyTheTilesSomeFrameShows)
{
    set.setPixel(5, 1, 0, 0, 15); // entry 6 names tile 6
    set.palettes[2][7] = RgbColor(16, 24, 32);
    set.palettes[20][1] = RgbColor(200, 8, 64);
    set.copyFrom(6, 1, -1); // character 6 takes character 1's tiles and palette choice
    ASSERT_TRUE(set.save(path).ok);

    // The same edits applied to the builder's bytes.
    RomBuilder edited = rom;
    content.tilePixels[5][6 * 64] = 15;
    edited.putTile(0x150000 + uint32_t(content.graphicsOffset[5] + 6 * 32), content.tilePixels[5].data() + 6 * 64, 16);
    edited.putSnesColor(0x268000 + 2 * 32 + 2 * 7, RgbColor(16, 24, 32));
    edited.putSnesColor(0x2D6300 + 2 * 32 + 2 * 7, RgbColor(16, 24, 32)); // palettes 0-5 twice
    edited.putSnesColor(0x268000 + 20 * 32 + 2 * 1, RgbColor(200, 8, 64));
    edited.putByte(0x02CE2B + 6, 1);
    for (int t = 0; t < 150; ++t) // tiles 150-180 appear in no frame and keep their bytes
        edited.putTile(0x150000 + uint32_t(content.graphicsOffset[6] + 32 * t), content.tilePixels[1].data() + 64 * t, 16);
    edited.putByte(0x02CE2B + 3, 0); // the unusable choice 9 was read, and is written, as 0
    EXPECT_EQ(readFileBytes(path), edited.fileBytes(romState.hasCopierHeader));
    const std::vector<uint8_t> saved = readFileBytes(path);
    EXPECT_EQ(saved[filePos(0x150000 + uint32_t(content.graphicsOffset[5]) + 160 * 32)], 0x5A);
}

TEST_P(CharacterSprites, ClearFlipAndTransparentSurviveTheNextRebuild)
{
    set.flip(1, 0);
    const uint8_t mirrored = set.characters[1].frames[0].pixel(15, 0);
    EXPECT_EQ(mirrored, content.framePixel(1, 0, 0, 0));
    set.rebuildFrames(1);
    EXPECT_EQ(set.characters[1].frames[0].pixel(15, 0), mirrored);

    set.clearImage(8);
    set.rebuildFrames(8);
    for (const IndexedImage& frame : set.characters[8].frames)
        for (uint8_t p : frame.pixels)
            ASSERT_EQ(p, 0);

    const uint8_t before = set.characters[9].frames[2].pixel(1, 1);
    set.setTransparentColour(9, 5);
    set.rebuildFrames(9);
    const uint8_t expected = before == 5 ? 0 : before == 0 ? 5 : before;
    EXPECT_EQ(set.characters[9].frames[2].pixel(1, 1), expected);
    EXPECT_EQ(set.palettes[set.characters[9].paletteIndex][0], content.palettes[set.characters[9].paletteIndex][5]);
}

TEST_P(CharacterSprites, ASheetRoundTripsThroughImport)
{
    IndexedImage sheet = composeSpriteSheet(set, 4);
    ASSERT_EQ(sheet.width, 128);
    ASSERT_EQ(sheet.height, 128);
    EXPECT_EQ(sheet.colorCount, 16);
    EXPECT_EQ(sheet.pixel(16 * 3 + 5, 24 * 2 + 7), content.framePixel(4, 19, 5, 7));

    set.importImage(10, sheet);
    for (int t = 0; t < 150; ++t)
        for (int i = 0; i < 64; ++i)
            ASSERT_EQ(set.characters[10].tilePixels[size_t(64 * t + i)], content.tilePixels[4][size_t(64 * t + i)]);
    EXPECT_EQ(set.palettes[set.characters[10].paletteIndex][3], sheet.palette[3]);
}

TEST_P(CharacterSprites, ASmallSheetFillsTheMissingPixelsWithZero)
{
    IndexedImage sheet;
    sheet.Create(20, 30);
    std::fill(sheet.pixels.begin(), sheet.pixels.end(), 7);
    set.importImage(0, sheet);
    const IndexedImage& frame0 = set.characters[0].frames[0];
    EXPECT_EQ(frame0.pixel(15, 23), 7);
    const IndexedImage& frame1 = set.characters[0].frames[1]; // from x = 16: partly outside
    EXPECT_EQ(frame1.pixel(3, 0), 7);
    EXPECT_EQ(frame1.pixel(4, 0), 0);
    EXPECT_EQ(set.characters[0].frames[8].pixel(0, 5), 7); // sheet row 29
    EXPECT_EQ(set.characters[0].frames[8].pixel(0, 6), 0); // sheet row 30 is outside
}

INSTANTIATE_TEST_SUITE_P(Header, CharacterSprites, testing::Bool(),
                         [](const auto& info) { return info.param ? "headered" : "unheadered"; });

TEST(CharacterSpritesFile, AShortOrMissingFileIsRefusedAndNotWritten)
{
    RomState saved = romState;
    romState.hasCopierHeader = false;
    TempDir dir;
    RomBuilder rom(0x268000 + 1000); // ends inside the palettes
    ASSERT_TRUE(rom.writeTo(dir.file("short.smc"), false));
    CharacterSpriteSet set;
    EXPECT_FALSE(set.load(dir.file("short.smc")));
    EXPECT_FALSE(set.load(dir.file("missing.smc")));

    const std::vector<uint8_t> before = readFileBytes(dir.file("short.smc"));
    const OperationResult result = set.save(dir.file("short.smc"));
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "Error saving character sprites data");
    EXPECT_EQ(readFileBytes(dir.file("short.smc")), before) << "a save never grows the file";
    romState = saved;
}

TEST(CharacterSpritesFile, GraphicsOutsideTheBlockAreBlankAndNeverWritten)
{
    RomState saved = romState;
    romState.hasCopierHeader = false;
    TempDir dir;
    RomBuilder rom;
    CharacterRomData content = CharacterRomData::make(3);
    content.placeInto(rom);
    rom.putWord(0x00D0F2 + 2 * 2, 0xF000); // character 2 at 0xD5F000 + 5792 > block end
    rom.putWord(0x00D23C + 2 * 2, 0x00D8);
    ASSERT_TRUE(rom.writeTo(dir.file("rom.smc"), false));
    CharacterSpriteSet set;
    ASSERT_TRUE(set.load(dir.file("rom.smc")));
    EXPECT_FALSE(set.characters[2].graphicsInBlock);
    for (uint8_t p : set.characters[2].frames[0].pixels)
        ASSERT_EQ(p, 0);
    set.setPixel(2, 0, 0, 0, 3);
    const std::vector<uint8_t> before = readFileBytes(dir.file("rom.smc"));
    ASSERT_TRUE(set.save(dir.file("rom.smc")).ok);
    EXPECT_EQ(readFileBytes(dir.file("rom.smc")), before);
    romState = saved;
}

} // namespace
