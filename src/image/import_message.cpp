#include "image/import_message.h"

std::string importFailureMessage(ImageFileResult result, int maxWidth, int maxHeight)
{
    switch (result) {
    case ImageFileResult::Ok: return {};
    case ImageFileResult::TooManyColors: return "Image has more than 16 colors";
    case ImageFileResult::TooLarge:
        return "Image is larger than " + std::to_string(maxWidth) + "x" + std::to_string(maxHeight);
    case ImageFileResult::CannotOpen: return "Error opening file";
    case ImageFileResult::NotAnImage: return "File does not appear to be a valid image file";
    }
    return "File does not appear to be a valid image file";
}
