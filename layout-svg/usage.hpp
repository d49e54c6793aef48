// orv-layout-svg: the answers to "--help" and "--version".
#pragma once

#include <cstring>

inline constexpr const char* svg_help =
    "použití: orv-layout-svg [--help | --version] < VÝPIS > OBRÁZEK.svg\n"
    "\n"
    "Přečte výpis programu orv-layout (řádky \"X Y : NNN\" a \"<TAB>X Y : NNN\") ze\n"
    "standardního vstupu a na standardní výstup zapíše jeden obrázek SVG: mřížku 15 x 19,\n"
    "každý vrchol jako tečku s číslem v jeho poli a každou hranu jako čáru (hrana uvedená\n"
    "jen jedním směrem má šipku). Výpis, který nelze přečíst, odmítne se zprávou, která\n"
    "jmenuje řádek, a návratovým kódem 2; na standardní výstup pak nezapíše nic.\n"
    "Například: orv-layout 2>/dev/null | orv-layout-svg > layout.svg\n"
    "\n"
    "  --help     vypíše tento text\n"
    "  --version  vypíše verzi\n";

// The text that "--help" or "--version" as the first argument asks for; nullptr for any other
// command line, which the program ignores.
inline const char* help_or_version(int argc, char** argv) {
    if (argc < 2) return nullptr;
    if (std::strcmp(argv[1], "--help") == 0) return svg_help;
    if (std::strcmp(argv[1], "--version") == 0) return "orv-layout-svg " ORV_VERSION "\n";
    return nullptr;
}
