// orv-layout: the answers to "--help" and "--version".
#pragma once

#include <cstring>

inline constexpr const char* layout_help =
    "použití: orv-layout [--help | --version]\n"
    "\n"
    "Rozmístí 285 vrcholů grafu ze souboru orv-graph v pracovním adresáři na mřížku\n"
    "15 x 19 polí a vypíše každý vrchol s jeho polem a poli jeho sousedů (řádky\n"
    "\"X Y : NNN\" a \"<TAB>X Y : NNN\") na standardní výstup. Stopa hloubek a součty\n"
    "průchodů jdou na standardní chybový výstup; návratový kód je počet průchodů,\n"
    "které něco vyměnily (255 při chybě, se zprávou \"orv-layout: ...\").\n"
    "Soubor orv-graph: řádek s číslem vrcholu začíná jeho seznam, každý další řádek\n"
    "začínající tabulátorem nese jednoho souseda. Obrázek rozmístění:\n"
    "orv-layout 2>/dev/null | orv-layout-svg > layout.svg\n"
    "\n"
    "  --help     vypíše tento text\n"
    "  --version  vypíše verzi\n";

// The text that "--help" or "--version" as the first argument asks for; nullptr for any other
// command line, which the program ignores.
inline const char* help_or_version(int argc, char** argv) {
    if (argc < 2) return nullptr;
    if (std::strcmp(argv[1], "--help") == 0) return layout_help;
    if (std::strcmp(argv[1], "--version") == 0) return "orv-layout " ORV_VERSION "\n";
    return nullptr;
}
