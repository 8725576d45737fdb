#include "cli/command_support.h"

#include <iostream>

#include "image/file_extension.h"

namespace commands {

int failure(const std::string& message)
{
    std::cerr << message << '\n';
    return exitFailure;
}

int badUsage(const std::string& message)
{
    std::cerr << message << '\n';
    return exitUsage;
}

const KindInfo* checkedKind(const std::string& kind, int index, bool backdropAllowed)
{
    const KindInfo* info = findKind(kind);
    if (!info || (info->kind == PictureKind::Backdrop && !backdropAllowed)) {
        badUsage("KIND: unknown kind '" + kind + "'");
        return nullptr;
    }
    if (index < 0 || index >= info->count) {
        badUsage("INDEX: " + std::to_string(index) + " is outside 0-" + std::to_string(info->count - 1) + " for " +
                 info->name);
        return nullptr;
    }
    return info;
}

bool openRom(const RomArguments& rom)
{
    const std::string problem = openRomSession(rom.romPath, rom.header);
    if (!problem.empty()) {
        failure(problem);
        return false;
    }
    return true;
}

bool endsWithBin(const std::string& path)
{
    // A name of just ".bin" names no tile file.
    return path.size() > 4 && lowerCaseExtension(path) == ".bin";
}

} // namespace commands
