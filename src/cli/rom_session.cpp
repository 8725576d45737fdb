#include "cli/rom_session.h"

#include "rom/rom_file.h"
#include "rom/rom_state.h"

std::string openRomSession(const std::string& path, HeaderChoice header)
{
    RomFile rom;
    if (!rom.open(path, true))
        return loadErrorMessage;
    switch (header) {
    case HeaderChoice::Yes: romState.hasCopierHeader = true; break;
    case HeaderChoice::No: romState.hasCopierHeader = false; break;
    case HeaderChoice::Auto:
        switch (detectCopierHeader(rom)) {
        case CopierHeader::Headered: romState.hasCopierHeader = true; break;
        case CopierHeader::Unheadered: romState.hasCopierHeader = false; break;
        case CopierHeader::Unrecognised: return notAGameRomMessage;
        }
        break;
    }
    romState.romPath = path;
    return {};
}
