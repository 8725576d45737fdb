#pragma once

#include <cstdint>
#include <string>

// The game's one-byte character codes as ASCII: 0x00 ends a text, letters, digits
// and a few signs map to themselves, blanks and layout codes to a space, everything
// else to a question mark.
char gameCharToAscii(uint8_t gameByte);

// A fixed-width name field as text, stopping at the first 0x00.
std::string gameTextToAscii(const uint8_t* field, size_t length);
