// vevuvedu: the answers to "--help" and "--version".
#pragma once

#include <cstring>

inline constexpr const char* cube_help =
    "použití: vevuvedu N   (N je délka hrany krychle, celé číslo od 1 do 1290)\n"
    "       vevuvedu --box AxBxC [--taken SOUBOR]\n"
    "       vevuvedu --shard K/M --out SOUBOR [--split-depth D] [--time-limit SEKUNDY]\n"
    "                [--progress SEKUNDY] (N | --box AxBxC [--taken SOUBOR])\n"
    "       vevuvedu --merge SOUBOR|SLOŽKA...\n"
    "       vevuvedu --verify SLOŽKA_A SLOŽKA_B\n"
    "       vevuvedu --status SLOŽKA\n"
    "       vevuvedu --help | --version\n"
    "\n"
    "Hledá všechna vyplnění krychle N x N x N jednou cestou z přímých úseků, která začíná\n"
    "v rohu (0,0,0) úsekem N - 1 polí podél první osy; každý další úsek je kolmý\n"
    "k předchozímu a dlouhý aspoň 2 pole. Každé nalezené vyplnění vypíše (pro každé x\n"
    "blok N řádků s čísly úseků, pak řádek ---) a nakonec jejich počet. Návratový kód\n"
    "je délka poslední řádky v bajtech; 2 při chybném N, chybné volbě nebo chybném\n"
    "souboru, 3 při příliš velké krychli, 1 když výstup nejde zapsat. N = 5 trvá\n"
    "zlomek sekundy, N = 6 (14 vyplnění) asi 50 minut na dvou jádrech. Hledá\n"
    "v tolika vláknech, kolik má proces procesorů; proměnná prostředí\n"
    "VEVUVEDU_THREADS určí jiný počet (1 až 256).\n"
    "Výstup na počtu vláken nezávisí.\n"
    "\n"
    "  --box AxBxC      prohledá kvádr A x B x C místo krychle: stejný začátek,\n"
    "                   pravidla, výstup i návratový kód\n"
    "  --taken SOUBOR   obsazená pole kvádru, na každém řádku jedno: souřadnice x y z\n"
    "                   (od 0) oddělené mezerami; prázdné řádky a řádky začínající #\n"
    "                   se přeskakují; obsazené pole se vypíše jako -1\n"
    "\n"
    "Práce po dílech (pro dávkové systémy, např. pole úloh Slurm):\n"
    "  --shard K/M      prohledá jen díl K z M (K od 0 do M - 1) a výsledek zapíše\n"
    "                   do souboru --out; /M vezme K z proměnné SLURM_ARRAY_TASK_ID,\n"
    "                   jinak z JOB_COMPLETION_INDEX\n"
    "  --out SOUBOR     soubor výsledku dílu; vznikne, až je díl hotový; hotový díl\n"
    "                   se znovu nepočítá (kód 0)\n"
    "  --split-depth D  hloubka, v níž se strom dělí na události (výchozí 8)\n"
    "  --time-limit S   po S sekundách uloží stav a skončí\n"
    "  --progress S     každých S sekund vypíše řádek o postupu na chybový výstup\n"
    "  --merge ...      z výsledků všech dílů (soubory, nebo složky s *.vvr) vypíše\n"
    "                   přesně to, co vevuvedu N, se stejným kódem\n"
    "  --verify A B     porovná dvě sady výsledků téhož běhu díl po dílu\n"
    "  --status SLOŽKA  z výsledků a kontrolních bodů ve složce řekne, které díly jsou\n"
    "                   hotové, zastavené a nezačaté, kolik volání a vyplnění už mají\n"
    "Díl ukládá stav do SOUBOR.checkpoint po signálu SIGTERM, SIGINT nebo SIGUSR1,\n"
    "po --time-limit a každých 5 minut (proměnná VEVUVEDU_CHECKPOINT_SECONDS určí jinak)\n"
    "a skončí kódem 75; týž příkaz pak pokračuje. Kódy: 0 hotovo, 75 zastaveno,\n"
    "2 chybný příkaz nebo odmítnutý soubor, 1 chyba zápisu, 4 sady se liší.\n"
    "\n"
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
