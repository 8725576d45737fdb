#pragma once

#include <string>

#include "support/background_rom_data.h"
#include "support/character_rom_data.h"
#include "support/monster_rom_data.h"
#include "support/portrait_rom_data.h"
#include "support/rom_builder.h"

// A whole synthetic game image: monsters and espers, portraits, character sprites and
// battle backgrounds, each data set in its own areas, as one 4 MiB ROM.
struct SampleRom {
    MonsterRomData monsters = MonsterRomData::sample();
    PortraitRomData portraits = PortraitRomData::sample();
    CharacterRomData characters = CharacterRomData::make(5);
    BackgroundRomData backgrounds = BackgroundRomData::make(6);

    // Builds the image from the four parts as they are now.
    RomBuilder build() const;
    bool writeTo(const std::string& path, bool copierHeader) const { return build().writeTo(path, copierHeader); }
};
