#pragma once

#include "image/indexed_image.h"

struct MonsterGraphic;
class PortraitSet;

// The pictures the pages and the command-line tool export, built in one place.

// The block of stored tiles from the top left (at least one tile), with the entry's
// colourCount colours taken from the set's palette table.
IndexedImage monsterExportPicture(const MonsterGraphic& entry);

// The 40x40 portrait with the 16 colours of its palette.
IndexedImage portraitPicture(const PortraitSet& set, int portraitIndex);
