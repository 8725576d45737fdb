#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <sys/wait.h>

#include "image/write_image_file.h"
#include "rom/sprite_sheet.h"
#include "support/file_bytes.h"
#include "support/sample_rom.h"
#include "support/temp_dir.h"

namespace {

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
    std::vector<std::string> lines() const
    {
        std::vector<std::string> result;
        std::istringstream stream(out);
        for (std::string line; std::getline(stream, line);)
            result.push_back(line);
        return result;
    }
};

std::string quoted(const std::string& argument)
{
    std::string text = "'";
    for (char c : argument)
        text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return text + "'";
}

class CliTest : public testing::Test {
protected:
    void SetUp() override
    {
        romPath = dir.file("game.smc");
        ASSERT_TRUE(sample.writeTo(romPath, true));
    }

    CliResult run(const std::vector<std::string>& arguments)
    {
        std::string command = quoted(QUILLFERN_CLI_PATH);
        for (const std::string& argument : arguments)
            command += " " + quoted(argument);
        command += " >" + quoted(dir.file("out.txt")) + " 2>" + quoted(dir.file("err.txt"));
        const int status = std::system(command.c_str());
        CliResult result;
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        const std::vector<uint8_t> out = readFileBytes(dir.file("out.txt"));
        const std::vector<uint8_t> err = readFileBytes(dir.file("err.txt"));
        result.out.assign(out.begin(), out.end());
        result.err.assign(err.begin(), err.end());
        return result;
    }

    // Writes a picture of at most 16 colours, in the format its name asks for.
    std::string writePicture(const std::string& name, int width, int height, int colours)
    {
        IndexedImage picture;
        picture.Create(width, height);
        for (int i = 1; i < colours; ++i)
            picture.SetPaletteEntry(uint8_t(i), RgbColor(uint8_t(8 * i), uint8_t(248 - 8 * i), uint8_t(16 * (i % 8))));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                picture.setPixel(x, y, uint8_t((x / 3 + y / 5) % colours));
        const std::string path = dir.file(name);
        EXPECT_FALSE(WriteImageFile(picture, path, width, height));
        return path;
    }

    TempDir dir;
    SampleRom sample;
    std::string romPath;
};

std::string pixelRow(const std::vector<uint8_t>& pixels, int width, int y)
{
    static const char digits[] = "0123456789abcdef";
    std::string row;
    for (int x = 0; x < width; ++x) {
        const uint8_t index = pixels[size_t(y * width + x)];
        row += digits[index >> 4];
        row += digits[index & 15];
    }
    return row;
}

TEST_F(CliTest, InfoReportsTheHeaderAndTheMonsterSet)
{
    const CliResult result = run({"info", romPath});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<std::string> lines = result.lines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "header: headered");
    EXPECT_EQ(lines[1], "size: " + std::to_string(4 * 1024 * 1024 + 512));
    EXPECT_EQ(lines[2].rfind("slots: ", 0), 0u);
    EXPECT_EQ(lines[4], "small molds: " + std::to_string(sample.monsters.smallMolds.size()));
}

TEST_F(CliTest, DumpShowsTheBuildersPictures)
{
    const int entry = 51; // shares its stored graphic with entry 50
    CliResult result = run({"dump", romPath, "monster", std::to_string(entry)});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::vector<std::string> lines = result.lines();
    const MonsterRomRecord& record = sample.monsters.records[entry];
    const int side = record.isLarge ? 128 : 64;
    EXPECT_NE(lines[0].find(" colors=" + std::to_string(record.colourCount) + " "), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find(" name=" + sample.monsters.monsterNames[entry]), std::string::npos) << lines[0];
    EXPECT_EQ(lines[1], "indexed " + std::to_string(side) + " " + std::to_string(side) + " " +
                            std::to_string(record.colourCount));
    ASSERT_EQ(lines.size(), size_t(3 + side));
    const std::vector<uint8_t>& pixels = sample.monsters.expectedPixels(entry);
    for (int y = 0; y < side; ++y)
        ASSERT_EQ(lines[size_t(3 + y)], pixelRow(pixels, side, y)) << "row " << y;

    result = run({"dump", romPath, "character", "3"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    lines = result.lines();
    EXPECT_EQ(lines[1], "indexed 128 128 16");
    // Frame 9 sits at (16, 24) of the sheet.
    const std::string& row = lines[size_t(3 + 24 + 2)];
    for (int x = 0; x < 16; ++x)
        EXPECT_EQ(std::stoi(row.substr(size_t(2 * (16 + x)), 2), nullptr, 16), sample.characters.framePixel(3, 9, x, 2));

    result = run({"dump", romPath, "portrait", "4"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    lines = result.lines();
    EXPECT_EQ(lines[1], "indexed 40 40 16");
    for (int y = 0; y < 40; ++y)
        ASSERT_EQ(lines[size_t(3 + y)], pixelRow(sample.portraits.pictures[4], 40, y));

    result = run({"dump", romPath, "backdrop", "6"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    lines = result.lines();
    EXPECT_EQ(lines[0], "meta kind=backdrop index=6");
    EXPECT_EQ(lines[1], "rgb 128 128");
    std::string blueRow;
    for (int x = 0; x < 128; ++x)
        blueRow += "1E3CF0";
    EXPECT_EQ(lines[2], blueRow);
}

TEST_F(CliTest, ExportWritesTheUsedExtent)
{
    const int entry = 7;
    const CliResult dumped = run({"dump", romPath, "entry", std::to_string(entry)});
    ASSERT_EQ(dumped.exitCode, 0);
    const std::string file = dir.file("seven.PCX");
    ASSERT_EQ(run({"export", romPath, "entry", std::to_string(entry), file}).exitCode, 0);
    const CliResult info = run({"image-info", file});
    ASSERT_EQ(info.exitCode, 0) << info.err;
    const std::vector<std::string> lines = info.lines();
    // The extent is the block of tiles holding content, counted from the top left.
    const std::vector<std::string> full = dumped.lines();
    int width = 0;
    int height = 0;
    for (size_t y = 3; y < full.size(); ++y) {
        for (size_t x = 0; x < full[y].size() / 2; ++x) {
            if (full[y].substr(2 * x, 2) != "00") {
                width = std::max(width, int(x / 8 + 1) * 8);
                height = std::max(height, int((y - 3) / 8 + 1) * 8);
            }
        }
    }
    std::istringstream header(lines[1]);
    std::string word;
    int exportedWidth = 0;
    int exportedHeight = 0;
    header >> word >> exportedWidth >> exportedHeight;
    EXPECT_EQ(exportedWidth, width);
    EXPECT_EQ(exportedHeight, height);
}

TEST_F(CliTest, ImportedPicturesShowInTheNextDump)
{
    // A 100x40 picture makes the esper large, the picture in its top-left corner as
    // the file reader reads it (a 4-bit PNG keeps all 16 palette entries), the rest
    // transparent.
    const std::string picture = writePicture("new.png", 100, 40, 5);
    const CliResult read = run({"image-info", picture});
    ASSERT_EQ(read.exitCode, 0) << read.err;
    const std::vector<std::string> readLines = read.lines();
    CliResult result = run({"import", romPath, "esper", "2", picture});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    result = run({"dump", romPath, "esper", "2"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::vector<std::string> lines = result.lines();
    EXPECT_EQ(readLines[1], "indexed 100 40 16");
    EXPECT_NE(lines[0].find(" colors=16 large=1 "), std::string::npos) << lines[0];
    EXPECT_EQ(lines[1], "indexed 128 128 16");
    EXPECT_EQ(lines[2].substr(0, readLines[2].size()), readLines[2]) << "the picture's colours lead the palette";
    for (int y = 0; y < 128; ++y) {
        const std::string expected = y < 40 ? readLines[size_t(3 + y)] + std::string(56, '0') : std::string(256, '0');
        ASSERT_EQ(lines[size_t(3 + y)], expected) << "row " << y;
    }

    const std::string sheet = writePicture("sheet.bmp", 128, 128, 16);
    const CliResult sheetRead = run({"image-info", sheet});
    ASSERT_EQ(run({"import", romPath, "character", "12", sheet}).exitCode, 0);
    result = run({"dump", romPath, "character", "12"});
    lines = result.lines();
    // Row 0 of the sheet holds frames 0-7, whose tiles are all shown first there.
    EXPECT_EQ(lines[3], sheetRead.lines()[3]);
}

TEST_F(CliTest, ARefusedImportLeavesTheRomUntouched)
{
    const std::vector<uint8_t> before = readFileBytes(romPath);
    {
        // 17 colours cannot be written as a 4-bit PNG, so make the file by hand: a
        // 24-bit BMP with 17 distinct pixels.
        std::vector<uint8_t> bmp = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 17, 0, 0, 0, 1, 0,
                                    0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                    0, 0, 0, 0};
        for (int i = 0; i < 17; ++i) {
            bmp.push_back(uint8_t(i * 8));
            bmp.push_back(0);
            bmp.push_back(0);
        }
        bmp.push_back(0); // pad the row to 52 bytes
        bmp[2] = uint8_t(bmp.size());
        ASSERT_TRUE(writeFileBytes(dir.file("colours.bmp"), bmp));
    }
    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{"import", romPath, "monster", "3", dir.file("colours.bmp")}, "Image has more than 16 colors"},
        {{"import", romPath, "portrait", "3", writePicture("big.png", 41, 10, 3)}, "Image is larger than 40x40"},
        {{"import", romPath, "character", "3", dir.file("missing.png")}, "Error opening file"},
        {{"import", romPath, "monster", "3", romPath}, "File does not appear to be a valid image file"},
    };
    for (const auto& c : cases) {
        const CliResult result = run(c.arguments);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err, c.message + "\n");
        EXPECT_EQ(readFileBytes(romPath), before) << c.message;
    }
}

TEST_F(CliTest, ExportAllKeepsEveryFileInsideTheFolder)
{
    sample.monsters.monsterNames[0] = "../x";
    sample.monsters.monsterNames[1] = "..";
    sample.monsters.monsterNames[2] = "a/b";
    ASSERT_TRUE(sample.writeTo(romPath, true));
    const std::string out = dir.file("export");
    const CliResult result = run({"export-all", romPath, out});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "monsters: 384\nespers: 27\nportraits: 19\ncharacters: 22\n");
    namespace fs = std::filesystem;
    EXPECT_TRUE(fs::exists(fs::path(out) / "monsters" / "000 x.png"));
    EXPECT_TRUE(fs::exists(fs::path(out) / "monsters" / "001.png"));
    EXPECT_TRUE(fs::exists(fs::path(out) / "monsters" / "002 ab.png"));
    EXPECT_TRUE(fs::exists(fs::path(out) / "portraits" / "014 Vicks & Wedge.png"));
    EXPECT_TRUE(fs::exists(fs::path(out) / "characters" / "018 Esper Terra.png"));
    size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir.path())) {
        if (entry.is_regular_file() && entry.path().extension() == ".png")
            ++files;
    }
    EXPECT_EQ(files, size_t(384 + 27 + 19 + 22)) << "nothing was written outside the folder";
}

TEST_F(CliTest, HeaderChoiceAndUsageErrors)
{
    std::vector<uint8_t> unknown = readFileBytes(romPath);
    unknown[0x220] = 0;
    ASSERT_TRUE(writeFileBytes(dir.file("odd.smc"), unknown));
    CliResult result = run({"info", dir.file("odd.smc")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "This file does not appear to be a valid Final Fantasy III ROM\n");
    result = run({"dump", dir.file("odd.smc"), "portrait", "0", "--header", "yes"});
    EXPECT_EQ(result.exitCode, 0) << result.err;

    EXPECT_EQ(run({"dump", romPath, "monster", "384"}).exitCode, 2);
    EXPECT_EQ(run({"dump", romPath, "sprite", "1"}).exitCode, 2);
    EXPECT_EQ(run({"export", romPath, "backdrop", "1", dir.file("b.png")}).exitCode, 2);
    EXPECT_EQ(run({"info", romPath, "--header", "maybe"}).exitCode, 2);
    EXPECT_EQ(run({"convert", romPath, dir.file("out.gif")}).exitCode, 2);
    EXPECT_EQ(run({}).exitCode, 2);
    EXPECT_EQ(run({"--help"}).exitCode, 0);
}

} // namespace
