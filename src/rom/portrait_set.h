#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "image/rgb_color.h"
#include "rom/operation_result.h"
#include "rom/portrait.h"

// The 19 character portraits and their 19 shared 16-colour palettes. A portrait's
// colours are entry paletteIndex of palettes, so a colour change shows in every
// portrait using that palette once refreshPalette has run for it.
class PortraitSet {
public:
    static constexpr int portraitCount = 19;
    static constexpr int paletteCount = 19;

    // ROM areas.
    static constexpr uint32_t tilesOffset = 0x2D1D00;
    static constexpr uint32_t palettesOffset = 0x2D5860;
    static constexpr uint32_t paletteIndicesOffset = 0x036F00; // portraits 0-17
    // Portrait 18's palette index sits two bytes further on; the two bytes between
    // belong to other data and are never touched.
    static constexpr uint32_t lastPaletteIndexOffset = 0x036F14;

    // Grid position (column, row) of each tile of a block: the block holds the top
    // row of four tiles, the third row, the right-hand column top to bottom, the
    // bottom row's first three, the second row, the fourth row and one last tile.
    struct GridPosition {
        int column;
        int row;
    };
    static const std::array<GridPosition, Portrait::tileCount> tileOrder;

    // Reads palettes, palette indices and tiles; false (set unchanged) when the file
    // cannot be opened or does not reach the areas read. Uses romState's header flag.
    bool load(const std::string& path);
    // Writes palettes, palette indices and tiles of all 19.
    OperationResult save(const std::string& path);

    // Takes an 800-byte tile block into rawTiles and rebuilds the picture.
    void decode(int portraitIndex, const uint8_t* block);
    // Rebuilds rawTiles from the picture and returns them.
    const std::array<uint8_t, Portrait::blockSize>& encode(int portraitIndex);

    void setPaletteIndex(int portraitIndex, int newPaletteIndex);
    void refreshPalette(int portraitIndex);
    void clearImage(int portraitIndex);
    void copyFrom(int portraitIndex, int sourceIndex);
    void flip(int portraitIndex, int vertical);
    // Takes a picture of at most 40x40 pixels and 16 colours (false, nothing changed,
    // otherwise); all 16 colours of the portrait's palette are replaced.
    bool importImage(int portraitIndex, const IndexedImage& source);
    void setTransparentColour(int portraitIndex, int colourIndex);

    // The raw pair: the tile block at binPath and the 16 colours as game colour words
    // in a file of the same name ending in ".pal".
    OperationResult exportRaw(int portraitIndex, const std::string& binPath);
    // Reads the pair. Without a readable .pal the tiles come in with the current
    // palette; without a readable 800-byte .bin nothing changes.
    OperationResult importRaw(int portraitIndex, const std::string& binPath);
    static std::string paletteFileName(const std::string& binPath);

    Portrait& portrait(int portraitIndex);
    const Portrait& portrait(int portraitIndex) const;
    std::array<RgbColor, 16>& palette(int paletteIndex);
    const std::array<RgbColor, 16>& paletteOf(int portraitIndex) const;

    std::array<std::array<RgbColor, 16>, paletteCount> palettes{};
    std::array<Portrait, portraitCount> portraits;
};

extern PortraitSet portraitSet;

namespace portrait_messages {
inline constexpr const char* saveError = "Error saving portrait data";
inline constexpr const char* openError = "Error opening file";
} // namespace portrait_messages
