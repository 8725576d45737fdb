#pragma once

#include <string>

#include "cli/rom_session.h"

// Each command returns the process exit code: 0 success, 1 refused or failed (the
// message is on stderr), 2 bad usage.
namespace commands {

struct RomArguments {
    std::string romPath;
    HeaderChoice header = HeaderChoice::Auto;
};

int info(const RomArguments& rom);
int dump(const RomArguments& rom, const std::string& kind, int index);
int exportPicture(const RomArguments& rom, const std::string& kind, int index, const std::string& file);
int exportAll(const RomArguments& rom, const std::string& folder);
int importPicture(const RomArguments& rom, const std::string& kind, int index, const std::string& file);
int imageInfo(const std::string& file, int maxColors, int maxWidth, int maxHeight);
int convert(const std::string& input, const std::string& output);

} // namespace commands
