#pragma once

// Shared set-up of the monster set tests: a synthetic ROM written to a temporary
// folder and loaded into a set of the test's own.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "rom/monster_set.h"
#include "rom/rom_state.h"
#include "support/monster_rom_data.h"
#include "support/rom_builder.h"
#include "support/temp_dir.h"

// Sets the copier-header flag every loader and saver reads, and puts it back.
class CopierHeaderFlag {
public:
    explicit CopierHeaderFlag(bool headered) : saved_(romState.hasCopierHeader) { romState.hasCopierHeader = headered; }
    ~CopierHeaderFlag() { romState.hasCopierHeader = saved_; }
    CopierHeaderFlag(const CopierHeaderFlag&) = delete;
    CopierHeaderFlag& operator=(const CopierHeaderFlag&) = delete;

private:
    bool saved_;
};

// Every record names one graphic at pointer 0 (small, 16 colours, mold 0: the
// two top-left tiles), so tests can build exactly the slots and molds they need.
inline MonsterRomData singleGraphicData()
{
    MonsterRomData data;
    MonsterRomData::SmallMold mold{};
    mold[0] = mold[1] = 1;
    data.smallMolds.push_back(mold);
    data.placeGraphic(0, MonsterRomData::patternPicture(false, mold.data(), 16, 1), false, 16, 0);
    for (auto& record : data.records)
        record = MonsterRomRecord{0, 16, false, 0, 0};
    return data;
}

class MonsterRomTest : public testing::Test {
protected:
    void writeRom(const MonsterRomData& data, bool headered = true)
    {
        RomBuilder rom;
        data.writeInto(rom);
        romState.hasCopierHeader = headered;
        ASSERT_TRUE(rom.writeTo(path, headered));
    }
    bool loadInto(std::unique_ptr<MonsterSet>& target)
    {
        target = std::make_unique<MonsterSet>();
        return target->load(path);
    }
    // What the page does when it saves: store the shown entry, refresh every
    // entry from its slot, drop what is unused, write.
    OperationResult pageSave(int shownEntry = 0)
    {
        set->graphic(shownEntry).encode();
        set->decodeAll();
        set->compact();
        return set->saveToRom(path);
    }

    CopierHeaderFlag flag{true};
    TempDir dir;
    std::string path = dir.file("game.smc");
    std::unique_ptr<MonsterSet> set;
};
