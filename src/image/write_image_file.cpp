#include "image/write_image_file.h"

#include <algorithm>
#include <cctype>

#include "image/bmp_file.h"
#include "image/pcx_file.h"
#include "image/png_file.h"

namespace {

std::string lowerExtension(const std::string& path)
{
    const size_t separator = path.find_last_of("/\\");
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator))
        return {};
    std::string extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return extension;
}

} // namespace

bool WriteImageFile(const IndexedImage& image, const std::string& path, int32_t width, int32_t height)
{
    const std::string extension = lowerExtension(path);
    if (extension == ".bmp")
        return WriteBmp(image, path, width, height);
    if (extension == ".pcx")
        return WritePcx(image, path, width, height);
    if (extension == ".png")
        return WritePng(image, path, width, height);
    return true;
}

bool hasImageFileExtension(const std::string& path)
{
    const std::string extension = lowerExtension(path);
    return extension == ".bmp" || extension == ".pcx" || extension == ".png";
}
