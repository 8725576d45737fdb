#pragma once

#include <string>

// How the command-line tool reads a ROM's copier header: by the header test, or as the
// user says.
enum class HeaderChoice { Auto, Yes, No };

// Opens a ROM for the tool: applies the header choice to the open-ROM state. Returns
// an empty string on success, else the message to print.
std::string openRomSession(const std::string& path, HeaderChoice header);

inline constexpr const char* notAGameRomMessage = "This file does not appear to be a valid Final Fantasy III ROM";
inline constexpr const char* loadErrorMessage = "Error loading ROM";
