// rum-sim: the answers to "--help" and "--version".
#pragma once

#include <cstring>

inline constexpr const char* rum_help =
    "použití: rum-sim [--help | --version]\n"
    "\n"
    "Spustí pevný výpočet v jednoduché přesnosti, který sleduje hladinu rumu: hladinu\n"
    "v každém z 15 vnitřních kroků píše na standardní chybový výstup a oba výsledky\n"
    "(\"V tuzemáčku je: ...\" a \"V rumu máme: ...\") na standardní výstup. Nic nečte.\n"
    "\n"
    "  --help     vypíše tento text\n"
    "  --version  vypíše verzi\n";

// The text that "--help" or "--version" as the first argument asks for; nullptr for any other
// command line, which the program ignores.
inline const char* help_or_version(int argc, char** argv) {
    if (argc < 2) return nullptr;
    if (std::strcmp(argv[1], "--help") == 0) return rum_help;
    if (std::strcmp(argv[1], "--version") == 0) return "rum-sim " ORV_VERSION "\n";
    return nullptr;
}
