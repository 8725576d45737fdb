#include "image/write_image_file.h"

#include "image/bmp_file.h"
#include "image/file_extension.h"
#include "image/pcx_file.h"
#include "image/png_file.h"

bool WriteImageFile(const IndexedImage& image, const std::string& path, int32_t width, int32_t height)
{
    const std::string extension = lowerCaseExtension(path);
    if (extension == ".bmp")
        return WriteBmp(image, path, width, height);
    if (extension == ".pcx")
        return WritePcx(image, path, width, height);
    if (extension == ".png")
        return WritePng(image, path, width, height);
    return true;
}
