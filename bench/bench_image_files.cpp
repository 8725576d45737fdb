// Reading and writing a 128x128 16-colour picture (a character sprite sheet's size) in
// each file format, next to reading the same file's bytes as the lower bound. Set
// QUILLFERN_BENCH_FILES to a folder to keep the files, for timing other readers on
// the very same bytes.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "image/bmp_file.h"
#include "image/pcx_file.h"
#include "image/png_file.h"
#include "image/whole_file.h"
#include "support/temp_dir.h"

namespace {

constexpr int side = 128;

// Areas of one colour with single-pixel detail, as sprites have.
IndexedImage benchPicture()
{
    IndexedImage image;
    image.Create(side, side);
    for (int i = 0; i < 16; ++i)
        image.SetPaletteEntry(uint8_t(i), RgbColor(uint8_t(i * 16), uint8_t(255 - i * 8), uint8_t(i * 5)));
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            image.setPixel(x, y, uint8_t(((x / 8 + y / 16) % 4 == 0) ? 0 : (x * 7 + y * 3 + (x ^ y)) % 16));
    return image;
}

struct BenchFiles {
    std::unique_ptr<TempDir> temp;
    std::string folder;
    IndexedImage picture = benchPicture();

    BenchFiles()
    {
        if (const char* keep = std::getenv("QUILLFERN_BENCH_FILES")) {
            folder = keep;
            std::filesystem::create_directories(folder);
        } else {
            temp = std::make_unique<TempDir>();
            folder = temp->path().string();
        }
        WriteBmp(picture, path("bmp"), side, side);
        WritePcx(picture, path("pcx"), side, side);
        WritePng(picture, path("png"), side, side);
    }

    std::string path(const std::string& format) const { return folder + "/picture128." + format; }
};

const BenchFiles& files()
{
    static const BenchFiles instance;
    return instance;
}

template <ImageFileResult (*Read)(IndexedImage&, const std::string&, int, int, int)>
void readFile(benchmark::State& state, const char* format)
{
    const std::string path = files().path(format);
    for (auto _ : state) {
        IndexedImage image;
        if (Read(image, path, 16, side, side) != ImageFileResult::Ok)
            state.SkipWithError("the file did not read");
        benchmark::DoNotOptimize(image.pixels.data());
    }
}

template <bool (*Write)(const IndexedImage&, const std::string&, int32_t, int32_t)>
void writeFile(benchmark::State& state, const char* format)
{
    const std::string path = files().folder + "/written." + format;
    for (auto _ : state) {
        if (Write(files().picture, path, side, side))
            state.SkipWithError("the file was not written");
    }
}

void BM_ReadBmp(benchmark::State& state) { readFile<ReadBmp>(state, "bmp"); }
void BM_ReadPcx(benchmark::State& state) { readFile<ReadPcx>(state, "pcx"); }
void BM_ReadPng(benchmark::State& state) { readFile<ReadPng>(state, "png"); }
void BM_WriteBmp(benchmark::State& state) { writeFile<WriteBmp>(state, "bmp"); }
void BM_WritePcx(benchmark::State& state) { writeFile<WritePcx>(state, "pcx"); }
void BM_WritePng(benchmark::State& state) { writeFile<WritePng>(state, "png"); }

// Pillow cannot read the 4-bit PCX files the program writes; for a comparison on equal
// terms, the same picture saved by Pillow as an 8-bit PCX (picture128_pal8.pcx) is read
// here when the folder holds it.
void BM_ReadPcxEightBit(benchmark::State& state)
{
    const std::string path = files().path("pcx").replace(files().path("pcx").size() - 4, 4, "_pal8.pcx");
    if (!std::filesystem::exists(path)) {
        state.SkipWithError("no picture128_pal8.pcx in QUILLFERN_BENCH_FILES");
        return;
    }
    for (auto _ : state) {
        IndexedImage image;
        if (ReadPcx(image, path, 16, side, side) != ImageFileResult::Ok)
            state.SkipWithError("the file did not read");
        benchmark::DoNotOptimize(image.pixels.data());
    }
}

// The lower bound of every read: opening the file and reading its bytes.
void BM_ReadFileBytesOnly(benchmark::State& state)
{
    const std::string path = files().path(state.range(0) == 0 ? "bmp" : state.range(0) == 1 ? "pcx" : "png");
    std::vector<uint8_t> bytes;
    for (auto _ : state) {
        ReadWholeFile(path, bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
}

BENCHMARK(BM_ReadBmp);
BENCHMARK(BM_ReadPcx);
BENCHMARK(BM_ReadPng);
BENCHMARK(BM_ReadPcxEightBit);
BENCHMARK(BM_WriteBmp);
BENCHMARK(BM_WritePcx);
BENCHMARK(BM_WritePng);
BENCHMARK(BM_ReadFileBytesOnly)->Arg(0)->Arg(1)->Arg(2);

} // namespace

BENCHMARK_MAIN();
