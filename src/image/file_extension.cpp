#include "image/file_extension.h"

#include <cctype>

std::string lowerCaseExtension(const std::string& path)
{
    if (path.size() < 4)
        return {};
    std::string last = path.substr(path.size() - 4);
    for (char& c : last)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return last;
}

bool hasImageFileExtension(const std::string& path)
{
    const std::string extension = lowerCaseExtension(path);
    return extension == ".bmp" || extension == ".pcx" || extension == ".png";
}
