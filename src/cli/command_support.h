#pragma once

#include <string>

#include "cli/commands.h"
#include "cli/game_data.h"

namespace commands {

constexpr int exitSuccess = 0;
constexpr int exitFailure = 1;
constexpr int exitUsage = 2;

// Prints the message on stderr and returns the matching exit code.
int failure(const std::string& message);
int badUsage(const std::string& message);

// Checks KIND and INDEX; on a bad one prints the usage error and returns nullptr.
const KindInfo* checkedKind(const std::string& kind, int index, bool backdropAllowed);

// Opens the ROM as the arguments say; false after printing why.
bool openRom(const RomArguments& rom);

bool endsWithBin(const std::string& path);

} // namespace commands
