// vevuvedu-svg: the texts of "--help" and of a command line that is refused.
#pragma once

// The short form, shown with every refused command line.
inline constexpr const char* svg_usage =
    "použití: vevuvedu-svg [--html] [--box AxBxC] [VÝSTUP] > OBRÁZEK\n"
    "        vevuvedu-svg --help | --version\n";

inline constexpr const char* svg_help =
    "použití: vevuvedu-svg [--html] [--box AxBxC] [VÝSTUP] > OBRÁZEK\n"
    "        vevuvedu-svg --help | --version\n"
    "\n"
    "Přečte výstup programu vevuvedu (vyplnění jako bloky řádků s čísly úseků, každý blok\n"
    "ukončený řádkem ---, a závěrečnou řádku s počtem) ze souboru VÝSTUP, bez něj nebo s \"-\"\n"
    "ze standardního vstupu, a na standardní výstup zapíše jeden obrázek SVG se všemi\n"
    "vyplněními. Každé vyplnění má popisek (pořadí, počet úseků, kvádr), vrstvy kvádru vedle\n"
    "sebe (jedna mřížka pro každé x, pole s čísly úseků obarvená podél cesty od začátku ke\n"
    "konci, začátek a konec vyznačené, obsazená pole šedá s křížkem) a prostorový pohled na\n"
    "cestu jako trubku, úseky obarvené popořadě. Rozměry kvádru vyčte z výstupu; --box je\n"
    "zadá a výstup jim pak musí odpovídat. Výstup, který nelze přečíst, nebo vyplnění, které\n"
    "není jedna cesta podle pravidel vevuvedu, odmítne se zprávou, která jmenuje řádek, a\n"
    "návratovým kódem 2; na standardní výstup pak nezapíše nic. Bez souboru, když je\n"
    "standardní vstup terminál, jen vypíše použití (kód 2).\n"
    "Například: vevuvedu 5 | vevuvedu-svg > krychle.svg\n"
    "\n"
    "  --html         místo obrázku zapíše samostatnou stránku HTML: jedno vyplnění v prostoru,\n"
    "                 otáčí se tažením myší, cesta se prochází po úsecích tlačítky nebo\n"
    "                 šipkami, vyplnění se vybírá v nabídce, vrstvy jsou pod ním\n"
    "  --box AxBxC    rozměry kvádru, jak je dostal vevuvedu (bez nich se vyčtou z výstupu)\n"
    "  --help         vypíše tento text\n"
    "  --version      vypíše verzi\n";
