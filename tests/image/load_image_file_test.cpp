#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "image/bmp_file.h"
#include "image/load_image_file.h"
#include "image/pcx_file.h"
#include "image/png_file.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace {

// One 8 x 2 picture written in every format; the dispatch must pick the reader by the
// name alone.
class ImageFileDispatch : public testing::Test {
protected:
    void SetUp() override
    {
        picture.Create(8, 2);
        picture.SetPaletteEntry(1, RgbColor(10, 200, 30));
        picture.setPixel(3, 1, 1);
        ASSERT_FALSE(WriteBmp(picture, dir.file("bmp"), 8, 2));
        ASSERT_FALSE(WritePcx(picture, dir.file("pcx"), 8, 2));
        ASSERT_FALSE(WritePng(picture, dir.file("png"), 8, 2));
    }

    // Copies the file of one format under another name.
    std::string named(const std::string& format, const std::string& name)
    {
        writeFileBytes(dir.file(name), readFileBytes(dir.file(format)));
        return dir.file(name);
    }

    TempDir dir;
    IndexedImage picture;
};

TEST_F(ImageFileDispatch, ExtensionDecidesInAnyLetterCase)
{
    struct Case {
        const char* format;
        const char* name;
        ImageFileResult expected;
    } cases[] = {
        {"bmp", "a.bmp", ImageFileResult::Ok},
        {"bmp", "a.BMP", ImageFileResult::Ok},
        {"pcx", "b.PCX", ImageFileResult::Ok},
        {"png", "c.Png", ImageFileResult::Ok},
        {"png", "d.png.bmp", ImageFileResult::NotAnImage}, // a PNG file goes to the BMP reader
        {"bmp", "e.pcx", ImageFileResult::NotAnImage},
        {"bmp", "f.bmpx", ImageFileResult::NotAnImage},
        {"png", "g", ImageFileResult::NotAnImage},
        {"bmp", "bmp", ImageFileResult::NotAnImage}, // no dot
        {"pcx", "h.pcx ", ImageFileResult::NotAnImage},
    };
    for (const Case& c : cases) {
        IndexedImage image;
        EXPECT_EQ(LoadImageFile(image, named(c.format, c.name), 16, 128, 128), c.expected) << c.name;
        if (c.expected == ImageFileResult::Ok) {
            EXPECT_EQ(image.pixels, picture.pixels) << c.name;
        }
    }
}

TEST_F(ImageFileDispatch, UnknownExtensionLeavesTheImageAlone)
{
    IndexedImage image;
    image.Create(3, 3);
    EXPECT_EQ(LoadImageFile(image, named("bmp", "picture.gif"), 16, 128, 128), ImageFileResult::NotAnImage);
    EXPECT_EQ(image.pixels.size(), 9u);
    EXPECT_EQ(LoadImageFile(image, ".bm", 16, 128, 128), ImageFileResult::NotAnImage);
}

TEST_F(ImageFileDispatch, MissingFileCannotBeOpened)
{
    for (const char* name : {"none.png", "none.bmp", "none.pcx"}) {
        IndexedImage image;
        EXPECT_EQ(LoadImageFile(image, dir.file(name), 16, 128, 128), ImageFileResult::CannotOpen) << name;
    }
    std::filesystem::create_directory(dir.path() / "folder.png");
    IndexedImage image;
    EXPECT_EQ(LoadImageFile(image, dir.file("folder.png"), 16, 128, 128), ImageFileResult::CannotOpen);
}

TEST_F(ImageFileDispatch, CallerLimitsReachTheReader)
{
    IndexedImage image;
    EXPECT_EQ(LoadImageFile(image, named("png", "p.png"), 16, 7, 128), ImageFileResult::TooLarge);
    EXPECT_EQ(LoadImageFile(image, named("bmp", "p.bmp"), 16, 128, 1), ImageFileResult::TooLarge);
    EXPECT_EQ(LoadImageFile(image, named("pcx", "p.pcx"), 15, 128, 128), ImageFileResult::TooManyColors);
}

} // namespace
