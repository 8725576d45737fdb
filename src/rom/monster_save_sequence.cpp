#include "rom/monster_save_sequence.h"

#include "rom/monster_set.h"

OperationResult saveMonsterSetToRom(MonsterSet& set, int shownEntry, const std::string& path)
{
    if (shownEntry >= 0 && shownEntry < MonsterSet::entryCount)
        set.graphic(shownEntry).encode();
    set.decodeAll();
    set.compact();
    OperationResult result = set.saveToRom(path);
    if (!result.ok)
        return result;
    if (!set.load(path))
        return OperationResult::failure("Error loading ROM");
    return result;
}
