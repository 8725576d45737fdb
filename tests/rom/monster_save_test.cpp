#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "rom/monster_test_support.h"
#include "support/file_bytes.h"

namespace {

struct ByteRange {
    uint32_t begin; // ROM offsets, end exclusive
    uint32_t end;
};

// First file position outside the given ROM ranges where the files differ, or -1.
int64_t firstDifferenceOutside(const std::vector<uint8_t>& before, const std::vector<uint8_t>& after,
                               const std::vector<ByteRange>& written, bool headered)
{
    if (before.size() != after.size())
        return int64_t(std::min(before.size(), after.size()));
    const int64_t header = headered ? 512 : 0;
    for (size_t i = 0; i < before.size(); ++i) {
        if (before[i] == after[i])
            continue;
        const int64_t rom = int64_t(i) - header;
        const bool inside = std::any_of(written.begin(), written.end(), [rom](const ByteRange& r) {
            return rom >= int64_t(r.begin) && rom < int64_t(r.end);
        });
        if (!inside)
            return int64_t(i);
    }
    return -1;
}

uint16_t wordAt(const std::vector<uint8_t>& file, uint32_t romOffset, bool headered = true)
{
    const size_t at = romOffset + (headered ? 512u : 0u);
    return uint16_t(file[at] | file[at + 1] << 8);
}

// A 128x128, 16-colour picture with a non-zero pixel in every tile but the ones
// listed, so it stores 256 tiles less those.
IndexedImage fullPicture(int blankTiles = 0)
{
    IndexedImage picture;
    picture.Create(128, 128);
    for (int i = 1; i < 16; ++i)
        picture.FindOrAddColor(RgbColor(uint8_t(i * 16), 8, 8));
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x)
            picture.setPixel(x, y, uint8_t(1 + (x + y) % 15));
    for (int t = 0; t < blankTiles; ++t)
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                picture.setPixel(120 - 8 * t + x, 120 + y, 0);
    return picture;
}

template <size_t cells>
std::array<uint8_t, cells> numberedMold(int n)
{
    // Distinct for every n below 2^(cells/2), never the top-left tile alone.
    std::array<uint8_t, cells> mold{};
    mold[cells - 1] = 1;
    for (size_t bit = 0; bit < cells / 2 && bit < 31; ++bit)
        mold[cells / 2 + bit] = (n >> bit) & 1;
    return mold;
}


class MonsterSave : public MonsterRomTest, public testing::WithParamInterface<bool> {
protected:
    struct Snapshot {
        std::vector<std::vector<uint8_t>> pixels;
        std::vector<int> colourCounts, paletteIndices;
        std::vector<bool> large;
        std::vector<RgbColor> palettes;
    };
    static Snapshot snapshot(const MonsterSet& s)
    {
        Snapshot shot;
        for (const MonsterGraphic& e : s.graphics) {
            shot.pixels.push_back(e.image.pixels);
            shot.colourCounts.push_back(e.colourCount);
            shot.paletteIndices.push_back(e.paletteIndex);
            shot.large.push_back(e.isLarge);
        }
        shot.palettes.assign(s.paletteTable.begin(), s.paletteTable.end());
        return shot;
    }
    // The ROM ranges a save of this set writes (taken before the reload).
    static std::vector<ByteRange> writtenAreas(const MonsterSet& s)
    {
        uint32_t graphicsBytes = 0;
        for (int i = 0; i < s.slotCount(); ++i)
            if (s.slots[size_t(i)].inUse)
                graphicsBytes += s.slots[size_t(i)].size;
        const size_t small = s.smallMolds.size() < 128 && s.largeMolds.size() < 54 ? 128 : s.smallMolds.size();
        const uint32_t moldEnd = 0x31A824 + uint32_t(small * 8 + s.largeMolds.size() * 32);
        return {{0x127000, 0x127000 + 415 * 5}, {0x127820, 0x127820 + 0x3000}, {0x31A820, moldEnd},
                {0x320000, 0x320000 + graphicsBytes}};
    }
};

TEST_P(MonsterSave, RoundTripKeepsEveryEditAndTouchesNothingElse)
{
    const bool headered = GetParam();
    CopierHeaderFlag flag(headered);
    writeRom(MonsterRomData::sample(), headered);
    // Bytes the save must leave alone, right next to the areas it writes.
    {
        std::vector<uint8_t> file = readFileBytes(path);
        const size_t h = headered ? 512 : 0;
        for (uint32_t rom : {0x126FFFu, 0x12781Bu, 0x12781Fu, 0x12A820u, 0x31A81Fu, 0x31BC24u, 0x31FFFFu, 0x3673C0u})
            file[rom + h] = 0x5C;
        ASSERT_TRUE(writeFileBytes(path, file));
    }
    ASSERT_TRUE(loadInto(set));
    const std::vector<uint8_t> original = readFileBytes(path);

    set->graphic(5).setPixel(2, 3, 9);
    set->graphic(5).encode();
    set->palettes(set->graphic(6).paletteIndex, 2) = RgbColor(248, 0, 128);
    set->graphic(7).setLarge(true);
    set->graphic(7).setPixel(120, 120, 3);
    set->graphic(7).encode();
    set->graphic(9).setColourCount(16);
    set->graphic(9).setPixel(1, 1, 12);
    set->graphic(9).encode();
    ASSERT_TRUE(set->graphic(1).newImage());
    set->graphic(1).setPixel(30, 30, 4);
    set->graphic(1).encode();
    ASSERT_TRUE(set->graphic(12).importImage(fullPicture(3)));
    set->graphic(12).updateMold();
    set->graphic(12).encode();
    set->graphic(2).setPaletteIndex(0x2A5);
    set->graphic(3).flip(0);
    set->graphic(3).encode();

    const OperationResult result = pageSave(12);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(result.message, "");
    set->decodeAll(); // palettes changed through the table show in every entry using them
    const Snapshot edited = snapshot(*set);
    const std::vector<ByteRange> written = writtenAreas(*set);
    const std::vector<uint8_t> saved = readFileBytes(path);
    EXPECT_EQ(firstDifferenceOutside(original, saved, written, headered), -1);

    std::unique_ptr<MonsterSet> reloaded;
    ASSERT_TRUE(loadInto(reloaded));
    const Snapshot back = snapshot(*reloaded);
    for (int k = 0; k < MonsterSet::entryCount; ++k) {
        SCOPED_TRACE("entry " + std::to_string(k));
        EXPECT_EQ(back.pixels[size_t(k)], edited.pixels[size_t(k)]);
        EXPECT_EQ(back.colourCounts[size_t(k)], edited.colourCounts[size_t(k)]);
        EXPECT_EQ(back.paletteIndices[size_t(k)], edited.paletteIndices[size_t(k)]);
        EXPECT_EQ(back.large[size_t(k)], edited.large[size_t(k)]);
    }
    EXPECT_EQ(back.palettes, edited.palettes);
    EXPECT_NE(reloaded->graphic(0).slotIndex, reloaded->graphic(1).slotIndex);
    EXPECT_EQ(reloaded->graphic(2).paletteIndex, 0x2A5);

    // Saving again after the reload, with no edit, writes the very same bytes.
    set = std::move(reloaded);
    ASSERT_TRUE(pageSave().ok);
    EXPECT_EQ(readFileBytes(path), saved);
}

TEST_P(MonsterSave, UneditedSetSavesItsOwnLoadAgain)
{
    CopierHeaderFlag flag(GetParam());
    writeRom(MonsterRomData::sample(), GetParam());
    ASSERT_TRUE(loadInto(set));
    const Snapshot loaded = snapshot(*set);
    ASSERT_TRUE(pageSave().ok);
    ASSERT_TRUE(loadInto(set));
    const Snapshot back = snapshot(*set);
    EXPECT_EQ(back.pixels, loaded.pixels);
    EXPECT_EQ(back.paletteIndices, loaded.paletteIndices);
    EXPECT_EQ(back.palettes, loaded.palettes);
}

INSTANTIATE_TEST_SUITE_P(CopierHeader, MonsterSave, testing::Bool(),
                         [](const auto& info) { return info.param ? std::string("Headered") : std::string("Unheadered"); });

TEST_F(MonsterRomTest, RecordsCarryEachEntrysFieldsAndTheirSlotsPointer)
{
    writeRom(singleGraphicData());
    ASSERT_TRUE(loadInto(set));
    while (set->largeMoldCount() < 12)
        set->largeMolds.push_back(numberedMold<256>(set->largeMoldCount() + 1));
    MonsterSet::LargeMold twoTiles{};
    twoTiles[0] = twoTiles[1] = 1;
    set->largeMolds.push_back(twoTiles); // mold 12

    MonsterGraphic& large = set->graphic(20);
    ASSERT_TRUE(large.newImage());
    large.setLarge(true);
    large.setPixel(0, 0, 1);
    large.setPixel(8, 0, 1);
    large.encode();
    large.setPaletteIndex(0x2A5);
    ASSERT_EQ(large.moldIndex, 12);
    ASSERT_EQ(large.colourCount, 16);
    MonsterGraphic& eight = set->graphic(22);
    ASSERT_TRUE(eight.newImage());
    eight.setColourCount(8);
    eight.setPixel(1, 1, 7);
    eight.encode();

    ASSERT_TRUE(set->saveToRom(path).ok);
    const std::vector<uint8_t> file = readFileBytes(path);
    auto record = [&](int k) {
        const size_t at = 512 + 0x127000 + size_t(k) * 5;
        return std::vector<uint8_t>(file.begin() + ptrdiff_t(at), file.begin() + ptrdiff_t(at + 5));
    };
    // Slot 0 (two tiles, 64 bytes) goes first, entry 20's slot right behind it.
    EXPECT_EQ(record(20), (std::vector<uint8_t>{0x08, 0x00, 0x82, 0xA5, 0x0C}));
    EXPECT_EQ(record(22), (std::vector<uint8_t>{0x08 + 0x40 / 8, 0x80, 0x00, 0x00, 0x01}));
    EXPECT_EQ(record(0), record(21));
    EXPECT_EQ(record(0)[0], 0);
    EXPECT_EQ(wordAt(file, 0x31A820), 0xA824);
}

struct MoldLayoutCase {
    const char* name;
    int smallMolds;
    int largeMolds;
    uint16_t largeStartWord;
};

class MonsterMoldLayout : public MonsterRomTest, public testing::WithParamInterface<MoldLayoutCase> {};

TEST_P(MonsterMoldLayout, SmallMoldsArePaddedTo128OnlyWhenBothKindsAreFew)
{
    const MoldLayoutCase& c = GetParam();
    writeRom(singleGraphicData());
    ASSERT_TRUE(loadInto(set));
    ASSERT_EQ(set->smallMoldCount(), 1);
    while (set->smallMoldCount() < c.smallMolds)
        set->smallMolds.push_back(numberedMold<64>(set->smallMoldCount()));
    while (set->largeMoldCount() < c.largeMolds)
        set->largeMolds.push_back(numberedMold<256>(set->largeMoldCount() + 1));
    ASSERT_TRUE(set->saveToRom(path).ok);

    const std::vector<uint8_t> file = readFileBytes(path);
    EXPECT_EQ(wordAt(file, 0x31A820), 0xA824);
    EXPECT_EQ(wordAt(file, 0x31A822), c.largeStartWord);
    size_t at = 512 + 0x31A824;
    for (const auto& mold : set->smallMolds) {
        EXPECT_EQ(std::vector<uint8_t>(file.begin() + ptrdiff_t(at), file.begin() + ptrdiff_t(at + 8)), packMoldCells(mold.data(), mold.size()));
        at += 8;
    }
    const size_t largeStart = 512 + 0x310000 + c.largeStartWord;
    EXPECT_TRUE(std::all_of(file.begin() + ptrdiff_t(at), file.begin() + ptrdiff_t(largeStart),
                            [](uint8_t b) { return b == 0; }))
        << "padding molds are empty";
    at = largeStart;
    for (const auto& mold : set->largeMolds) {
        EXPECT_EQ(std::vector<uint8_t>(file.begin() + ptrdiff_t(at), file.begin() + ptrdiff_t(at + 32)), packMoldCells(mold.data(), mold.size()));
        at += 32;
    }
    ASSERT_TRUE(loadInto(set));
    EXPECT_EQ(set->smallMoldCount(), std::max(c.smallMolds, c.smallMolds < 128 && c.largeMolds < 54 ? 128 : 0));
}

INSTANTIATE_TEST_SUITE_P(Cases, MonsterMoldLayout,
                         testing::Values(MoldLayoutCase{"FewOfBoth", 10, 3, 0xAC24},
                                         MoldLayoutCase{"JustUnderBothLimits", 127, 53, 0xAC24},
                                         MoldLayoutCase{"ManySmall", 130, 3, 0xAC34},
                                         MoldLayoutCase{"ManyLarge", 10, 54, 0xA874}),
                         [](const auto& info) { return std::string(info.param.name); });

// A save either writes everything or, refused, leaves the file byte for byte.
struct SaveLimitCase {
    const char* name;
    std::function<void(MonsterSet&)> arrange;
    const char* expectedMessage; // empty: the save goes through
};

void fullPictures(MonsterSet& s, int count, int lastBlankTiles = 0)
{
    const IndexedImage full = fullPicture();
    const IndexedImage last = fullPicture(lastBlankTiles);
    for (int k = 0; k < count; ++k) {
        MonsterGraphic& e = s.graphic(k);
        ASSERT_TRUE(e.newImage());
        ASSERT_TRUE(e.importImage(k == count - 1 ? last : full));
        e.encode();
    }
}

void addSmallMolds(MonsterSet& s, int total)
{
    while (s.smallMoldCount() < total)
        s.smallMolds.push_back(numberedMold<64>(s.smallMoldCount()));
}

void addLargeMolds(MonsterSet& s, int total)
{
    while (s.largeMoldCount() < total)
        s.largeMolds.push_back(numberedMold<256>(s.largeMoldCount() + 1));
}

// Entry 5 gets a picture of its own whose mold lands at the given index.
void entryWithMold(MonsterSet& s, int moldIndex)
{
    addSmallMolds(s, moldIndex);
    MonsterGraphic& e = s.graphic(5);
    ASSERT_TRUE(e.newImage());
    e.setPixel(0, 0, 0);
    if (e.moldIndex != moldIndex) {
        e.setPixel(63, 0, 1);
        e.setPixel(0, 63, 1);
    }
    e.encode();
    ASSERT_EQ(e.moldIndex, moldIndex);
}

const char* const room =
    "Not enough room in ROM to save the monster data. You must delete one or more monster images before saving.";

const SaveLimitCase saveLimitCases[] = {
    // 36 full pictures take 36 x 8192 bytes, above the 0x473C0 the area holds.
    {"GraphicsBeyondTheArea", [](MonsterSet& s) { fullPictures(s, 36); }, room},
    // 32 full pictures fill 0x40000 bytes; the shared slot behind them could not be named.
    {"SlotStartBeyondThePointersReach", [](MonsterSet& s) { fullPictures(s, 32); }, room},
    {"LastSlotStartJustInsideThePointersReach", [](MonsterSet& s) { fullPictures(s, 32, 1); }, ""},
    {"SmallMoldsBeyondTheMoldArea", [](MonsterSet& s) { addSmallMolds(s, 641); }, "Too much mold data"},
    {"SmallMoldsFillingTheMoldArea", [](MonsterSet& s) { addSmallMolds(s, 640); }, ""},
    {"LargeMoldsBeyondTheMoldArea", [](MonsterSet& s) { addSmallMolds(s, 100); addLargeMolds(s, 136); }, "Too much mold data"},
    {"LargeMoldsFillingTheMoldArea", [](MonsterSet& s) { addSmallMolds(s, 100); addLargeMolds(s, 135); }, ""},
    {"MoldIndexAboveOneByte", [](MonsterSet& s) { entryWithMold(s, 256); }, "Too much mold data"},
    {"MoldIndexFillingOneByte", [](MonsterSet& s) { entryWithMold(s, 255); }, ""},
};

class MonsterSaveLimits : public MonsterRomTest, public testing::WithParamInterface<SaveLimitCase> {};

TEST_P(MonsterSaveLimits, RefusalsWriteNothing)
{
    const SaveLimitCase& c = GetParam();
    writeRom(singleGraphicData());
    ASSERT_TRUE(loadInto(set));
    c.arrange(*set);
    if (HasFatalFailure())
        return;
    const std::vector<uint8_t> before = readFileBytes(path);
    const OperationResult result = set->saveToRom(path);
    EXPECT_EQ(result.message, c.expectedMessage);
    if (std::string(c.expectedMessage).empty()) {
        EXPECT_TRUE(result.ok);
        EXPECT_NE(readFileBytes(path), before);
        EXPECT_TRUE(loadInto(set));
    } else {
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(readFileBytes(path), before);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, MonsterSaveLimits, testing::ValuesIn(saveLimitCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MonsterRomTest, SaveToAFileThatCannotTakeItWritesNothing)
{
    writeRom(MonsterRomData::sample());
    ASSERT_TRUE(loadInto(set));

    const std::string missing = dir.file("gone.smc");
    EXPECT_EQ(set->saveToRom(missing).message, "Error saving monster data");
    EXPECT_FALSE(std::filesystem::exists(missing));

    // A file that ends inside the graphics area is not grown.
    std::vector<uint8_t> file = readFileBytes(path);
    file.resize(512 + 0x330000);
    ASSERT_TRUE(writeFileBytes(path, file));
    const OperationResult result = set->saveToRom(path);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "Error saving monster data");
    EXPECT_EQ(readFileBytes(path), file);
}

TEST_F(MonsterRomTest, CompactDropsUnusedSlotsAndRenumbersTheMoldsAfterARemovedOne)
{
    MonsterRomData data = singleGraphicData();
    MonsterRomData::SmallMold onlyOld{}, shared{};
    onlyOld[9] = 1;
    shared[20] = shared[21] = 1;
    data.smallMolds.push_back(onlyOld); // 1: used only by entry 1's graphic
    data.smallMolds.push_back(shared);  // 2
    MonsterRomData::LargeMold large{};
    large[5] = 1;
    data.largeMolds.push_back(large);
    const uint16_t first = data.nextPointer();
    data.placeGraphic(first, MonsterRomData::patternPicture(false, onlyOld.data(), 16, 2), false, 16, 1);
    const uint16_t second = data.nextPointer();
    data.placeGraphic(second, MonsterRomData::patternPicture(false, shared.data(), 16, 3), false, 16, 2);
    const uint16_t third = data.nextPointer();
    data.placeGraphic(third, MonsterRomData::patternPicture(true, large.data(), 16, 4), true, 16, 0);
    data.records[1] = MonsterRomRecord{first, 16, false, 0, 1};
    data.records[2] = MonsterRomRecord{second, 16, false, 0, 2};
    data.records[3] = MonsterRomRecord{third, 16, true, 0, 0};
    writeRom(data);
    ASSERT_TRUE(loadInto(set));
    ASSERT_EQ(set->graphic(2).moldIndex, 2);

    const uint16_t oldSlot = set->graphic(1).slotIndex;
    const int64_t freeBefore = set->freeSpace();
    ASSERT_TRUE(set->graphic(1).newImage());
    EXPECT_EQ(set->freeSpace(), freeBefore - 32); // the old slot still counts until the save
    const std::vector<uint8_t> picture2 = set->graphic(2).image.pixels;

    set->decodeAll();
    set->compact();
    EXPECT_FALSE(set->slots[oldSlot].inUse);
    EXPECT_EQ(set->freeSpace(), freeBefore - 32 + 32);
    EXPECT_EQ(set->smallMoldCount(), 3); // mold 1 gone, the new blank mold appended
    EXPECT_EQ(set->graphic(2).moldIndex, 1);
    EXPECT_EQ(set->slots[set->graphic(2).slotIndex].moldIndex, 1);
    EXPECT_EQ(set->graphic(3).moldIndex, 0);
    EXPECT_EQ(set->largeMoldCount(), 1);

    ASSERT_TRUE(set->saveToRom(path).ok);
    ASSERT_TRUE(loadInto(set));
    EXPECT_EQ(set->graphic(2).image.pixels, picture2);
    EXPECT_EQ(set->graphic(2).moldIndex, 1);
    // Two pictures of 2 and 1 tiles, the blank one, entry 2's and the large one: the
    // unused slot's tile is not written.
    EXPECT_EQ(set->slotCount(), 4);
}

TEST_F(MonsterRomTest, AnEditSurvivesCompactionWhenAnUnnamedEntrySharesTheSlot)
{
    // Entries 5 and 411 share a graphic with mold 2; mold 1 is used only by entry 7's
    // graphic, which newImage leaves unused, so compaction moves mold 2 down and
    // stores both sharing entries again.
    MonsterRomData data = singleGraphicData();
    MonsterRomData::SmallMold onlyEntry7{}, shared{};
    onlyEntry7[12] = 1;
    shared[30] = shared[31] = 1;
    data.smallMolds.push_back(onlyEntry7);
    data.smallMolds.push_back(shared);
    const uint16_t q = data.nextPointer();
    data.placeGraphic(q, MonsterRomData::patternPicture(false, onlyEntry7.data(), 16, 5), false, 16, 1);
    const uint16_t p = data.nextPointer();
    data.placeGraphic(p, MonsterRomData::patternPicture(false, shared.data(), 16, 6), false, 16, 2);
    data.records[7] = MonsterRomRecord{q, 16, false, 0, 1};
    data.records[5] = MonsterRomRecord{p, 16, false, 3, 2};
    data.records[411] = MonsterRomRecord{p, 16, false, 9, 2};
    writeRom(data);
    ASSERT_TRUE(loadInto(set));

    ASSERT_TRUE(set->graphic(7).newImage());
    // A pixel inside a stored tile: the mold stays.
    set->graphic(5).setPixel(48, 24, 15);
    ASSERT_EQ(set->graphic(5).moldIndex, 2);
    ASSERT_TRUE(pageSave(5).ok);

    ASSERT_TRUE(loadInto(set));
    EXPECT_EQ(set->graphic(5).getPixel(48, 24), 15);
    EXPECT_EQ(set->graphic(411).getPixel(48, 24), 15);
    EXPECT_EQ(set->graphic(5).slotIndex, set->graphic(411).slotIndex);
}


} // namespace
