#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The picture readers and writers work on whole files held in memory: pictures are
// small, and a decoder that only sees a byte span cannot read past the file.

// Reads the whole file; false when it cannot be opened or read (a folder, say).
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes);
// Creates or truncates the file and writes the bytes; false when any step fails.
bool WriteWholeFile(const std::string& path, std::span<const uint8_t> bytes);
