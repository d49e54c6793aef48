// orv-layout-svg: the texts of "--help" and of a command line that is refused.
#pragma once

// The short form, shown with every refused command line.
inline constexpr const char* svg_usage = "použití: orv-layout-svg [--html] [VÝPIS] > OBRÁZEK\n"
                                         "        orv-layout-svg --help | --version\n";

inline constexpr const char* svg_help =
    "použití: orv-layout-svg [--html] [VÝPIS] > OBRÁZEK\n"
    "        orv-layout-svg --help | --version\n"
    "\n"
    "Přečte výpis programu orv-layout (řádky \"X Y : NNN\" a \"<TAB>X Y : NNN\") ze souboru\n"
    "VÝPIS, bez něj nebo s \"-\" ze standardního vstupu, a na standardní výstup zapíše jeden\n"
    "obrázek SVG: mřížku 15 x 19, každý vrchol jako tečku s číslem v jeho poli (vrchol 1\n"
    "vyznačený) a každou hranu jako čáru nebo mírný oblouk, který obchází cizí tečky. Hrana\n"
    "uvedená jen jedním směrem je tenčí, průsvitná a má malou šipku; barva hrany říká její\n"
    "délku. Popisek pod mřížkou uvádí počty vrcholů, hran a smyček a celkovou délku hran.\n"
    "Výpis, který nelze přečíst, odmítne se zprávou, která jmenuje řádek, a návratovým kódem 2;\n"
    "na standardní výstup pak nezapíše nic. Bez souboru, když je standardní vstup terminál,\n"
    "jen vypíše použití (kód 2).\n"
    "Například: orv-layout 2>/dev/null | orv-layout-svg > layout.svg\n"
    "\n"
    "  --html     místo obrázku zapíše samostatnou stránku HTML s obrázkem: ukázání na vrchol\n"
    "             zvýrazní jeho hrany a sousedy, posuvník ukáže jen dlouhé hrany\n"
    "  --help     vypíše tento text\n"
    "  --version  vypíše verzi\n";
