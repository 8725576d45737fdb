// import, image-info and convert: bringing pictures in.
#include <iostream>

#include "cli/command_support.h"
#include "cli/picture_dump.h"
#include "image/import_message.h"
#include "image/load_image_file.h"
#include "image/file_extension.h"
#include "image/write_image_file.h"
#include "rom/monster_save_sequence.h"
#include "rom/rom_state.h"

namespace commands {

namespace {

// What each page accepts for import: 16 colours, and its largest picture.
constexpr int importColours = 16;
constexpr int monsterSide = 128;
constexpr int portraitSide = 40;
constexpr int sheetSide = 128;
constexpr int convertColours = 16;
constexpr int convertSide = 4096;

const char* resultName(ImageFileResult result)
{
    switch (result) {
    case ImageFileResult::Ok: return "Ok";
    case ImageFileResult::TooManyColors: return "TooManyColors";
    case ImageFileResult::TooLarge: return "TooLarge";
    case ImageFileResult::CannotOpen: return "CannotOpen";
    case ImageFileResult::NotAnImage: return "NotAnImage";
    }
    return "NotAnImage";
}

// Loads a picture with a page's limits; prints the page's message when refused.
bool loadForImport(IndexedImage& picture, const std::string& file, int side)
{
    const ImageFileResult result = LoadImageFile(picture, file, importColours, side, side);
    if (result == ImageFileResult::Ok)
        return true;
    failure(importFailureMessage(result, side, side));
    return false;
}

int importMonster(GameData& data, int entryIndex, const std::string& file)
{
    IndexedImage picture;
    if (!loadForImport(picture, file, monsterSide))
        return exitFailure;
    MonsterGraphic& entry = data.monsters().graphic(entryIndex);
    if (!entry.importImage(picture))
        return failure(importFailureMessage(ImageFileResult::TooLarge, monsterSide, monsterSide));
    entry.updateMold();
    entry.encode();
    const OperationResult saved = saveMonsterSetToRom(data.monsters(), entryIndex, romState.romPath);
    return saved.ok ? exitSuccess : failure(saved.message);
}

int importPortrait(GameData& data, int index, const std::string& file)
{
    PortraitSet& set = data.portraits();
    if (endsWithBin(file)) {
        const OperationResult imported = set.importRaw(index, file);
        if (!imported.ok)
            return failure(imported.message);
    } else {
        IndexedImage picture;
        if (!loadForImport(picture, file, portraitSide))
            return exitFailure;
        if (!set.importImage(index, picture))
            return failure(importFailureMessage(ImageFileResult::TooLarge, portraitSide, portraitSide));
    }
    const OperationResult saved = set.save(romState.romPath);
    return saved.ok ? exitSuccess : failure(saved.message);
}

int importCharacter(GameData& data, int index, const std::string& file)
{
    IndexedImage sheet;
    if (!loadForImport(sheet, file, sheetSide))
        return exitFailure;
    data.characters().importImage(index, sheet);
    const OperationResult saved = data.characters().save(romState.romPath);
    return saved.ok ? exitSuccess : failure(saved.message);
}

} // namespace

int importPicture(const RomArguments& rom, const std::string& kindName, int index, const std::string& file)
{
    const KindInfo* kind = checkedKind(kindName, index, false);
    if (!kind)
        return exitUsage;
    if (!openRom(rom))
        return exitFailure;
    GameData data;
    switch (kind->kind) {
    case PictureKind::Monster:
    case PictureKind::Esper:
    case PictureKind::Entry:
        if (!data.loadMonsters())
            return failure(loadErrorMessage);
        return importMonster(data, monsterEntryFor(kind->kind, index), file);
    case PictureKind::Portrait:
        if (!data.loadPortraits())
            return failure(loadErrorMessage);
        return importPortrait(data, index, file);
    case PictureKind::Character:
        if (!data.loadCharacters())
            return failure(loadErrorMessage);
        return importCharacter(data, index, file);
    case PictureKind::Backdrop: break;
    }
    return exitUsage;
}

int imageInfo(const std::string& file, int maxColors, int maxWidth, int maxHeight)
{
    IndexedImage picture;
    const ImageFileResult result = LoadImageFile(picture, file, maxColors, maxWidth, maxHeight);
    std::cout << "result " << resultName(result) << '\n';
    if (result != ImageFileResult::Ok)
        return exitFailure;
    writeIndexedDump(std::cout, picture, picture.colorCount);
    return exitSuccess;
}

int convert(const std::string& input, const std::string& output)
{
    if (!hasImageFileExtension(output))
        return badUsage("OUT: '" + output + "' does not end in .png, .bmp or .pcx");
    IndexedImage picture;
    const ImageFileResult result = LoadImageFile(picture, input, convertColours, convertSide, convertSide);
    if (result != ImageFileResult::Ok)
        return failure(importFailureMessage(result, convertSide, convertSide));
    if (WriteImageFile(picture, output, picture.width, picture.height))
        return failure("Error writing " + output);
    return exitSuccess;
}

} // namespace commands
