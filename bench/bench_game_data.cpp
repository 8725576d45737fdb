// Loading the game data sets from a 4 MiB synthetic ROM, each next to its lower
// bound: reading the same ROM bytes plus a memcpy of the decoded pixel bytes. Also
// the monster save with its reload, and one brush stroke on a 128x128 16-colour
// monster picture. A new data set joins by adding one entry to dataSets().
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "rom/character_sprite_set.h"
#include "rom/monster_set.h"
#include "rom/portrait_set.h"
#include "rom/rom_file.h"
#include "rom/rom_state.h"
#include "support/character_rom_data.h"
#include "support/monster_rom_data.h"
#include "support/portrait_rom_data.h"
#include "support/rom_builder.h"
#include "support/temp_dir.h"

namespace {

struct RomArea {
    uint32_t offset;
    size_t size;
};

// One data set as the benchmarks see it: how to load it from a path, which ROM
// bytes that reads and how many picture bytes it decodes.
struct DataSetLoad {
    std::string name;
    std::function<bool(const std::string&)> load;
    std::vector<RomArea> areasRead;
    size_t decodedPixelBytes;
};

// The synthetic ROM every benchmark reads, written once (headered) for the run.
struct SyntheticRom {
    TempDir dir;
    std::string path = dir.file("bench.smc");
    MonsterRomData monsters = MonsterRomData::sample();

    SyntheticRom()
    {
        RomBuilder rom;
        monsters.writeInto(rom);
        PortraitRomData::sample().writeInto(rom);
        CharacterRomData::make(1).placeInto(rom);
        romState.hasCopierHeader = true;
        rom.writeTo(path, true);
    }
};

SyntheticRom& syntheticRom()
{
    static SyntheticRom rom;
    return rom;
}

size_t monsterPixelBytes(const MonsterRomData& data)
{
    size_t bytes = 0;
    for (const MonsterRomRecord& record : data.records)
        bytes += record.isLarge ? 128 * 128 : 64 * 64;
    return bytes;
}

std::vector<DataSetLoad>& dataSets()
{
    static auto monsters = std::make_unique<MonsterSet>();
    static auto portraits = std::make_unique<PortraitSet>();
    static auto characters = std::make_unique<CharacterSpriteSet>();
    static std::vector<DataSetLoad> sets = {
        {"Monsters",
         [](const std::string& path) { return monsters->load(path); },
         {{MonsterSet::monsterNamesOffset, 384 * 10},
          {MonsterSet::esperNamesOffset, 27 * 8},
          {MonsterSet::recordsOffset, 415 * 5},
          {MonsterSet::palettesOffset, 0x3000},
          {MonsterSet::moldStartsOffset, 4},
          {MonsterSet::firstMoldOffset, MonsterSet::moldCapacity},
          {MonsterSet::graphicsOffset, MonsterSet::graphicsReadSize}},
         monsterPixelBytes(syntheticRom().monsters)},
        {"Portraits",
         [](const std::string& path) { return portraits->load(path); },
         {{PortraitSet::palettesOffset, 608},
          {PortraitSet::paletteIndicesOffset, 18},
          {PortraitSet::lastPaletteIndexOffset, 1},
          {PortraitSet::tilesOffset, 25 * 800}},
         19 * 40 * 40},
        {"Characters",
         [](const std::string& path) { return characters->load(path); },
         {{CharacterSpriteSet::frameLayoutOffset, 480},
          {CharacterSpriteSet::paletteOffset, 1024},
          {CharacterSpriteSet::graphicsBlockOffset, CharacterSpriteSet::graphicsBlockSize},
          {CharacterSpriteSet::paletteIndexOffset, 22},
          {CharacterSpriteSet::addressLowOffset, 44},
          {CharacterSpriteSet::addressBankOffset, 44}},
         size_t(CharacterSpriteSet::characterCount) * CharacterSprite::frameCount * 16 * 24},
    };
    return sets;
}

void loadSet(benchmark::State& state, const DataSetLoad& set)
{
    const std::string& path = syntheticRom().path;
    for (auto _ : state) {
        if (!set.load(path)) {
            state.SkipWithError("load failed");
            break;
        }
    }
}

// What no loader can beat: opening the file, reading the same bytes, and putting
// the decoded pixels in place.
void loadLowerBound(benchmark::State& state, const DataSetLoad& set)
{
    const std::string& path = syntheticRom().path;
    size_t readBytes = 0;
    for (const RomArea& area : set.areasRead)
        readBytes = std::max(readBytes, area.size);
    std::vector<uint8_t> buffer(readBytes);
    const std::vector<uint8_t> decoded(set.decodedPixelBytes, 1);
    std::vector<uint8_t> pixels(set.decodedPixelBytes);
    for (auto _ : state) {
        RomFile file;
        file.open(path, true);
        for (const RomArea& area : set.areasRead)
            file.readExact(area.offset, buffer.data(), area.size);
        file.close();
        std::memcpy(pixels.data(), decoded.data(), decoded.size());
        benchmark::DoNotOptimize(buffer.data());
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
}

void loadEverySet(benchmark::State& state)
{
    const std::string& path = syntheticRom().path;
    for (auto _ : state)
        for (const DataSetLoad& set : dataSets())
            set.load(path);
}

void everySetLowerBound(benchmark::State& state)
{
    DataSetLoad all{"All", {}, {}, 0};
    for (const DataSetLoad& set : dataSets()) {
        all.areasRead.insert(all.areasRead.end(), set.areasRead.begin(), set.areasRead.end());
        all.decodedPixelBytes += set.decodedPixelBytes;
    }
    loadLowerBound(state, all);
}

void BM_MonsterSaveWithReload(benchmark::State& state)
{
    TempDir dir;
    const std::string path = dir.file("save.smc");
    std::filesystem::copy_file(syntheticRom().path, path);
    auto set = std::make_unique<MonsterSet>();
    if (!set->load(path)) {
        state.SkipWithError("load failed");
        return;
    }
    for (auto _ : state) {
        set->graphic(0).encode();
        set->decodeAll();
        set->compact();
        if (!set->saveToRom(path).ok || !set->load(path)) {
            state.SkipWithError("save failed");
            break;
        }
    }
}
BENCHMARK(BM_MonsterSaveWithReload)->Unit(benchmark::kMillisecond);

// One brush dab as the page applies it: the pixel, the mold search, the encode.
void BM_BrushEditLarge16(benchmark::State& state)
{
    auto set = std::make_unique<MonsterSet>();
    if (!set->load(syntheticRom().path)) {
        state.SkipWithError("load failed");
        return;
    }
    IndexedImage picture;
    picture.Create(128, 128);
    for (int i = 1; i < 16; ++i)
        picture.FindOrAddColor(RgbColor(uint8_t(i * 16), 0, 0));
    for (size_t i = 0; i < picture.pixels.size(); ++i)
        picture.pixels[i] = uint8_t(1 + i % 15);
    MonsterGraphic& entry = set->graphic(4);
    entry.newImage();
    entry.importImage(picture);
    entry.encode();
    int step = 0;
    for (auto _ : state) {
        ++step;
        entry.setPixel(step % 128, (step / 128) % 128, uint8_t(1 + step % 15));
        entry.encode();
        benchmark::DoNotOptimize(set->slots[entry.slotIndex].data.data());
    }
}
BENCHMARK(BM_BrushEditLarge16)->Unit(benchmark::kMicrosecond);

void registerLoads()
{
    for (const DataSetLoad& set : dataSets()) {
        benchmark::RegisterBenchmark(("BM_Load/" + set.name).c_str(), loadSet, set)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_LoadLowerBound/" + set.name).c_str(), loadLowerBound, set)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("BM_Load/AllSets", loadEverySet)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_LoadLowerBound/AllSets", everySetLowerBound)->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv)
{
    registerLoads();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
