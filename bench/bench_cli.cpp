// The command-line tool as a whole process: export-all of a 4 MiB synthetic ROM next to
// `cat` of the same ROM as the floor, and convert of a 128x128 PNG to BMP next to
// ImageMagick's convert on the same file.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "image/write_image_file.h"
#include "support/sample_rom.h"
#include "support/temp_dir.h"

namespace {

struct Workspace {
    TempDir dir;
    std::string rom = dir.file("game.smc");
    std::string png = dir.file("picture.png");
    Workspace()
    {
        SampleRom().writeTo(rom, true);
        IndexedImage picture;
        picture.Create(128, 128);
        for (int i = 1; i < 16; ++i)
            picture.SetPaletteEntry(uint8_t(i), RgbColor(uint8_t(i * 16), uint8_t(255 - i * 8), uint8_t(i * 4)));
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 128; ++x)
                picture.setPixel(x, y, uint8_t((x * 7 + y * 3 + x * y) % 16));
        WriteImageFile(picture, png, 128, 128);
    }
};

Workspace& workspace()
{
    static Workspace shared;
    return shared;
}

void runCommand(benchmark::State& state, const std::string& command)
{
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError(("failed: " + command).c_str());
            break;
        }
    }
}

// Each run exports into a fresh folder: overwriting the previous run's 452 files
// measures the file system's truncation more than the tool.
void BM_ExportAll(benchmark::State& state)
{
    int run = 0;
    for (auto _ : state) {
        const std::string out = workspace().dir.file("export-" + std::to_string(run++));
        const std::string command =
            std::string("'") + QUILLFERN_CLI_PATH + "' export-all '" + workspace().rom + "' '" + out + "' > /dev/null";
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("export-all failed");
            break;
        }
    }
}
BENCHMARK(BM_ExportAll)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CatRomFloor(benchmark::State& state)
{
    runCommand(state, "cat '" + workspace().rom + "' > /dev/null");
}
BENCHMARK(BM_CatRomFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ConvertPngToBmp(benchmark::State& state)
{
    runCommand(state, std::string("'") + QUILLFERN_CLI_PATH + "' convert '" + workspace().png + "' '" +
                          workspace().dir.file("ours.bmp") + "'");
}
BENCHMARK(BM_ConvertPngToBmp)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ImageMagickConvertPngToBmp(benchmark::State& state)
{
    if (!std::filesystem::exists("/usr/bin/convert")) {
        state.SkipWithError("ImageMagick's convert is not installed");
        return;
    }
    runCommand(state, "/usr/bin/convert '" + workspace().png + "' '" + workspace().dir.file("theirs.bmp") + "'");
}
BENCHMARK(BM_ImageMagickConvertPngToBmp)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
