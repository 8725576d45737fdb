#include "rom/backdrops.h"

#include "image/backdrop_picker.h"
#include "image/builtin_backdrops.h"

namespace {

constexpr int plainBlack = 5;
constexpr int plainBlue = 6;
constexpr int firstBattleBackdrop = 7;
// Battle backgrounds 49 and 50 are not offered: backdrops 56-59 show 51-54.
constexpr int firstLateBackdrop = 56;
constexpr int lateBackgroundShift = 2;
// Previews show the middle of the 256x152 background, the part that is decoded.
constexpr int previewSourceX = 64;
constexpr int previewSourceY = 12;

} // namespace

int Backdrops::battleBackgroundFor(int backdrop)
{
    if (backdrop >= firstLateBackdrop && backdrop < count)
        return backdrop - firstBattleBackdrop + lateBackgroundShift;
    if (backdrop >= firstBattleBackdrop && backdrop < firstLateBackdrop)
        return backdrop - firstBattleBackdrop;
    return -1;
}

void Backdrops::buildPreviews()
{
    for (int n = 0; n < count; ++n)
        backdropPreviews[size_t(n)] = Surface(previewSize, previewSize);
    for (int n = 0; n < builtinBackdropCount; ++n)
        backdropPreviews[size_t(n)] = makeBuiltinBackdrop(n);

    IndexedImage plain;
    plain.Create(previewSize, previewSize);
    plain.Draw(backdropPreviews[plainBlack], nullptr);
    plain.palette[0] = RgbColor(30, 60, 240);
    plain.Draw(backdropPreviews[plainBlue], nullptr);

    for (int n = firstBattleBackdrop; n < count; ++n) {
        const IndexedImage& image = battleBackgrounds.backgrounds[size_t(battleBackgroundFor(n))].image;
        if (image.hasPixels())
            image.DrawMagnified(1, backdropPreviews[size_t(n)], previewSourceX, previewSourceY, nullptr);
    }
}

void Backdrops::ApplyBackdrop(int background, const std::string& romPath, bool copierHeader)
{
    if (!backgroundsLoaded) {
        // A ROM that cannot be opened leaves the game backdrops blank.
        battleBackgrounds.load(romPath, copierHeader);
        buildPreviews();
        backgroundsLoaded = true;
    }
    const Surface& preview = backdropPreviews[BackdropPicker::sanitised(background)];
    smallBackdrop.GrabFromDC(preview, previewSize, previewSize);

    // Doubling visits the small picture's colours in the same order of first
    // appearance, so the large picture's palette is the small one's and every pixel
    // keeps its index.
    if (largeBackdrop.Create(2 * previewSize, 2 * previewSize))
        return;
    largeBackdrop.palette = smallBackdrop.palette;
    largeBackdrop.colorCount = smallBackdrop.colorCount;
    for (int y = 0; y < 2 * previewSize; ++y)
        for (int x = 0; x < 2 * previewSize; ++x)
            largeBackdrop.setPixel(x, y, smallBackdrop.pixel(x / 2, y / 2));
}

void Backdrops::FreeBackdrops()
{
    for (Surface& preview : backdropPreviews)
        preview = Surface();
}
