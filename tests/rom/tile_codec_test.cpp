#include <gtest/gtest.h>

#include <array>
#include <numeric>

#include "image/indexed_image.h"
#include "rom/tile_codec.h"

namespace {

using Tile = std::array<uint8_t, 64>;

// One lit pixel per case: where its bits land in the planar bytes pins down the plane
// order, the row interleave and the bit order at both depths.
struct PlanarCase {
    const char* name;
    int colours;
    int x, y;
    uint8_t index;
    std::vector<std::pair<int, uint8_t>> setBytes; // byte position, value
};

class PlanarLayout : public testing::TestWithParam<PlanarCase> {};

TEST_P(PlanarLayout, EncodesAndDecodesOnePixel)
{
    const PlanarCase& c = GetParam();
    std::vector<uint8_t> expected(size_t(tileBytes(c.colours)), 0);
    for (const auto& [position, value] : c.setBytes)
        expected[size_t(position)] = value;

    Tile tile{};
    tile[size_t(c.y * 8 + c.x)] = c.index;
    std::vector<uint8_t> planar(expected.size(), 0xEE);
    encodeTilePixels(tile.data(), planar.data(), c.colours);
    EXPECT_EQ(planar, expected);

    Tile decoded;
    decoded.fill(0xEE);
    decodeTile(expected.data(), decoded.data(), c.colours);
    EXPECT_EQ(decoded, tile);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlanarLayout,
    testing::Values(PlanarCase{"left_pixel_plane0", 16, 0, 0, 1, {{0, 0x80}}},
                    PlanarCase{"right_pixel_plane1", 16, 7, 0, 2, {{1, 0x01}}},
                    PlanarCase{"row3_plane2_4bpp", 16, 2, 3, 4, {{16 + 6, 0x20}}},
                    PlanarCase{"row3_plane3_4bpp", 16, 2, 3, 8, {{17 + 6, 0x20}}},
                    PlanarCase{"row7_all_planes", 16, 4, 7, 15, {{14, 0x08}, {15, 0x08}, {30, 0x08}, {31, 0x08}}},
                    PlanarCase{"row3_plane2_3bpp", 8, 2, 3, 4, {{16 + 3, 0x20}}},
                    PlanarCase{"row7_all_planes_3bpp", 8, 0, 7, 7, {{14, 0x80}, {15, 0x80}, {23, 0x80}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TileCodec, AllOnesDecodeToTheDepthsHighestIndex)
{
    const std::vector<uint8_t> ones(32, 0xFF);
    Tile decoded;
    decodeTile(ones.data(), decoded.data(), 16);
    for (uint8_t v : decoded)
        EXPECT_EQ(v, 15);
    decodeTile(ones.data(), decoded.data(), 8);
    for (uint8_t v : decoded)
        EXPECT_EQ(v, 7);
}

TEST(TileCodec, EncodingDropsBitsAboveTheDepth)
{
    Tile tile{};
    tile[0] = 0x1F; // bit 4 never fits; bit 3 only at 16 colours
    std::vector<uint8_t> planar(32);
    encodeTilePixels(tile.data(), planar.data(), 8);
    Tile decoded;
    decodeTile(planar.data(), decoded.data(), 8);
    EXPECT_EQ(decoded[0], 7);
    encodeTilePixels(tile.data(), planar.data(), 16);
    decodeTile(planar.data(), decoded.data(), 16);
    EXPECT_EQ(decoded[0], 15);
}

TEST(TileCodec, RoundTripsEveryIndexAtBothDepths)
{
    for (int colours : {8, 16}) {
        Tile tile;
        for (size_t i = 0; i < 64; ++i)
            tile[i] = uint8_t((i * 7 + i / 8) % size_t(colours));
        std::vector<uint8_t> planar(32);
        encodeTilePixels(tile.data(), planar.data(), colours);
        Tile decoded;
        decodeTile(planar.data(), decoded.data(), colours);
        EXPECT_EQ(decoded, tile) << colours << " colours";
    }
}

TEST(TileCodec, ATileOverTheImageEdgeEncodesMissingPixelsAsZero)
{
    IndexedImage image;
    ASSERT_FALSE(image.Create(12, 10));
    std::fill(image.pixels.begin(), image.pixels.end(), 5);
    std::vector<uint8_t> planar(32);
    encodeTile(image, 1, 1, planar.data(), 16);
    Tile decoded;
    decodeTile(planar.data(), decoded.data(), 16);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(decoded[size_t(y * 8 + x)], (x < 4 && y < 2) ? 5 : 0) << x << "," << y;
}

TEST(TileCodec, MirrorsInPlace)
{
    Tile tile;
    std::iota(tile.begin(), tile.end(), uint8_t(0));
    Tile horizontal = tile;
    mirrorTileHorizontal(horizontal.data());
    Tile vertical = tile;
    mirrorTileVertical(vertical.data());
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            EXPECT_EQ(horizontal[size_t(y * 8 + x)], tile[size_t(y * 8 + 7 - x)]);
            EXPECT_EQ(vertical[size_t(y * 8 + x)], tile[size_t((7 - y) * 8 + x)]);
        }
    }
}

} // namespace
