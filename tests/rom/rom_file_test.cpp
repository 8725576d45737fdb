#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "rom/rom_file.h"
#include "rom/rom_state.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace {

TEST(RomAddressing, OffsetsMovePastTheCopierHeaderOnlyWhenThereIsOne)
{
    EXPECT_EQ(romToFile(0x127820, true), 0x127A20);
    EXPECT_EQ(romToFile(0x127820, false), 0x127820);
    RomState saved = romState;
    romState.hasCopierHeader = false;
    EXPECT_EQ(romToFile(0x20), 0x20);
    romState.hasCopierHeader = true;
    EXPECT_EQ(romToFile(0x20), 0x220);
    romState = saved;
}

struct HeaderCase {
    const char* name;
    bool markerAt0x20;
    bool markerAt0x220;
    CopierHeader expected;
};

class CopierHeaderDetection : public testing::TestWithParam<HeaderCase> {};

TEST_P(CopierHeaderDetection, LooksAtTheHeaderedPlacementFirst)
{
    const HeaderCase& c = GetParam();
    TempDir dir;
    std::vector<uint8_t> file(0x400, 0);
    if (c.markerAt0x20)
        file[0x20] = 0xA2;
    if (c.markerAt0x220)
        file[0x220] = 0xA2;
    ASSERT_TRUE(writeFileBytes(dir.file("rom.smc"), file));
    RomFile rom;
    ASSERT_TRUE(rom.open(dir.file("rom.smc"), false));
    EXPECT_EQ(detectCopierHeader(rom), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, CopierHeaderDetection,
                         testing::Values(HeaderCase{"both", true, true, CopierHeader::Headered},
                                         HeaderCase{"headered", false, true, CopierHeader::Headered},
                                         HeaderCase{"unheadered", true, false, CopierHeader::Unheadered},
                                         HeaderCase{"neither", false, false, CopierHeader::Unrecognised}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CopierHeaderDetection, ATinyFileIsUnrecognised)
{
    TempDir dir;
    ASSERT_TRUE(writeFileBytes(dir.file("tiny.smc"), {0xA2}));
    RomFile rom;
    ASSERT_TRUE(rom.open(dir.file("tiny.smc"), false));
    EXPECT_EQ(detectCopierHeader(rom), CopierHeader::Unrecognised);
}

TEST(RomFile, NeverCreatesAFile)
{
    TempDir dir;
    RomFile rom;
    EXPECT_FALSE(rom.open(dir.file("missing.smc"), false));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing.smc"));
}

TEST(RomFile, ReadOnlyFileCannotBeOpened)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write any file";
    TempDir dir;
    ASSERT_TRUE(writeFileBytes(dir.file("ro.smc"), std::vector<uint8_t>(16, 1)));
    ::chmod(dir.file("ro.smc").c_str(), 0444);
    RomFile rom;
    EXPECT_FALSE(rom.open(dir.file("ro.smc"), false));
}

TEST(RomFile, ReadsTellHowManyBytesArrivedAndWritesLandAtTheMappedOffset)
{
    TempDir dir;
    std::vector<uint8_t> file(600);
    for (size_t i = 0; i < file.size(); ++i)
        file[i] = uint8_t(i);
    ASSERT_TRUE(writeFileBytes(dir.file("rom.smc"), file));

    RomFile rom;
    ASSERT_TRUE(rom.open(dir.file("rom.smc"), true));
    EXPECT_EQ(rom.size(), 600);
    uint8_t buffer[200] = {};
    EXPECT_EQ(rom.readAt(0, buffer, 50), 50u);
    EXPECT_EQ(buffer[0], uint8_t(512 & 0xFF));
    EXPECT_EQ(rom.readAt(80, buffer, 50), 8u) << "only 8 bytes lie past ROM offset 80";
    EXPECT_FALSE(rom.readExact(80, buffer, 50));
    EXPECT_TRUE(rom.holds(0, 88));
    EXPECT_FALSE(rom.holds(0, 89));

    const uint8_t patch[2] = {0xAB, 0xCD};
    EXPECT_TRUE(rom.writeAt(10, patch, 2));
    EXPECT_TRUE(rom.close());

    std::vector<uint8_t> expected = file;
    expected[522] = 0xAB;
    expected[523] = 0xCD;
    EXPECT_EQ(readFileBytes(dir.file("rom.smc")), expected);
}

} // namespace
