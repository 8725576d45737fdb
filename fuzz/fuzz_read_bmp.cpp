#include "image/bmp_file.h"
#include "picture_reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzzPictureReader(
        [](IndexedImage& image, std::span<const uint8_t> bytes, int colours, int width, int height) {
            return ReadBmp(image, bytes, colours, width, height);
        },
        data, size);
}
