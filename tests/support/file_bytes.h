#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Whole-file helpers for tests: compare a file before and after an operation.
std::vector<uint8_t> readFileBytes(const std::string& path);
bool writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
