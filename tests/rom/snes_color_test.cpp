#include <gtest/gtest.h>

#include "rom/snes_color.h"

namespace {

struct ColourCase {
    uint16_t word;
    RgbColor rgb;
};

class SnesToRgb : public testing::TestWithParam<ColourCase> {};

TEST_P(SnesToRgb, ShiftsEachChannelWithoutRounding)
{
    const ColourCase& c = GetParam();
    EXPECT_EQ(snesToRgb(uint8_t(c.word & 0xFF), uint8_t(c.word >> 8)), c.rgb);
}

INSTANTIATE_TEST_SUITE_P(Words, SnesToRgb,
                         testing::Values(ColourCase{0x7FFF, RgbColor(248, 248, 248)},
                                         ColourCase{0xFFFF, RgbColor(248, 248, 248)}, // bit 15 ignored
                                         ColourCase{0x001F, RgbColor(248, 0, 0)},
                                         ColourCase{0x03E0, RgbColor(0, 248, 0)},
                                         ColourCase{0x7C00, RgbColor(0, 0, 248)},
                                         ColourCase{0x0421, RgbColor(8, 8, 8)},
                                         ColourCase{0x0000, RgbColor(0, 0, 0)}));

struct RgbCase {
    RgbColor rgb;
    uint8_t low;
    uint8_t high;
};

class RgbToSnes : public testing::TestWithParam<RgbCase> {};

TEST_P(RgbToSnes, DropsTheRemainderAndKeepsBit15Clear)
{
    const RgbCase& c = GetParam();
    const SnesWordBytes word = rgbToSnes(c.rgb);
    EXPECT_EQ(word.low, c.low);
    EXPECT_EQ(word.high, c.high);
}

INSTANTIATE_TEST_SUITE_P(Colours, RgbToSnes,
                         testing::Values(RgbCase{RgbColor(255, 255, 255), 0xFF, 0x7F},
                                         RgbCase{RgbColor(7, 7, 7), 0x00, 0x00},
                                         RgbCase{RgbColor(8, 0, 0), 0x01, 0x00},
                                         RgbCase{RgbColor(0, 8, 0), 0x20, 0x00},
                                         RgbCase{RgbColor(0, 0, 8), 0x00, 0x04},
                                         RgbCase{RgbColor(15, 255, 128), 0xE1, 0x43}));

TEST(SnesColour, EveryWordWithBit15ClearSurvivesTheRoundTrip)
{
    for (unsigned word = 0; word < 0x8000; ++word) {
        const SnesWordBytes back = rgbToSnes(snesToRgb(uint8_t(word & 0xFF), uint8_t(word >> 8)));
        ASSERT_EQ(unsigned(back.low) | unsigned(back.high) << 8, word);
    }
}

} // namespace
