#include "cli/safe_file_name.h"

#include <cstdio>

std::string exportFileName(int index, const std::string& name, const std::string& extension)
{
    std::string safe;
    for (unsigned char c : name) {
        if (c == '/' || c == '\\' || c < 0x20 || c == 0x7F)
            continue;
        if (c == '.' && safe.empty())
            continue;
        safe.push_back(char(c));
    }
    while (!safe.empty() && safe.back() == ' ')
        safe.pop_back();
    char number[16];
    std::snprintf(number, sizeof number, "%03d", index);
    return safe.empty() ? number + extension : number + (" " + safe) + extension;
}
