#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "rom/monster_test_support.h"
#include "support/file_bytes.h"

namespace {

class MonsterSetLoad : public MonsterRomTest, public testing::WithParamInterface<bool> {};

TEST_P(MonsterSetLoad, GivesExactlyWhatTheBuilderPlaced)
{
    const MonsterRomData data = MonsterRomData::sample();
    writeRom(data, GetParam());
    ASSERT_TRUE(loadInto(set));

    for (int k = 0; k < MonsterSet::entryCount; ++k) {
        SCOPED_TRACE("entry " + std::to_string(k));
        const MonsterGraphic& entry = set->graphic(k);
        const MonsterRomRecord& record = data.records[size_t(k)];
        const std::string expectedName = k < 384 ? data.monsterNames[size_t(k)]
                                         : k < 411 ? data.esperNames[size_t(k - 384)]
                                                   : std::string();
        EXPECT_EQ(entry.name, expectedName);
        EXPECT_EQ(entry.colourCount, record.colourCount);
        EXPECT_EQ(entry.isLarge, record.isLarge);
        EXPECT_EQ(entry.paletteIndex, record.paletteIndex);
        EXPECT_EQ(entry.moldIndex, record.moldIndex);
        EXPECT_EQ(entry.romPointer, record.pointer);
        ASSERT_EQ(entry.image.width, record.isLarge ? 128 : 64);
        EXPECT_EQ(entry.image.pixels, data.expectedPixels(k));
        for (int i = 0; i < record.colourCount; ++i)
            EXPECT_EQ(entry.image.palette[size_t(i)], data.palettes[size_t(record.paletteIndex * 8 + i)]) << "colour " << i;
        EXPECT_EQ(set->slots[entry.slotIndex].data, data.storedBytes(record.pointer));
    }
    EXPECT_EQ(set->smallMolds, data.smallMolds);
    EXPECT_EQ(set->largeMolds, data.largeMolds);
    for (int i = 0; i < MonsterSet::paletteTableSize; ++i)
        ASSERT_EQ(set->paletteTable[size_t(i)], data.palettes[size_t(i)]) << "colour " << i;
}

TEST_P(MonsterSetLoad, EntriesWithOnePointerShareOneSlot)
{
    const MonsterRomData data = MonsterRomData::sample();
    writeRom(data, GetParam());
    ASSERT_TRUE(loadInto(set));

    std::map<uint16_t, int> slotOfPointer;
    for (int k = 0; k < MonsterSet::entryCount; ++k) {
        const auto [it, inserted] = slotOfPointer.emplace(data.records[size_t(k)].pointer, set->graphic(k).slotIndex);
        EXPECT_EQ(set->graphic(k).slotIndex, it->second) << "entry " << k;
    }
    std::set<int> distinctSlots;
    for (const auto& [pointer, slot] : slotOfPointer)
        distinctSlots.insert(slot);
    EXPECT_EQ(distinctSlots.size(), slotOfPointer.size());
    EXPECT_EQ(set->slotCount(), int(slotOfPointer.size()));
    EXPECT_EQ(set->graphic(0).slotIndex, set->graphic(1).slotIndex);
    EXPECT_EQ(set->graphic(350).slotIndex, set->graphic(351).slotIndex);
}

INSTANTIATE_TEST_SUITE_P(CopierHeader, MonsterSetLoad, testing::Bool(),
                         [](const auto& info) { return info.param ? std::string("Headered") : std::string("Unheadered"); });

TEST_F(MonsterRomTest, NamesLoseTrailingBlanksOnly)
{
    MonsterRomData data = MonsterRomData::sample();
    data.monsterNames[7] = "A B";
    writeRom(data);
    RomBuilder rom;
    data.writeInto(rom);
    // A name field that ends early keeps what stands before its end marker.
    rom.putText(0x0FC050 + 8 * 10, "Cut", 10);
    rom.putByte(0x0FC050 + 8 * 10 + 3, 0x00);
    rom.putByte(0x0FC050 + 8 * 10 + 4, 0x80);
    ASSERT_TRUE(rom.writeTo(path, true));
    ASSERT_TRUE(loadInto(set));
    EXPECT_EQ(set->graphic(1).name, "Big Bird");
    EXPECT_EQ(set->graphic(2).name, "Abcdefghij");
    EXPECT_EQ(set->graphic(7).name, "A B");
    EXPECT_EQ(set->graphic(8).name, "Cut");
    EXPECT_EQ(set->graphic(384 + 3).name, "Abcdefgh");
    EXPECT_EQ(set->graphic(411).name, "");
}

TEST_F(MonsterRomTest, SlotKeepsMoldAndDepthOfTheLastEntryNamingIt)
{
    MonsterRomData data = singleGraphicData();
    MonsterRomData::SmallMold wide{};
    for (int c = 0; c < 4; ++c)
        wide[size_t(c)] = 1;
    data.smallMolds.push_back(wide);
    // Entry 414, the last to name pointer 0, says 8 colours and the four-tile mold.
    data.placeGraphic(0, MonsterRomData::patternPicture(false, wide.data(), 8, 3), false, 8, 1);
    data.records[414] = MonsterRomRecord{0, 8, false, 0, 1};
    writeRom(data);
    ASSERT_TRUE(loadInto(set));
    for (int k : {0, 200, 414}) {
        EXPECT_EQ(set->graphic(k).colourCount, 8) << k;
        EXPECT_EQ(set->graphic(k).moldIndex, 1) << k;
        EXPECT_EQ(set->graphic(k).image.pixels, data.expectedPixels(414)) << k;
    }
}

TEST_F(MonsterRomTest, LoadDropsEmptyTilesFromMolds)
{
    MonsterRomData data = singleGraphicData();
    MonsterRomData::SmallMold three{};
    three[0] = three[1] = three[2] = 1;
    data.smallMolds = {three};
    std::vector<uint8_t> picture = MonsterRomData::patternPicture(false, three.data(), 16, 1);
    for (int y = 0; y < 8; ++y)
        for (int x = 16; x < 24; ++x)
            picture[size_t(y * 64 + x)] = 0; // the third stored tile is blank
    data.placeGraphic(0, picture, false, 16, 0);
    writeRom(data);
    ASSERT_TRUE(loadInto(set));
    const MonsterGraphic& entry = set->graphic(0);
    ASSERT_EQ(set->smallMoldCount(), 2);
    EXPECT_EQ(entry.moldIndex, 1);
    EXPECT_EQ(set->smallMolds[1][0] + set->smallMolds[1][1] + set->smallMolds[1][2], 2);
    EXPECT_EQ(set->slots[entry.slotIndex].size, 64);
    EXPECT_EQ(entry.image.pixels, picture);
}

// Values in the ROM that would lead outside a table are clamped or read as empty;
// the load goes on (the sanitizer build checks that nothing is read outside).
struct OutOfRangeCase {
    const char* name;
    void (*damage)(MonsterRomData&);
    void (*check)(const MonsterSet&);
};

const OutOfRangeCase outOfRangeCases[] = {
    {"PaletteIndexPastTheTable",
     [](MonsterRomData& d) { d.records[4].paletteIndex = 1023; },
     [](const MonsterSet& s) {
         ASSERT_EQ(s.graphic(4).colourCount, 16);
         EXPECT_EQ(s.graphic(4).paletteIndex, MonsterSet::paletteCount - 2); // 16 colours need two palettes
         EXPECT_EQ(s.graphic(4).image.palette[15], s.paletteTable.back());
     }},
    {"EightColourPaletteIndexPastTheTable",
     [](MonsterRomData& d) { d.records[3].paletteIndex = 800; d.records[3].colourCount = 8; },
     [](const MonsterSet& s) { EXPECT_EQ(s.graphic(3).paletteIndex, MonsterSet::paletteCount - 1); }},
    {"MoldIndexPastTheMolds",
     [](MonsterRomData& d) { d.records[3].moldIndex = 200; },
     [](const MonsterSet& s) {
         // Read as an empty mold: nothing decoded, the blank picture keeps its top-left tile.
         const MonsterGraphic& e = s.graphic(3);
         EXPECT_EQ(std::count(e.image.pixels.begin(), e.image.pixels.end(), 0), int(e.image.pixels.size()));
         EXPECT_EQ(e.usedExtent().width, 8);
     }},
    {"SmallMoldsStartAfterTheLargeOnes",
     [](MonsterRomData& d) { d.largeMoldStart = d.smallMoldStart - 64; },
     [](const MonsterSet& s) { EXPECT_EQ(s.slotCount() > 0, true); }},
    {"SmallMoldsStartBeforeTheArea",
     [](MonsterRomData& d) { d.smallMoldStart = 0x310000; d.largeMoldStart = 0x31A824; },
     [](const MonsterSet& s) { EXPECT_GT(s.smallMoldCount(), 0); }},
    {"MoldsStartPastTheArea",
     [](MonsterRomData&) {},
     [](const MonsterSet& s) { EXPECT_GT(s.smallMoldCount(), 0); }},
};

class MonsterSetOutOfRange : public MonsterRomTest, public testing::WithParamInterface<OutOfRangeCase> {};

TEST_P(MonsterSetOutOfRange, IsClampedAndTheLoadGoesOn)
{
    MonsterRomData data = MonsterRomData::sample();
    GetParam().damage(data);
    writeRom(data);
    if (std::string(GetParam().name) == "MoldsStartPastTheArea") {
        RomBuilder rom;
        data.writeInto(rom);
        rom.putWord(0x31A820, 0xFFF0);
        rom.putWord(0x31A822, 0xFFFF);
        ASSERT_TRUE(rom.writeTo(path, true));
    }
    ASSERT_TRUE(loadInto(set));
    GetParam().check(*set);
    for (int k = 0; k < MonsterSet::entryCount; ++k) {
        const MonsterGraphic& entry = set->graphic(k);
        EXPECT_NE(set->moldCells(entry.isLarge, entry.moldIndex), nullptr) << k;
        EXPECT_LE(entry.paletteIndex * 8 + entry.colourCount, MonsterSet::paletteTableSize) << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, MonsterSetOutOfRange, testing::ValuesIn(outOfRangeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MonsterRomTest, FileShorterThanTheGraphicsAreaIsRefusedAndTheSetKept)
{
    writeRom(MonsterRomData::sample());
    ASSERT_TRUE(loadInto(set));
    const std::vector<uint8_t> before = set->graphic(5).image.pixels;
    const std::string name = set->graphic(5).name;

    std::vector<uint8_t> file = readFileBytes(path);
    file.resize(512 + 0x369000 - 1); // one byte short of the last graphics byte read
    const std::string shortPath = dir.file("short.smc");
    ASSERT_TRUE(writeFileBytes(shortPath, file));
    EXPECT_FALSE(set->load(shortPath));
    EXPECT_EQ(set->graphic(5).image.pixels, before);
    EXPECT_EQ(set->graphic(5).name, name);

    file.resize(512 + 0x369000);
    ASSERT_TRUE(writeFileBytes(shortPath, file));
    EXPECT_TRUE(set->load(shortPath));
}

TEST_F(MonsterRomTest, MissingFileIsRefusedAndNotCreated)
{
    MonsterSet fresh;
    EXPECT_FALSE(fresh.load(dir.file("missing.smc")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing.smc")));
}

TEST_F(MonsterRomTest, ReleaseEmptiesTheSet)
{
    writeRom(MonsterRomData::sample());
    ASSERT_TRUE(loadInto(set));
    set->release();
    EXPECT_EQ(set->slotCount(), 0);
    EXPECT_EQ(set->smallMoldCount(), 0);
    EXPECT_EQ(set->largeMoldCount(), 0);
    for (const GraphicsSlot& slot : set->slots)
        EXPECT_TRUE(slot.data.empty());
    EXPECT_TRUE(set->load(path));
    EXPECT_GT(set->slotCount(), 0);
}

} // namespace
