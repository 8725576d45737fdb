// Every data set loaded from (and the editable ones saved into) a ROM whose tables
// hold arbitrary bytes: records, mold starts and molds, the character frame layout
// and graphics addresses, palette choices, background records, pointer tables and
// compressed data. Nothing may read or write outside its tables, buffers or the file.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "rom/battle_background_set.h"
#include "rom/character_sprite_set.h"
#include "rom/monster_save_sequence.h"
#include "rom/monster_set.h"
#include "rom/portrait_set.h"
#include "rom/rom_state.h"

namespace {

struct Area {
    uint32_t offset;
    uint32_t size;
};

// The tables whose values steer the loaders, filled from the input in this order.
constexpr Area steeringAreas[] = {
    {0x127000, 415 * 5},  // monster graphics records
    {0x31A820, 4},        // mold start words
    {0x31A824, 0x400},    // the first molds
    {0x00CE3A, 480},      // character frame layout
    {0x00D0F2, 44},       // character graphics addresses, low words
    {0x00D23C, 44},       // and bank bytes
    {0x02CE2B, 22},       // character palette choices
    {0x036F00, 21},       // portrait palette indices
    {0x270000, 55 * 6},   // battle background records
    {0x271650, 128 * 3},  // graphics-set pointers
    {0x271848, 128 * 2},  // tile-map pointers
    {0x272000, 0x800},    // compressed data the pointers may name
    {0x320000, 0x400},    // the first monster graphics
};

constexpr uint32_t romSize = 4u * 1024u * 1024u;

std::string romPath()
{
    static const std::string path =
        (std::filesystem::temp_directory_path() / ("quillfern-fuzz-rom-" + std::to_string(::getpid()) + ".smc")).string();
    return path;
}

bool writeRom(const std::vector<uint8_t>& rom)
{
    std::FILE* file = std::fopen(romPath().c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(rom.data(), 1, rom.size(), file) == rom.size();
    return std::fclose(file) == 0 && written;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> rom(romSize, 0);
    rom[0x20] = 0xA2;
    size_t used = 0;
    for (const Area& area : steeringAreas) {
        for (uint32_t i = 0; i < area.size && used < size; ++i)
            rom[area.offset + i] = data[used++];
    }
    // A short file is a case of its own: the last input byte, when left over, cuts it.
    if (used < size)
        rom.resize(size_t(data[size - 1]) * 0x8000 + 0x1000);
    if (!writeRom(rom))
        return 0;

    romState.hasCopierHeader = false;
    static MonsterSet* monsters = new MonsterSet;
    static PortraitSet* portraits = new PortraitSet;
    static CharacterSpriteSet* characters = new CharacterSpriteSet;
    static BattleBackgroundSet* backgrounds = new BattleBackgroundSet;

    if (monsters->load(romPath())) {
        monsters->graphic(size % MonsterSet::entryCount).setPixel(3, 5, 1);
        monsters->graphic(0).newImage();
        saveMonsterSetToRom(*monsters, 0, romPath());
    }
    if (portraits->load(romPath()))
        portraits->save(romPath());
    if (characters->load(romPath())) {
        characters->setPixel(int(size % 22), 0, 1, 1, 2);
        characters->flip(1, 0);
        characters->save(romPath());
    }
    backgrounds->load(romPath(), false);
    return 0;
}
