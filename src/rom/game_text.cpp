#include "rom/game_text.h"

char gameCharToAscii(uint8_t b)
{
    if (b == 0x00)
        return 0;
    if (b >= 0x80 && b <= 0x99)
        return char(b - 0x3F);
    if (b >= 0x9A && b <= 0xB3)
        return char(b - 0x39);
    if (b >= 0xB4 && b <= 0xBD)
        return char(b - 0x84);
    if (b == 0x01 || b == 0x05 || (b >= 0x1E && b <= 0x22) || b == 0xC7 || (b >= 0xD8 && b <= 0xEA) || b == 0xFE ||
        b == 0xFF)
        return ' ';
    switch (b) {
    case 0xBE: return '!';
    case 0xBF: return '?';
    case 0xC0: return '/';
    case 0xC2:
    case 0xD3: return '"';
    case 0xC3: return '\'';
    case 0xC4: return '-';
    case 0xC5: return '.';
    case 0xC6: return ',';
    case 0xCD: return '%';
    default: return '?';
    }
}

std::string gameTextToAscii(const uint8_t* field, size_t length)
{
    std::string text;
    for (size_t i = 0; i < length; ++i) {
        const char c = gameCharToAscii(field[i]);
        if (c == 0)
            break;
        text.push_back(c);
    }
    return text;
}
