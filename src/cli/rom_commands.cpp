// info, dump and export: reading pictures out of a ROM.
#include <filesystem>
#include <iostream>

#include "cli/command_support.h"
#include "cli/picture_dump.h"
#include "cli/safe_file_name.h"
#include "image/file_extension.h"
#include "image/write_image_file.h"
#include "rom/backdrops.h"
#include "rom/entry_names.h"
#include "rom/export_pictures.h"
#include "rom/rom_file.h"
#include "rom/rom_state.h"
#include "rom/sprite_sheet.h"

namespace commands {

namespace {

const char* headerName(CopierHeader header)
{
    switch (header) {
    case CopierHeader::Headered: return "headered";
    case CopierHeader::Unheadered: return "unheadered";
    case CopierHeader::Unrecognised: return "unrecognised";
    }
    return "unrecognised";
}

bool loadFor(GameData& data, PictureKind kind)
{
    switch (kind) {
    case PictureKind::Monster:
    case PictureKind::Esper:
    case PictureKind::Entry: return data.loadMonsters();
    case PictureKind::Portrait: return data.loadPortraits();
    case PictureKind::Character: return data.loadCharacters();
    case PictureKind::Backdrop: return true;
    }
    return false;
}

void dumpMonster(std::ostream& out, MonsterSet& set, int entryIndex)
{
    const MonsterGraphic& entry = set.graphic(entryIndex);
    out << " entry=" << entryIndex << " slot=" << entry.slotIndex << " palette=" << entry.paletteIndex
        << " colors=" << int(entry.colourCount) << " large=" << (entry.isLarge ? 1 : 0) << " mold=" << entry.moldIndex
        << " name=" << entry.name << '\n';
    writeIndexedDump(out, entry.image, entry.colourCount);
}

// The picture `export` writes for a kind and index, as the editor's Export does.
IndexedImage exportedPicture(GameData& data, PictureKind kind, int index)
{
    switch (kind) {
    case PictureKind::Monster:
    case PictureKind::Esper:
    case PictureKind::Entry: return monsterExportPicture(data.monsters().graphic(monsterEntryFor(kind, index)));
    case PictureKind::Portrait: return portraitPicture(data.portraits(), index);
    case PictureKind::Character: return composeSpriteSheet(data.characters(), index);
    case PictureKind::Backdrop: break;
    }
    return IndexedImage();
}

bool writePicture(const IndexedImage& picture, const std::string& file)
{
    return !WriteImageFile(picture, file, picture.width, picture.height);
}

} // namespace

int info(const RomArguments& rom)
{
    RomFile file;
    if (!file.open(rom.romPath, true))
        return failure(loadErrorMessage);
    const CopierHeader detected = detectCopierHeader(file);
    const int64_t size = file.size();
    file.close();
    if (!openRom(rom))
        return exitFailure;
    GameData data;
    if (!data.loadMonsters())
        return failure(loadErrorMessage);
    const MonsterSet& set = data.monsters();
    std::cout << "header: " << headerName(detected) << '\n'
              << "size: " << size << '\n'
              << "slots: " << set.slotCount() << '\n'
              << "free space: " << set.freeSpace() << '\n'
              << "small molds: " << set.smallMoldCount() << '\n'
              << "large molds: " << set.largeMoldCount() << '\n';
    return exitSuccess;
}

int dump(const RomArguments& rom, const std::string& kindName, int index)
{
    const KindInfo* kind = checkedKind(kindName, index, true);
    if (!kind)
        return exitUsage;
    if (!openRom(rom))
        return exitFailure;
    GameData data;
    if (!loadFor(data, kind->kind))
        return failure(loadErrorMessage);

    std::cout << "meta kind=" << kind->name << " index=" << index;
    switch (kind->kind) {
    case PictureKind::Monster:
    case PictureKind::Esper:
    case PictureKind::Entry: dumpMonster(std::cout, data.monsters(), monsterEntryFor(kind->kind, index)); break;
    case PictureKind::Portrait:
        std::cout << " palette=" << int(data.portraits().portrait(index).paletteIndex) << '\n';
        writeIndexedDump(std::cout, portraitPicture(data.portraits(), index), 16);
        break;
    case PictureKind::Character:
        std::cout << " palette=" << int(data.characters().characters[size_t(index)].paletteIndex) << '\n';
        writeIndexedDump(std::cout, composeSpriteSheet(data.characters(), index), 16);
        break;
    case PictureKind::Backdrop: {
        std::cout << '\n';
        Backdrops backdrops;
        backdrops.ApplyBackdrop(index, romState.romPath, romState.hasCopierHeader);
        writeRgbDump(std::cout, backdrops.backdropPreviews[size_t(index)]);
        break;
    }
    }
    return exitSuccess;
}

int exportPicture(const RomArguments& rom, const std::string& kindName, int index, const std::string& file)
{
    const KindInfo* kind = checkedKind(kindName, index, false);
    if (!kind)
        return exitUsage;
    const bool rawPair = kind->kind == PictureKind::Portrait && endsWithBin(file);
    if (!rawPair && !hasImageFileExtension(file))
        return badUsage("FILE: '" + file + "' does not end in .png, .bmp or .pcx" +
                        (kind->kind == PictureKind::Portrait ? " (or .bin)" : ""));
    if (!openRom(rom))
        return exitFailure;
    GameData data;
    if (!loadFor(data, kind->kind))
        return failure(loadErrorMessage);
    if (rawPair) {
        const OperationResult result = data.portraits().exportRaw(index, file);
        return result.ok ? exitSuccess : failure(result.message);
    }
    if (!writePicture(exportedPicture(data, kind->kind, index), file))
        return failure("Error writing " + file);
    return exitSuccess;
}

int exportAll(const RomArguments& rom, const std::string& folder)
{
    if (!openRom(rom))
        return exitFailure;
    GameData data;
    if (!data.loadMonsters() || !data.loadPortraits() || !data.loadCharacters())
        return failure(loadErrorMessage);

    struct Group {
        PictureKind kind;
        const char* folder;
        const char* label;
        int count;
    };
    const Group groups[] = {
        {PictureKind::Monster, "monsters", "monsters", MonsterSet::monsterCount},
        {PictureKind::Esper, "espers", "espers", MonsterSet::esperCount},
        {PictureKind::Portrait, "portraits", "portraits", PortraitSet::portraitCount},
        {PictureKind::Character, "characters", "characters", CharacterSpriteSet::characterCount},
    };
    for (const Group& group : groups) {
        const std::filesystem::path target = std::filesystem::path(folder) / group.folder;
        std::error_code error;
        std::filesystem::create_directories(target, error);
        if (error)
            return failure("Cannot create " + target.string() + ": " + error.message());
        int written = 0;
        for (int i = 0; i < group.count; ++i) {
            std::string name;
            switch (group.kind) {
            case PictureKind::Monster:
            case PictureKind::Esper: name = data.monsters().graphic(monsterEntryFor(group.kind, i)).name; break;
            case PictureKind::Portrait: name = portraitNames[size_t(i)]; break;
            default: name = characterNames[size_t(i)]; break;
            }
            const std::string path = (target / exportFileName(i, name, ".png")).string();
            if (!writePicture(exportedPicture(data, group.kind, i), path))
                return failure("Error writing " + path);
            ++written;
        }
        std::cout << group.label << ": " << written << '\n';
    }
    return exitSuccess;
}

} // namespace commands
