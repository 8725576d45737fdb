#include <gtest/gtest.h>

#include <random>

#include "rom/lzss.h"
#include "support/lzss_compressor.h"

namespace {

std::vector<uint8_t> decompress(const std::vector<uint8_t>& block, size_t capacity = 1 << 20)
{
    std::vector<uint8_t> out(capacity);
    out.resize(decompressLzss(block.data(), block.size(), out.data(), out.size()));
    return out;
}

struct LzssCase {
    const char* name;
    std::vector<uint8_t> block;
    std::vector<uint8_t> expected;
};

class LzssBlocks : public testing::TestWithParam<LzssCase> {};

TEST_P(LzssBlocks, Decompress)
{
    EXPECT_EQ(decompress(GetParam().block), GetParam().expected);
}

std::vector<uint8_t> repeated(uint8_t value, size_t count) { return std::vector<uint8_t>(count, value); }

std::vector<uint8_t> concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LzssBlocks,
    testing::Values(
        // L = 2: no data, yet the zeroed input spells one reference of 3 zeros.
        LzssCase{"empty_block", {0x02, 0x00}, {0, 0, 0}},
        LzssCase{"length_below_two", {0x01, 0x00}, {0, 0, 0}},
        LzssCase{"literals", {0x06, 0x00, 0x07, 'a', 'b', 'c'}, {'a', 'b', 'c'}},
        // Literal 'x' goes to ring 0x7DE; a reference of length 34 from 0x7DE repeats it.
        LzssCase{"overlapping_reference",
                 {0x06, 0x00, 0x01, 'x', 0xDE, 0x07 | (31 << 3)},
                 concat({'x'}, repeated('x', 34))},
        // A reference to the zeroed ring before anything was written.
        LzssCase{"reference_into_zeroed_ring", {0x05, 0x00, 0x00, 0x00, 0x08}, repeated(0, 4)},
        // The block ends in the middle of a reference: its missing byte reads as zero,
        // so the word is 0x0012 (source 0x12, length 3 from the zeroed ring).
        LzssCase{"item_cut_off", {0x05, 0x00, 0x01, 'q', 0x12}, {'q', 0, 0, 0}},
        // The block claims more than the bytes at hand: missing bytes read as zero.
        LzssCase{"block_longer_than_input", {0x09, 0x00, 0xFF, 'a'}, {'a', 0, 0, 0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Lzss, NeverWritesPastTheCapacity)
{
    const std::vector<uint8_t> block = compressLzss(repeated(7, 5000));
    std::vector<uint8_t> out(100 + 16, 0xCC);
    EXPECT_EQ(decompressLzss(block.data(), block.size(), out.data(), 100), 100u);
    EXPECT_EQ(out[99], 7);
    EXPECT_EQ(out[100], 0xCC);
}

TEST(Lzss, OnlyTheFirst8192DataBytesOfALongBlockAreDecoded)
{
    // Groups of one flag byte with every bit set and 8 literals: 9000 data bytes, of
    // which the first 8192 hold 910 whole groups and a flag with one literal.
    std::vector<uint8_t> block{0, 0};
    std::vector<uint8_t> literals;
    while (block.size() < 9002) {
        block.push_back(0xFF);
        for (int i = 0; i < 8; ++i) {
            literals.push_back(uint8_t(block.size() * 13));
            block.push_back(literals.back());
        }
    }
    block[0] = uint8_t(block.size() & 0xFF);
    block[1] = uint8_t(block.size() >> 8);
    const std::vector<uint8_t> out = decompress(block);
    ASSERT_EQ(out.size(), 910u * 8 + 1);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), literals.begin()));
}

struct RoundTripCase {
    const char* name;
    std::vector<uint8_t> data;
};

class LzssRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(LzssRoundTrip, CompressorOutputDecompressesToTheInput)
{
    const std::vector<uint8_t>& data = GetParam().data;
    EXPECT_EQ(decompress(compressLzss(data)), data);
}

std::vector<uint8_t> randomData(size_t size, unsigned seed, int alphabet)
{
    std::mt19937 random(seed);
    std::vector<uint8_t> data(size);
    for (uint8_t& b : data)
        b = uint8_t(random() % unsigned(alphabet));
    return data;
}

std::vector<uint8_t> tiledPattern()
{
    std::vector<uint8_t> data;
    for (int i = 0; i < 3000; ++i)
        data.push_back(uint8_t((i % 37) * 3 + (i / 500)));
    return data;
}

INSTANTIATE_TEST_SUITE_P(Data, LzssRoundTrip,
                         testing::Values(RoundTripCase{"random", randomData(3000, 1, 256)},
                                         RoundTripCase{"few_symbols", randomData(3000, 2, 3)},
                                         RoundTripCase{"one_run", repeated(0x55, 2500)},
                                         RoundTripCase{"zeros_like_the_ring", repeated(0, 700)},
                                         RoundTripCase{"pattern_wider_than_the_ring", tiledPattern()},
                                         RoundTripCase{"single_byte", {9}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Lzss, RepetitiveDataReallyCompresses)
{
    EXPECT_LT(compressLzss(repeated(0x55, 2500)).size(), 200u);
}

} // namespace
