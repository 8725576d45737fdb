#include <gtest/gtest.h>

#include "image/indexed_image.h"

namespace {

const RgbColor black(0, 0, 0);
const RgbColor red(248, 0, 0);
const RgbColor green(0, 248, 0);
const RgbColor blue(0, 0, 248);

IndexedImage imageFromRows(const std::vector<std::vector<uint8_t>>& rows, int colours)
{
    IndexedImage image;
    image.Create(int(rows[0].size()), int(rows.size()));
    for (int i = 1; i < colours; ++i)
        image.SetPaletteEntry(uint8_t(i), RgbColor(uint8_t(i * 10), uint8_t(i * 20), uint8_t(i * 30)));
    for (size_t y = 0; y < rows.size(); ++y)
        for (size_t x = 0; x < rows[y].size(); ++x)
            image.setPixel(int(x), int(y), rows[y][x]);
    return image;
}

std::vector<std::vector<uint8_t>> rowsOf(const IndexedImage& image)
{
    std::vector<std::vector<uint8_t>> rows(size_t(image.height));
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            rows[size_t(y)].push_back(image.pixel(x, y));
    return rows;
}

TEST(IndexedImage, CreateMakesABlackPictureWithOneColour)
{
    IndexedImage image;
    image.palette[0] = red;
    image.palette[5] = green;
    ASSERT_FALSE(image.Create(3, 2));
    EXPECT_EQ(image.pixels, std::vector<uint8_t>(6, 0));
    EXPECT_EQ(image.colorCount, 1);
    EXPECT_EQ(image.palette[0], black);
    EXPECT_EQ(image.palette[5], green) << "entries above 0 stay as they were";
}

TEST(IndexedImage, CreateRefusesSizesItCannotHold)
{
    IndexedImage image;
    EXPECT_TRUE(image.Create(0, 5));
    EXPECT_FALSE(image.hasPixels());
    EXPECT_TRUE(image.Create(-4, 5));
    EXPECT_TRUE(image.Create(1 << 20, 1 << 20));
    EXPECT_FALSE(image.hasPixels());
}

TEST(IndexedImage, ColoursAreNumberedInOrderOfFirstAppearance)
{
    IndexedImage image;
    image.Create(4, 1);
    EXPECT_EQ(image.FindOrAddColor(red), 1);
    EXPECT_EQ(image.FindOrAddColor(green), 2);
    EXPECT_EQ(image.FindOrAddColor(red), 1);
    EXPECT_EQ(image.FindOrAddColor(black), 0);
    EXPECT_EQ(image.colorCount, 3);

    // A colour held twice is always found at the lower index.
    image.SetPaletteEntry(5, green);
    EXPECT_EQ(image.FindOrAddColor(green), 2);
}

TEST(IndexedImage, AFullPaletteFindsOldColoursAndRefusesNewOnes)
{
    IndexedImage image;
    image.Create(2, 1);
    for (int i = 1; i < 256; ++i)
        ASSERT_EQ(image.FindOrAddColor(RgbColor(uint8_t(i), 0, 0)), i);
    EXPECT_EQ(image.FindOrAddColor(RgbColor(200, 0, 0)), 200);
    EXPECT_EQ(image.FindOrAddColor(RgbColor(1, 1, 1)), PaletteFull);
    EXPECT_EQ(image.colorCount, 256);

    image.setPixel(1, 0, 7);
    EXPECT_EQ(image.SetPixelColor(1, 0, RgbColor(2, 2, 2)), PaletteFull);
    EXPECT_EQ(image.pixel(1, 0), 7) << "a refused colour leaves the pixel alone";
    EXPECT_EQ(image.SetPixelColor(1, 0, RgbColor(9, 0, 0)), 256);
    EXPECT_EQ(image.pixel(1, 0), 9);
}

TEST(IndexedImage, SetPaletteEntryOnlyEverRaisesTheColourCount)
{
    IndexedImage image;
    image.Create(1, 1);
    image.SetPaletteEntry(15, red);
    EXPECT_EQ(image.colorCount, 16);
    image.SetPaletteEntry(3, green);
    EXPECT_EQ(image.colorCount, 16);
}

TEST(IndexedImage, PutTileOnlyWhereTheWholeTileFits)
{
    IndexedImage image;
    image.Create(16, 16);
    uint8_t tile[64];
    for (int i = 0; i < 64; ++i)
        tile[i] = uint8_t(i);
    for (int ty = 0; ty < 2; ++ty)
        for (int tx = 0; tx < 2; ++tx)
            EXPECT_FALSE(image.PutTile(tile, tx, ty));
    EXPECT_TRUE(image.PutTile(tile, 2, 0));
    EXPECT_TRUE(image.PutTile(tile, 0, 2));
    EXPECT_TRUE(image.PutTile(tile, -1, 0));
    EXPECT_EQ(image.pixel(8 + 3, 8 + 2), 2 * 8 + 3);
}

TEST(IndexedImage, PixelColourOutsideThePictureIsBlack)
{
    IndexedImage image = imageFromRows({{1, 2}}, 3);
    EXPECT_EQ(image.GetPixelColor(1, 0), image.palette[2]);
    EXPECT_EQ(image.GetPixelColor(2, 0), black);
    EXPECT_EQ(image.GetPixelColor(0, 1), black);
}

TEST(IndexedImage, SwapColorsRenumbersWithoutChangingTheLook)
{
    IndexedImage image = imageFromRows({{0, 3, 1}}, 4);
    const RgbColor was0 = image.palette[0];
    const RgbColor was3 = image.palette[3];
    image.SwapColors(2, 2);
    EXPECT_EQ(rowsOf(image), (std::vector<std::vector<uint8_t>>{{0, 3, 1}}));
    image.SwapColors(0, 3);
    EXPECT_EQ(rowsOf(image), (std::vector<std::vector<uint8_t>>{{3, 0, 1}}));
    EXPECT_EQ(image.palette[0], was3);
    EXPECT_EQ(image.palette[3], was0);
}

struct FlipCase {
    const char* name;
    int vertical;
    bool crop;
    std::vector<std::vector<uint8_t>> before;
    std::vector<std::vector<uint8_t>> after;
};

class ImageFlip : public testing::TestWithParam<FlipCase> {};

TEST_P(ImageFlip, MirrorsTheRegion)
{
    const FlipCase& c = GetParam();
    IndexedImage image = imageFromRows(c.before, 8);
    image.Flip(c.vertical, c.crop);
    EXPECT_EQ(rowsOf(image), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ImageFlip,
    testing::Values(
        FlipCase{"whole_left_right", 0, false, {{1, 2, 0, 0}, {3, 0, 0, 0}}, {{0, 0, 2, 1}, {0, 0, 0, 3}}},
        FlipCase{"whole_top_bottom", 1, false, {{1, 2, 0}, {3, 0, 0}, {0, 0, 0}}, {{0, 0, 0}, {3, 0, 0}, {1, 2, 0}}},
        // Content in the top-left corner is mirrored inside its own bounding box and
        // stays anchored there.
        FlipCase{"cropped_left_right", 0, true, {{1, 2, 0, 0}, {3, 0, 0, 0}, {0, 0, 0, 0}},
                 {{2, 1, 0, 0}, {0, 3, 0, 0}, {0, 0, 0, 0}}},
        FlipCase{"cropped_top_bottom", 1, true, {{1, 2, 0, 0}, {3, 0, 0, 0}, {0, 0, 0, 0}},
                 {{3, 0, 0, 0}, {1, 2, 0, 0}, {0, 0, 0, 0}}},
        FlipCase{"cropped_blank", 0, true, {{0, 0}, {0, 0}}, {{0, 0}, {0, 0}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ImageFlip, CroppedFlipOfAWideCanvasTouchesOnlyTheUsedColumns)
{
    IndexedImage image;
    image.Create(64, 2);
    for (int x = 0; x < 40; ++x)
        image.setPixel(x, 0, uint8_t(1 + x % 5));
    image.setPixel(50, 1, 0);
    image.Flip(0, true);
    for (int x = 0; x < 40; ++x)
        EXPECT_EQ(image.pixel(x, 0), 1 + (39 - x) % 5);
    for (int x = 40; x < 64; ++x)
        EXPECT_EQ(image.pixel(x, 0), 0);
}

TEST(IndexedImage, GrabFromDCNumbersColoursAfterBlack)
{
    Surface surface(3, 2, 0xFF000000u);
    surface.setPixel(1, 0, red.toArgb());
    surface.setPixel(2, 0, blue.toArgb());
    surface.setPixel(0, 1, red.toArgb());
    IndexedImage image;
    image.GrabFromDC(surface, 3, 2);
    EXPECT_EQ(rowsOf(image), (std::vector<std::vector<uint8_t>>{{0, 1, 2}, {1, 0, 0}}));
    EXPECT_EQ(image.colorCount, 3);
    EXPECT_EQ(image.palette[1], red);
}

// Drawing: index 0 lets the backdrop through; the backdrop's colours follow the
// picture's in the composite, wrapping at 256.
class Drawing : public testing::Test {
protected:
    void SetUp() override
    {
        sprite = imageFromRows({{0, 1}, {2, 0}}, 3);
        backdrop.Create(4, 4);
        backdrop.SetPaletteEntry(1, RgbColor(10, 20, 30));
        backdrop.SetPaletteEntry(2, RgbColor(40, 50, 60));
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                backdrop.setPixel(x, y, uint8_t((x + y) % 3));
    }
    uint32_t backdropAt(int x, int y) const { return backdrop.GetPixelColor(x, y).toArgb(); }

    IndexedImage sprite;
    IndexedImage backdrop;
};

TEST_F(Drawing, DrawWithoutBackdropShowsThePictureOnly)
{
    Surface surface(3, 3, 0xFF123456u);
    sprite.Draw(surface, nullptr);
    EXPECT_EQ(surface.pixel(0, 0), black.toArgb());
    EXPECT_EQ(surface.pixel(1, 0), sprite.palette[1].toArgb());
    EXPECT_EQ(surface.pixel(0, 1), sprite.palette[2].toArgb());
    EXPECT_EQ(surface.pixel(2, 0), 0xFF123456u) << "outside the picture nothing is drawn";
}

TEST_F(Drawing, DrawOverABackdropFillsTheWholeBlock)
{
    Surface surface(4, 4);
    sprite.Draw(surface, &backdrop, 4, 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            const bool spritePixel = x < 2 && y < 2 && sprite.pixel(x, y) != 0;
            EXPECT_EQ(surface.pixel(x, y), spritePixel ? sprite.GetPixelColor(x, y).toArgb() : backdropAt(x, y))
                << x << "," << y;
        }
    }
}

TEST_F(Drawing, DrawMagnifiedRepeatsEachSourcePixelOverAnUnscaledBackdrop)
{
    Surface surface(4, 4);
    sprite.DrawMagnified(2, surface, 0, 0, &backdrop, 4, 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            const uint8_t index = sprite.pixel(x / 2, y / 2);
            EXPECT_EQ(surface.pixel(x, y), index ? sprite.palette[index].toArgb() : backdropAt(x, y)) << x << "," << y;
        }
    }
}

TEST_F(Drawing, DrawMagnifiedStartsAtTheSourceColumnAndRow)
{
    IndexedImage wide = imageFromRows({{1, 2, 3, 4}}, 5);
    Surface surface(8, 1);
    wide.DrawMagnified(4, surface, 2, 0, nullptr, 8, 1);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(surface.pixel(x, 0), wide.palette[3].toArgb());
    for (int x = 4; x < 8; ++x)
        EXPECT_EQ(surface.pixel(x, 0), wide.palette[4].toArgb());
}

TEST_F(Drawing, PastThePictureTheMagnifiedViewShowsTheBackdrop)
{
    Surface surface(4, 4);
    sprite.DrawMagnified(1, surface, 1, 1, &backdrop, 4, 4);
    EXPECT_EQ(surface.pixel(1, 0), backdropAt(1, 0)) << "source (2,1) is outside the sprite";
}

TEST(DrawingOverlap, BackdropColoursWrapOntoThePicturesFirstIndices)
{
    // 250 picture colours and 10 backdrop colours: backdrop colours 6..9 land on
    // composite indices 0..3. Draw lets them win; DrawMagnified keeps the picture's.
    IndexedImage picture;
    picture.Create(2, 1);
    for (int i = 1; i < 250; ++i)
        picture.SetPaletteEntry(uint8_t(i), RgbColor(uint8_t(i), 1, 1));
    picture.setPixel(1, 0, 2);
    IndexedImage backdrop;
    backdrop.Create(2, 1);
    for (int j = 1; j < 10; ++j)
        backdrop.SetPaletteEntry(uint8_t(j), RgbColor(0, 0, uint8_t(100 + j)));
    backdrop.setPixel(0, 0, 8);

    Surface plain(2, 1);
    picture.Draw(plain, &backdrop, 2, 1);
    EXPECT_EQ(plain.pixel(0, 0), backdrop.palette[8].toArgb()) << "index 258 mod 256 = 2";
    EXPECT_EQ(plain.pixel(1, 0), backdrop.palette[8].toArgb()) << "picture index 2 was overwritten";

    Surface magnified(2, 1);
    picture.DrawMagnified(1, magnified, 0, 0, &backdrop, 2, 1);
    EXPECT_EQ(magnified.pixel(0, 0), picture.palette[2].toArgb());
    EXPECT_EQ(magnified.pixel(1, 0), picture.palette[2].toArgb());
}

TEST(DrawingOverlap, IndicesAboveTheColourCountShowBlack)
{
    IndexedImage picture;
    picture.Create(2, 1);
    picture.palette[5] = RgbColor(200, 200, 200);
    picture.setPixel(1, 0, 5);
    Surface surface(2, 1, 0xFFFFFFFFu);
    picture.Draw(surface, nullptr);
    EXPECT_EQ(surface.pixel(1, 0), black.toArgb());
    picture.DrawMagnified(1, surface, 0, 0, nullptr);
    EXPECT_EQ(surface.pixel(1, 0), black.toArgb());
}

TEST(DrawingClip, DrawingNeverWritesOutsideTheSurface)
{
    IndexedImage picture;
    picture.Create(64, 64);
    Surface small(10, 7);
    picture.DrawMagnified(4, small, 0, 0, nullptr);
    picture.Draw(small, nullptr);
    EXPECT_EQ(small.pixels.size(), 70u);
}

} // namespace
