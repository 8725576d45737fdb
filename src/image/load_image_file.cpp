#include "image/load_image_file.h"

#include "image/bmp_file.h"
#include "image/file_extension.h"
#include "image/pcx_file.h"
#include "image/png_file.h"

ImageFileResult LoadImageFile(IndexedImage& image, const std::string& path, int32_t maxColors, int32_t maxWidth,
                              int32_t maxHeight)
{
    const std::string extension = lowerCaseExtension(path);
    if (extension == ".bmp")
        return ReadBmp(image, path, maxColors, maxWidth, maxHeight);
    if (extension == ".pcx")
        return ReadPcx(image, path, maxColors, maxWidth, maxHeight);
    if (extension == ".png")
        return ReadPng(image, path, maxColors, maxWidth, maxHeight);
    return ImageFileResult::NotAnImage;
}
