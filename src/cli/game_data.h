#pragma once

#include <memory>
#include <string>

#include "rom/character_sprite_set.h"
#include "rom/monster_set.h"
#include "rom/portrait_set.h"

// The kinds of picture the tool addresses, and the range of each one's index.
enum class PictureKind { Monster, Esper, Entry, Portrait, Character, Backdrop };

struct KindInfo {
    PictureKind kind;
    const char* name;
    int count;
};

const KindInfo* findKind(const std::string& name);
// The monster-set entry a monster, esper or entry index names.
int monsterEntryFor(PictureKind kind, int index);

// The three data sets, read from the open ROM on demand.
class GameData {
public:
    // Each returns false with the message already set when the set cannot be read.
    bool loadMonsters();
    bool loadPortraits();
    bool loadCharacters();

    MonsterSet& monsters() { return *monsters_; }
    PortraitSet& portraits() { return *portraits_; }
    CharacterSpriteSet& characters() { return *characters_; }

private:
    std::unique_ptr<MonsterSet> monsters_ = std::make_unique<MonsterSet>();
    std::unique_ptr<PortraitSet> portraits_ = std::make_unique<PortraitSet>();
    std::unique_ptr<CharacterSpriteSet> characters_ = std::make_unique<CharacterSpriteSet>();
};
