#include "support/sample_rom.h"

RomBuilder SampleRom::build() const
{
    RomBuilder rom;
    monsters.writeInto(rom);
    portraits.writeInto(rom);
    characters.placeInto(rom);
    backgrounds.placeInto(rom);
    return rom;
}
