// orv-editor: the answers to "--help" and "--version".
#pragma once

#include <cstring>

inline constexpr const char* editor_help =
    "použití: orv-editor [--help | --version]\n"
    "\n"
    "Interaktivní editor sítě otázek číslovaných přesnými zlomky (například 3/4).\n"
    "Dialog čte ze standardního vstupu a píše na standardní výstup; nečte žádné soubory.\n"
    "Zadané číslo definované otázky ji vypíše a nabídne její úpravu (A = ano), číslo nové\n"
    "otázky ji rovnou definuje a číslo, které žádnou otázku nemá, program ukončí (status 10).\n"
    "\n"
    "  --help     vypíše tento text\n"
    "  --version  vypíše verzi\n";

// The text that "--help" or "--version" as the first argument asks for; nullptr for any other
// command line, which the program ignores.
inline const char* help_or_version(int argc, char** argv) {
    if (argc < 2) return nullptr;
    if (std::strcmp(argv[1], "--help") == 0) return editor_help;
    if (std::strcmp(argv[1], "--version") == 0) return "orv-editor " ORV_VERSION "\n";
    return nullptr;
}
