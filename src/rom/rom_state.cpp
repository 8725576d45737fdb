#include "rom/rom_state.h"

RomState romState;
