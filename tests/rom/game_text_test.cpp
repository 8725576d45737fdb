#include <gtest/gtest.h>

#include "rom/game_text.h"

namespace {

TEST(GameText, MapsEveryByteAsTheGameTableSays)
{
    // The whole table, written out independently of the code's ranges.
    std::string expected(256, '?');
    expected[0x00] = 0;
    for (int b : {0x01, 0x05, 0x1E, 0x1F, 0x20, 0x21, 0x22, 0xC7, 0xFE, 0xFF})
        expected[size_t(b)] = ' ';
    for (int b = 0xD8; b <= 0xEA; ++b)
        expected[size_t(b)] = ' ';
    for (int i = 0; i < 26; ++i) {
        expected[size_t(0x80 + i)] = char('A' + i);
        expected[size_t(0x9A + i)] = char('a' + i);
    }
    for (int i = 0; i < 10; ++i)
        expected[size_t(0xB4 + i)] = char('0' + i);
    expected[0xBE] = '!';
    expected[0xBF] = '?';
    expected[0xC0] = '/';
    expected[0xC2] = '"';
    expected[0xD3] = '"';
    expected[0xC3] = '\'';
    expected[0xC4] = '-';
    expected[0xC5] = '.';
    expected[0xC6] = ',';
    expected[0xCD] = '%';
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(gameCharToAscii(uint8_t(b)), expected[size_t(b)]) << "game byte " << b;
}

TEST(GameText, AFieldEndsAtTheFirstZero)
{
    const uint8_t field[] = {0x80, 0x9B, 0xFF, 0x00, 0x81};
    EXPECT_EQ(gameTextToAscii(field, sizeof field), "Ab ");
}

} // namespace
