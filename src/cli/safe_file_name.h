#pragma once

#include <string>

// "NNN NAME.png" for export-all: the three-digit index and the name with path
// separators and control characters dropped and no leading dots, so the file always
// lands inside the chosen folder; the number alone when nothing of the name is left.
std::string exportFileName(int index, const std::string& name, const std::string& extension);
