#pragma once

#include <array>
#include <string>

#include "image/indexed_image.h"
#include "image/surface.h"
#include "rom/battle_background_set.h"

// The 60 backdrops a picture can be shown over, and the two the pages draw behind
// their pictures. 0-4 are the built-in pictures, 5 plain black, 6 plain blue, 7-55
// battle backgrounds 0-48 and 56-59 battle backgrounds 51-54 (49 and 50 are decoded
// but not offered). The game's backgrounds are read once per run, at the first
// application after a ROM was opened.
class Backdrops {
public:
    static constexpr int count = 60;
    static constexpr int previewSize = 128;

    std::array<Surface, count> backdropPreviews;
    BattleBackgroundSet battleBackgrounds;
    bool backgroundsLoaded = false;
    IndexedImage smallBackdrop; // 128x128, the chosen backdrop
    IndexedImage largeBackdrop; // 256x256, the same with every pixel doubled

    // Loads the battle backgrounds (if not done yet in this run) and builds both
    // backdrops from preview `background`; a number above 59 falls back to 0. The
    // caller shows its progress box around this when needsLoading() is true.
    void ApplyBackdrop(int background, const std::string& romPath, bool copierHeader);
    bool needsLoading() const { return !backgroundsLoaded; }
    void FreeBackdrops();

    // The battle background a backdrop number shows, or -1 for the others.
    static int battleBackgroundFor(int backdrop);

private:
    void buildPreviews();
};
