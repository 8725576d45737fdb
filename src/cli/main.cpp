// quillfern-cli: the Quillfern core from the command line.
#include <CLI/CLI.hpp>

#include <iostream>
#include <map>

#include "cli/commands.h"

namespace {

const std::map<std::string, HeaderChoice> headerChoices = {
    {"auto", HeaderChoice::Auto}, {"yes", HeaderChoice::Yes}, {"no", HeaderChoice::No}};

void addRomArguments(CLI::App* command, commands::RomArguments& rom)
{
    command->add_option("ROM", rom.romPath, "the .smc file")->required();
    command
        ->add_option_function<std::string>(
            "--header", [&rom](const std::string& choice) { rom.header = headerChoices.at(choice); },
            "copier header: auto (by the header test; an unrecognised file is refused), yes or no")
        ->check(CLI::IsMember({"auto", "yes", "no"}))
        ->default_str("auto");
}

const char* kindHelp = "monster (0-383), esper (0-26), entry (0-414), portrait (0-18), character (0-21)";

} // namespace

int main(int argc, char** argv)
{
    CLI::App app{"quillfern-cli: read, export and import the graphics of a Final Fantasy III ROM (.smc).\n"
                 "Exit codes: 0 success, 1 refused or failed (message on stderr), 2 bad usage."};
    app.require_subcommand(1);

    commands::RomArguments rom;
    std::string kind;
    int index = 0;
    std::string file;
    std::string folder;
    std::string output;
    int maxColors = 256;
    int maxWidth = 4096;
    int maxHeight = 4096;

    CLI::App* info = app.add_subcommand("info", "header, file size, slots, free space and mold counts");
    addRomArguments(info, rom);

    CLI::App* dump = app.add_subcommand("dump", "print a decoded picture as text");
    addRomArguments(dump, rom);
    dump->add_option("KIND", kind, std::string(kindHelp) + ", backdrop (0-59)")->required();
    dump->add_option("INDEX", index, "which picture of that kind")->required();

    CLI::App* exportOne = app.add_subcommand("export", "write a picture as the editor's Export does");
    addRomArguments(exportOne, rom);
    exportOne->add_option("KIND", kind, kindHelp)->required();
    exportOne->add_option("INDEX", index, "which picture of that kind")->required();
    exportOne->add_option("FILE", file, ".png, .bmp or .pcx; for portraits also .bin (with a .pal beside it)")
        ->required();

    CLI::App* exportAll = app.add_subcommand("export-all", "every monster, esper, portrait and character as PNG");
    addRomArguments(exportAll, rom);
    exportAll->add_option("DIR", folder, "folder that receives monsters/, espers/, portraits/, characters/")
        ->required();

    CLI::App* importOne = app.add_subcommand("import", "import a picture as the editor does and save into the ROM");
    addRomArguments(importOne, rom);
    importOne->add_option("KIND", kind, kindHelp)->required();
    importOne->add_option("INDEX", index, "which picture of that kind")->required();
    importOne->add_option("FILE", file, ".png, .bmp or .pcx; for portraits also the .bin/.pal pair")->required();

    CLI::App* imageInfo = app.add_subcommand("image-info", "read a picture file and print what was read");
    imageInfo->add_option("FILE", file, "the picture")->required();
    imageInfo->add_option("--max-colors", maxColors, "colour limit")->default_val(256);
    imageInfo->add_option("--max-width", maxWidth, "width limit")->default_val(4096);
    imageInfo->add_option("--max-height", maxHeight, "height limit")->default_val(4096);

    CLI::App* convert = app.add_subcommand("convert", "read a picture (16 colours at most) and write it by OUT's extension");
    convert->add_option("IN", file, "the picture to read")->required();
    convert->add_option("OUT", output, ".png, .bmp or .pcx")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::CallForAllHelp& help) {
        return app.exit(help);
    } catch (const CLI::ParseError& error) {
        app.exit(error);
        return 2;
    }

    if (info->parsed())
        return commands::info(rom);
    if (dump->parsed())
        return commands::dump(rom, kind, index);
    if (exportOne->parsed())
        return commands::exportPicture(rom, kind, index, file);
    if (exportAll->parsed())
        return commands::exportAll(rom, folder);
    if (importOne->parsed())
        return commands::importPicture(rom, kind, index, file);
    if (imageInfo->parsed())
        return commands::imageInfo(file, maxColors, maxWidth, maxHeight);
    if (convert->parsed())
        return commands::convert(file, output);
    return 2;
}
