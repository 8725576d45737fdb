#pragma once

// What every picture reader returns; the pages turn codes 1 to 4 into their own
// messages, so the numbers are fixed.
enum class ImageFileResult : int {
    Ok = 0,
    TooManyColors = 1, // more colours than the caller allows (or more than 256)
    TooLarge = 2,      // wider or taller than the caller allows
    CannotOpen = 3,    // the file cannot be read, memory ran out, or an unusable depth
    NotAnImage = 4,    // wrong signature, damaged or cut-off data, or an unknown extension
};
