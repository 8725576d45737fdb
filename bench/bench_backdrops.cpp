// Reading and decoding the 55 battle backgrounds, building the 60 previews and both
// backdrops, next to copying the previews' bytes as the lower bound.
#include <benchmark/benchmark.h>

#include <cstring>

#include "rom/backdrops.h"
#include "support/background_rom_data.h"
#include "support/rom_builder.h"
#include "support/temp_dir.h"

namespace {

struct RomOnDisk {
    TempDir dir;
    std::string path = dir.file("rom.smc");
    RomOnDisk()
    {
        RomBuilder rom;
        BackgroundRomData::make(1).placeInto(rom);
        rom.writeTo(path, true);
    }
};

void BM_LoadBackgroundsAndBuildBackdrops(benchmark::State& state)
{
    RomOnDisk rom;
    for (auto _ : state) {
        Backdrops backdrops;
        backdrops.ApplyBackdrop(7, rom.path, true);
        benchmark::DoNotOptimize(backdrops.largeBackdrop.pixels.data());
    }
}
BENCHMARK(BM_LoadBackgroundsAndBuildBackdrops)->Unit(benchmark::kMillisecond);

void BM_ApplyAnotherBackdrop(benchmark::State& state)
{
    RomOnDisk rom;
    Backdrops backdrops;
    backdrops.ApplyBackdrop(7, rom.path, true);
    int background = 0;
    for (auto _ : state) {
        backdrops.ApplyBackdrop(background, rom.path, true);
        background = (background + 1) % Backdrops::count;
        benchmark::DoNotOptimize(backdrops.largeBackdrop.pixels.data());
    }
}
BENCHMARK(BM_ApplyAnotherBackdrop)->Unit(benchmark::kMicrosecond);

void BM_CopyPreviewBytes(benchmark::State& state)
{
    const size_t bytes = size_t(Backdrops::count) * 128 * 128 * 4;
    std::vector<uint8_t> source(bytes, 1);
    std::vector<uint8_t> destination(bytes);
    for (auto _ : state) {
        std::memcpy(destination.data(), source.data(), bytes);
        benchmark::DoNotOptimize(destination.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CopyPreviewBytes)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
