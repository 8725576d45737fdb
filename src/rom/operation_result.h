#pragma once

#include <string>

// What a save or a file exchange of the game data reports: whether it succeeded and,
// when it did not, the exact text the page shows the user. The core never shows it.
struct OperationResult {
    bool ok = true;
    std::string message;

    static OperationResult success() { return OperationResult{}; }
    static OperationResult failure(std::string text) { return OperationResult{false, std::move(text)}; }
};
