#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "rom/export_pictures.h"
#include "rom/monster_test_support.h"
#include "rom/portrait_set.h"
#include "rom/snes_color.h"
#include "rom/tile_codec.h"
#include "support/file_bytes.h"
#include "support/portrait_rom_data.h"

namespace {

class PortraitRomTest : public testing::Test {
protected:
    void writeRom(const PortraitRomData& rom, bool headered = true)
    {
        RomBuilder builder;
        rom.writeInto(builder);
        romState.hasCopierHeader = headered;
        ASSERT_TRUE(builder.writeTo(path, headered));
    }
    void loadSample()
    {
        writeRom(data);
        ASSERT_TRUE(set->load(path));
    }
    static std::vector<uint8_t> bytesOf(const std::array<RgbColor, 16>& colours)
    {
        std::vector<uint8_t> bytes;
        for (const RgbColor& c : colours) {
            const SnesWordBytes word = rgbToSnes(c);
            bytes.push_back(word.low);
            bytes.push_back(word.high);
        }
        return bytes;
    }

    CopierHeaderFlag flag{true};
    TempDir dir;
    std::string path = dir.file("game.smc");
    PortraitRomData data = PortraitRomData::sample();
    std::unique_ptr<PortraitSet> set = std::make_unique<PortraitSet>();
};

class PortraitLoad : public PortraitRomTest, public testing::WithParamInterface<bool> {};

TEST_P(PortraitLoad, GivesExactlyWhatTheBuilderPlaced)
{
    writeRom(data, GetParam());
    ASSERT_TRUE(set->load(path));
    for (int k = 0; k < PortraitSet::portraitCount; ++k) {
        SCOPED_TRACE("portrait " + std::to_string(k));
        const Portrait& p = set->portrait(k);
        EXPECT_EQ(p.paletteIndex, data.paletteIndices[size_t(k)]);
        EXPECT_EQ(p.image.width, 40);
        EXPECT_EQ(p.image.pixels, data.pictures[size_t(k)]);
        EXPECT_EQ(std::vector<uint8_t>(p.rawTiles.begin(), p.rawTiles.end()), PortraitRomData::tileBlock(data.pictures[size_t(k)]));
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(p.image.palette[size_t(i)], data.palettes[p.paletteIndex][size_t(i)]) << "colour " << i;
    }
    EXPECT_EQ(set->palettes, data.palettes);
}

INSTANTIATE_TEST_SUITE_P(CopierHeader, PortraitLoad, testing::Bool(),
                         [](const auto& info) { return info.param ? std::string("Headered") : std::string("Unheadered"); });

// Where tile t of a stored block shows in the 5 x 5 grid of the picture.
struct TilePlace {
    int tile;
    int column;
    int row;
};

TEST_F(PortraitRomTest, TilesOfTheBlockLandInTheirGridPlacesBothWays)
{
    const TilePlace places[] = {{0, 0, 0},  {3, 3, 0},  {4, 0, 2},  {7, 3, 2},  {8, 4, 0},  {9, 4, 1},
                                {12, 4, 4}, {13, 0, 4}, {15, 2, 4}, {16, 0, 1}, {19, 3, 1}, {20, 0, 3},
                                {23, 3, 3}, {24, 3, 4}};
    std::vector<uint8_t> block(800, 0);
    for (const TilePlace& place : places) {
        uint8_t uniform[64];
        std::fill(std::begin(uniform), std::end(uniform), uint8_t(1 + place.tile % 15));
        encodeTilePixels(uniform, block.data() + place.tile * 32, 16);
    }
    loadSample();
    set->decode(2, block.data());
    for (const TilePlace& place : places) {
        EXPECT_EQ(set->portrait(2).image.pixel(place.column * 8 + 3, place.row * 8 + 5), 1 + place.tile % 15)
            << "tile " << place.tile;
    }

    // And back: a picture with one colour per grid place encodes into the same block.
    set->clearImage(3);
    for (const TilePlace& place : places)
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                set->portrait(3).image.setPixel(place.column * 8 + x, place.row * 8 + y, uint8_t(1 + place.tile % 15));
    const auto& encoded = set->encode(3);
    EXPECT_EQ(std::vector<uint8_t>(encoded.begin(), encoded.end()), block);
}

TEST_F(PortraitRomTest, SavingAnUnchangedSetChangesNoByte)
{
    loadSample();
    const std::vector<uint8_t> before = readFileBytes(path);
    const OperationResult result = set->save(path);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(readFileBytes(path), before);
}

TEST_F(PortraitRomTest, SaveWritesItsAreasOnlyAndLeavesTheTwoForeignBytes)
{
    loadSample();
    const std::vector<uint8_t> before = readFileBytes(path);
    set->setPaletteIndex(18, 4);
    set->setPaletteIndex(0, 7);
    set->palette(4)[9] = RgbColor(200, 16, 8);
    set->portrait(5).image.setPixel(39, 39, 11);
    ASSERT_TRUE(set->save(path).ok);
    const std::vector<uint8_t> after = readFileBytes(path);

    const struct {
        uint32_t begin, end;
    } written[] = {{0x2D1D00, 0x2D1D00 + 19 * 800}, {0x2D5860, 0x2D5860 + 608}, {0x036F00, 0x036F12}, {0x036F14, 0x036F15}};
    for (size_t i = 0; i < before.size(); ++i) {
        const int64_t rom = int64_t(i) - 512;
        const bool inside = std::any_of(std::begin(written), std::end(written),
                                        [rom](const auto& r) { return rom >= r.begin && rom < r.end; });
        if (!inside) {
            ASSERT_EQ(after[i], before[i]) << "file byte " << i;
        }
    }
    EXPECT_EQ(after[512 + 0x036F12], data.markers[0]);
    EXPECT_EQ(after[512 + 0x036F13], data.markers[1]);
    EXPECT_EQ(after[512 + 0x036F14], 4);
    EXPECT_EQ(after[512 + 0x036F00], 7);

    PortraitSet reloaded;
    ASSERT_TRUE(reloaded.load(path));
    EXPECT_EQ(reloaded.portrait(18).paletteIndex, 4);
    EXPECT_EQ(reloaded.palette(4)[9], RgbColor(200, 16, 8));
    EXPECT_EQ(reloaded.portrait(5).image.pixels, set->portrait(5).image.pixels);
    EXPECT_EQ(reloaded.portrait(18).image.palette[9], RgbColor(200, 16, 8));
}

TEST_F(PortraitRomTest, ColourWordBitFifteenIsWrittenAsZero)
{
    RomBuilder builder;
    data.writeInto(builder);
    builder.putByte(0x2D5860 + 1, uint8_t(builder.byteAt(0x2D5860 + 1) | 0x80));
    ASSERT_TRUE(builder.writeTo(path, true));
    ASSERT_TRUE(set->load(path));
    ASSERT_TRUE(set->save(path).ok);
    const std::vector<uint8_t> file = readFileBytes(path);
    EXPECT_EQ(file[512 + 0x2D5860 + 1], builder.byteAt(0x2D5860 + 1) & 0x7F);
}

TEST_F(PortraitRomTest, RefusalsLeaveTheFileAsItWas)
{
    loadSample();
    const std::string missing = dir.file("gone.smc");
    EXPECT_EQ(set->save(missing).message, "Error saving portrait data");
    EXPECT_FALSE(std::filesystem::exists(missing));

    std::vector<uint8_t> file = readFileBytes(path);
    file.resize(512 + 0x2D5860 + 607); // one byte short of the palettes
    ASSERT_TRUE(writeFileBytes(path, file));
    PortraitSet other;
    EXPECT_FALSE(other.load(path));
    const OperationResult result = set->save(path);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "Error saving portrait data");
    EXPECT_EQ(readFileBytes(path), file);
}

TEST_F(PortraitRomTest, ShortFileLeavesALoadedSetAsItWas)
{
    loadSample();
    std::vector<uint8_t> file = readFileBytes(path);
    file.resize(512 + 0x2D1D00 + 19 * 800 - 1);
    const std::string shortPath = dir.file("short.smc");
    ASSERT_TRUE(writeFileBytes(shortPath, file));
    EXPECT_FALSE(set->load(shortPath));
    EXPECT_EQ(set->portrait(18).image.pixels, data.pictures[18]);
    EXPECT_FALSE(set->load(dir.file("missing.smc")));
}

TEST_F(PortraitRomTest, PaletteIndexPastTheLastPaletteIsClamped)
{
    data.paletteIndices[3] = 40;
    data.paletteIndices[18] = 0xFF;
    writeRom(data);
    ASSERT_TRUE(set->load(path));
    EXPECT_EQ(set->portrait(3).paletteIndex, 18);
    EXPECT_EQ(set->portrait(18).paletteIndex, 18);
    EXPECT_EQ(set->portrait(3).image.palette[5], data.palettes[18][5]);
}

TEST_F(PortraitRomTest, AColourChangeShowsInEveryPortraitUsingThatPalette)
{
    loadSample();
    ASSERT_EQ(set->portrait(3).paletteIndex, 3);
    ASSERT_EQ(set->portrait(15).paletteIndex, 3);
    set->palette(3)[6] = RgbColor(8, 8, 8);
    for (int k = 0; k < PortraitSet::portraitCount; ++k)
        set->refreshPalette(k);
    EXPECT_EQ(set->portrait(3).image.palette[6], RgbColor(8, 8, 8));
    EXPECT_EQ(set->portrait(15).image.palette[6], RgbColor(8, 8, 8));
    EXPECT_NE(set->portrait(4).image.palette[6], RgbColor(8, 8, 8));
    EXPECT_EQ(portraitPicture(*set, 15).palette[6], RgbColor(8, 8, 8));
}

TEST_F(PortraitRomTest, EditingOperations)
{
    loadSample();
    const auto palette5 = set->palette(5);

    set->clearImage(5);
    EXPECT_TRUE(std::all_of(set->portrait(5).image.pixels.begin(), set->portrait(5).image.pixels.end(),
                            [](uint8_t p) { return p == 0; }));
    EXPECT_EQ(set->palette(5), palette5);

    set->copyFrom(5, 7);
    EXPECT_EQ(set->portrait(5).image.pixels, data.pictures[7]);
    EXPECT_EQ(set->palette(5), data.palettes[7]);
    EXPECT_EQ(set->palette(7), data.palettes[7]);
    EXPECT_EQ(set->portrait(5).image.palette[3], data.palettes[7][3]);

    set->flip(6, 0);
    EXPECT_EQ(set->portrait(6).image.pixel(0, 0), data.pictures[6][39]);
    set->flip(6, 1);
    EXPECT_EQ(set->portrait(6).image.pixel(0, 0), data.pictures[6][39 * 40 + 39]);

    const uint8_t before = set->portrait(8).image.pixel(0, 0);
    set->setTransparentColour(8, 4);
    EXPECT_EQ(set->palette(8)[0], data.palettes[8][4]);
    EXPECT_EQ(set->palette(8)[4], data.palettes[8][0]);
    EXPECT_EQ(set->portrait(8).image.pixel(0, 0), before == 0 ? 4 : before == 4 ? 0 : before);

    set->setPaletteIndex(9, 30);
    EXPECT_EQ(set->portrait(9).paletteIndex, 18);
}

TEST_F(PortraitRomTest, ImportTakesPixelsAndAllSixteenColours)
{
    loadSample();
    IndexedImage picture;
    ASSERT_FALSE(picture.Create(30, 20));
    picture.FindOrAddColor(RgbColor(16, 32, 48));
    picture.FindOrAddColor(RgbColor(64, 80, 96));
    picture.palette[15] = RgbColor(248, 248, 248); // beyond its colours, still copied
    for (int x = 0; x < 30; ++x)
        picture.setPixel(x, 19, uint8_t(1 + x % 2));
    ASSERT_TRUE(set->importImage(2, picture));
    EXPECT_EQ(set->portrait(2).image.pixel(1, 19), 2);
    EXPECT_EQ(set->portrait(2).image.pixel(35, 35), 0);
    EXPECT_EQ(set->palette(2)[2], RgbColor(64, 80, 96));
    EXPECT_EQ(set->palette(2)[15], RgbColor(248, 248, 248));
    EXPECT_EQ(set->portrait(2).image.palette[15], RgbColor(248, 248, 248));

    IndexedImage tooBig;
    tooBig.Create(41, 40);
    EXPECT_FALSE(set->importImage(2, tooBig));
    EXPECT_EQ(set->portrait(2).image.pixel(1, 19), 2);
}

// The raw pair: export writes both files, import reads them back.
struct RawImportCase {
    const char* name;
    const char* binName;      // file the import is given
    const char* writtenBin;   // file the export wrote (nullptr: none)
    const char* writtenPal;   // palette file left beside it (nullptr: none)
    size_t binSize;           // bytes kept of the exported .bin
    bool expectOk;
    bool expectPalette;       // palette taken from the .pal
    bool readOnly = false;    // both files without write permission
};

class PortraitRaw : public PortraitRomTest, public testing::WithParamInterface<RawImportCase> {};

TEST_P(PortraitRaw, ImportReadsThePairWrittenByExport)
{
    const RawImportCase& c = GetParam();
    loadSample();
    // Portrait 4's picture and palette 4's colours go into the files.
    const std::string exported = dir.file("export.bin");
    ASSERT_TRUE(set->exportRaw(4, exported).ok);
    const std::vector<uint8_t> bin = readFileBytes(exported);
    const std::vector<uint8_t> pal = readFileBytes(dir.file("export.pal"));
    ASSERT_EQ(bin, PortraitRomData::tileBlock(data.pictures[4]));
    ASSERT_EQ(pal, bytesOf(data.palettes[4]));
    std::filesystem::remove(exported);
    std::filesystem::remove(dir.file("export.pal"));
    if (c.writtenBin) {
        ASSERT_TRUE(writeFileBytes(dir.file(c.writtenBin), std::vector<uint8_t>(bin.begin(), bin.begin() + ptrdiff_t(c.binSize))));
    }
    if (c.writtenPal) {
        ASSERT_TRUE(writeFileBytes(dir.file(c.writtenPal), pal));
    }
    if (c.readOnly) {
        std::filesystem::permissions(dir.file(c.writtenBin), std::filesystem::perms::owner_read);
        std::filesystem::permissions(dir.file(c.writtenPal), std::filesystem::perms::owner_read);
    }

    const auto paletteBefore = set->palette(set->portrait(10).paletteIndex);
    const std::vector<uint8_t> pixelsBefore = set->portrait(10).image.pixels;
    const OperationResult result = set->importRaw(10, dir.file(c.binName));
    EXPECT_EQ(result.ok, c.expectOk);
    if (!c.expectOk) {
        EXPECT_EQ(result.message, "Error opening file");
        EXPECT_EQ(set->portrait(10).image.pixels, pixelsBefore);
        EXPECT_EQ(set->palette(set->portrait(10).paletteIndex), paletteBefore);
        return;
    }
    EXPECT_EQ(set->portrait(10).image.pixels, data.pictures[4]);
    EXPECT_EQ(set->palette(set->portrait(10).paletteIndex), c.expectPalette ? data.palettes[4] : paletteBefore);
    EXPECT_EQ(set->portrait(10).image.palette[7], set->palette(set->portrait(10).paletteIndex)[7]);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PortraitRaw,
    testing::Values(RawImportCase{"Pair", "face.bin", "face.bin", "face.pal", 800, true, true},
                    RawImportCase{"UpperCaseBinLowerCasePal", "FACE.BIN", "FACE.BIN", "FACE.pal", 800, true, true},
                    RawImportCase{"MissingPalKeepsThePalette", "face.bin", "face.bin", nullptr, 800, true, false},
                    RawImportCase{"MissingBin", "face.bin", nullptr, "face.pal", 800, false, false},
                    RawImportCase{"ShortBin", "face.bin", "face.bin", "face.pal", 799, false, false},
                    RawImportCase{"ReadOnlyPair", "face.bin", "face.bin", "face.pal", 800, true, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PortraitRomTest, ExportNamesThePaletteFileAfterTheTileFile)
{
    loadSample();
    ASSERT_TRUE(set->exportRaw(1, dir.file("Locke.BIN")).ok);
    EXPECT_TRUE(std::filesystem::exists(dir.file("Locke.pal")));
    EXPECT_EQ(PortraitSet::paletteFileName("ab"), "ab.pal");
    EXPECT_EQ(PortraitSet::paletteFileName("x.bin"), "x.pal");

    const OperationResult result = set->exportRaw(1, dir.file("no-such-folder/face.bin"));
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "Error saving portrait data");
}

TEST_F(PortraitRomTest, PortraitPictureCarriesPixelsAndColours)
{
    loadSample();
    const IndexedImage picture = portraitPicture(*set, 12);
    EXPECT_EQ(picture.width, 40);
    EXPECT_EQ(picture.height, 40);
    EXPECT_EQ(picture.colorCount, 16);
    EXPECT_EQ(picture.pixels, data.pictures[12]);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(picture.palette[size_t(i)], data.palettes[data.paletteIndices[12]][size_t(i)]);
}

} // namespace
