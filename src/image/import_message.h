#pragma once

#include <string>

#include "image/image_file_result.h"

// The text the user is shown when a picture chosen for import is refused: too many
// colours, larger than the page takes (maxWidth x maxHeight), unreadable, or not a
// picture. Empty for Ok.
std::string importFailureMessage(ImageFileResult result, int maxWidth, int maxHeight);
