#include "cli/game_data.h"

#include "rom/rom_state.h"

namespace {

const KindInfo kinds[] = {
    {PictureKind::Monster, "monster", MonsterSet::monsterCount},
    {PictureKind::Esper, "esper", MonsterSet::esperCount},
    {PictureKind::Entry, "entry", MonsterSet::entryCount},
    {PictureKind::Portrait, "portrait", PortraitSet::portraitCount},
    {PictureKind::Character, "character", CharacterSpriteSet::characterCount},
    {PictureKind::Backdrop, "backdrop", 60},
};

} // namespace

const KindInfo* findKind(const std::string& name)
{
    for (const KindInfo& info : kinds)
        if (name == info.name)
            return &info;
    return nullptr;
}

int monsterEntryFor(PictureKind kind, int index)
{
    return kind == PictureKind::Esper ? MonsterSet::monsterCount + index : index;
}

bool GameData::loadMonsters()
{
    return monsters_->load(romState.romPath);
}

bool GameData::loadPortraits()
{
    return portraits_->load(romState.romPath);
}

bool GameData::loadCharacters()
{
    return characters_->load(romState.romPath);
}
