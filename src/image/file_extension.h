#pragma once

#include <string>

// A picture file's kind is decided by its name alone: the last four characters,
// in any letter case (".png", ".BMP", ".Pcx", ".bin").
std::string lowerCaseExtension(const std::string& path);

// True when the name ends in one of the three picture extensions.
bool hasImageFileExtension(const std::string& path);
