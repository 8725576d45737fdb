#pragma once

#include <string>

#include "rom/operation_result.h"

class MonsterSet;

// What saving the monster and esper graphics takes: store the entry being edited,
// bring every entry in line with its slot, drop slots and molds nothing uses, write
// everything, and read the set back so that slots and molds are numbered afresh from
// what was written. A refused save leaves the file as it was.
OperationResult saveMonsterSetToRom(MonsterSet& set, int shownEntry, const std::string& path);
