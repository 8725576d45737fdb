// Tile decoding and encoding, and the magnified draw every page repaints with, each
// next to a memcpy of the same number of output bytes as its lower bound.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "image/indexed_image.h"
#include "rom/tile_codec.h"

namespace {

constexpr int tilesPerRun = 256; // a 128x128 picture

std::vector<uint8_t> randomBytes(size_t count, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(count);
    for (uint8_t& b : bytes)
        b = uint8_t(random());
    return bytes;
}

void BM_DecodeTiles(benchmark::State& state)
{
    const int colours = int(state.range(0));
    const std::vector<uint8_t> planar = randomBytes(size_t(tilesPerRun * tileBytes(colours)), 1);
    std::vector<uint8_t> decoded(size_t(tilesPerRun) * 64);
    for (auto _ : state) {
        for (int t = 0; t < tilesPerRun; ++t)
            decodeTile(planar.data() + t * tileBytes(colours), decoded.data() + t * 64, colours);
        benchmark::DoNotOptimize(decoded.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(decoded.size()));
}
BENCHMARK(BM_DecodeTiles)->Arg(8)->Arg(16);

void BM_EncodeTiles(benchmark::State& state)
{
    const int colours = int(state.range(0));
    IndexedImage image;
    image.Create(128, 128);
    const std::vector<uint8_t> indices = randomBytes(image.pixels.size(), 2);
    for (size_t i = 0; i < indices.size(); ++i)
        image.pixels[i] = uint8_t(indices[i] % colours);
    std::vector<uint8_t> planar(size_t(tilesPerRun * tileBytes(colours)));
    for (auto _ : state) {
        for (int t = 0; t < tilesPerRun; ++t)
            encodeTile(image, t % 16, t / 16, planar.data() + t * tileBytes(colours), colours);
        benchmark::DoNotOptimize(planar.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(planar.size()));
}
BENCHMARK(BM_EncodeTiles)->Arg(8)->Arg(16);

void BM_MemcpyBound(benchmark::State& state)
{
    const size_t count = size_t(state.range(0));
    const std::vector<uint8_t> source = randomBytes(count, 3);
    std::vector<uint8_t> destination(count);
    for (auto _ : state) {
        std::memcpy(destination.data(), source.data(), count);
        benchmark::DoNotOptimize(destination.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(count));
}
// Decoded tiles (256 x 64 bytes), encoded tiles at both depths, and the 256x256
// Surface of 32-bit pixels that DrawMagnified fills.
BENCHMARK(BM_MemcpyBound)->Arg(256 * 64)->Arg(256 * 24)->Arg(256 * 32)->Arg(256 * 256 * 4);

void BM_DrawMagnified(benchmark::State& state)
{
    IndexedImage sprite;
    sprite.Create(128, 128);
    for (int i = 1; i < 16; ++i)
        sprite.SetPaletteEntry(uint8_t(i), RgbColor(uint8_t(i * 16), uint8_t(255 - i * 16), uint8_t(i * 8)));
    const std::vector<uint8_t> indices = randomBytes(sprite.pixels.size(), 4);
    for (size_t i = 0; i < indices.size(); ++i)
        sprite.pixels[i] = uint8_t(indices[i] % 16);
    IndexedImage backdrop;
    backdrop.Create(256, 256);
    for (int i = 1; i < 64; ++i)
        backdrop.SetPaletteEntry(uint8_t(i), RgbColor(uint8_t(i * 4), uint8_t(i * 2), uint8_t(i)));
    const std::vector<uint8_t> backdropIndices = randomBytes(backdrop.pixels.size(), 5);
    for (size_t i = 0; i < backdropIndices.size(); ++i)
        backdrop.pixels[i] = uint8_t(backdropIndices[i] % 64);
    Surface view(256, 256);
    for (auto _ : state) {
        sprite.DrawMagnified(4, view, 0, 0, &backdrop, 256, 256);
        benchmark::DoNotOptimize(view.pixels.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(view.pixels.size() * 4));
}
BENCHMARK(BM_DrawMagnified);

} // namespace

BENCHMARK_MAIN();
