// vevuvedu: the answers to "--help" and "--version".
#pragma once

#include <cstring>

inline constexpr const char* cube_help =
    "použití: vevuvedu N   (N je délka hrany krychle, celé číslo od 1 do 1290)\n"
    "       vevuvedu --box AxBxC [--taken SOUBOR]\n"
    "       vevuvedu --help | --version\n"
    "\n"
    "Hledá všechna vyplnění krychle N x N x N jednou cestou z přímých úseků, která začíná\n"
    "v rohu (0,0,0) úsekem N - 1 polí podél první osy; každý další úsek je kolmý\n"
    "k předchozímu a dlouhý aspoň 2 pole. Každé nalezené vyplnění vypíše (pro každé x\n"
    "blok N řádků s čísly úseků, pak řádek ---) a nakonec jejich počet. Návratový kód\n"
    "je délka poslední řádky v bajtech; 2 při chybném N, chybné volbě nebo chybném\n"
    "souboru, 3 při příliš velké krychli, 1 když výstup nejde zapsat. N = 5 trvá\n"
    "zlomek sekundy, N = 6 (14 vyplnění) asi 70 minut na dvou jádrech. Hledá\n"
    "v tolika vláknech, kolik má proces procesorů; proměnná prostředí\n"
    "VEVUVEDU_THREADS určí jiný počet (1 až 256).\n"
    "Výstup na počtu vláken nezávisí.\n"
    "\n"
    "  --box AxBxC      prohledá kvádr A x B x C místo krychle: stejný začátek,\n"
    "                   pravidla, výstup i návratový kód\n"
    "  --taken SOUBOR   obsazená pole kvádru, na každém řádku jedno: souřadnice x y z\n"
    "                   (od 0) oddělené mezerami; prázdné řádky a řádky začínající #\n"
    "                   se přeskakují; obsazené pole se vypíše jako -1\n"
    "  --help           vypíše tento text\n"
    "  --version        vypíše verzi\n";

// The text that "--help" or "--version" as the first argument asks for; nullptr for any other
// command line, whose first argument is read as N.
inline const char* help_or_version(int argc, char** argv) {
    if (argc < 2) return nullptr;
    if (std::strcmp(argv[1], "--help") == 0) return cube_help;
    if (std::strcmp(argv[1], "--version") == 0) return "vevuvedu " ORV_VERSION "\n";
    return nullptr;
}
