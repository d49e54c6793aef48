// orv-layout: the command line, and the answers to "--help" and "--version".
#pragma once

#include "failure.hpp"

#include <cstring>
#include <optional>
#include <string>

inline constexpr const char* layout_usage = "použití: orv-layout [SOUBOR | -]";  // as refusals end

inline constexpr const char* layout_help =
    "použití: orv-layout [SOUBOR | -]\n"
    "        orv-layout --help | --version\n"
    "\n"
    "Rozmístí 285 vrcholů grafu ze souboru SOUBOR (bez něj ze souboru orv-graph\n"
    "v pracovním adresáři, - je standardní vstup) na mřížku 15 x 19 polí a vypíše\n"
    "každý vrchol s jeho polem a poli jeho sousedů (řádky \"X Y : NNN\" a\n"
    "\"<TAB>X Y : NNN\") na standardní výstup. Stopa hloubek a součty průchodů jdou\n"
    "na standardní chybový výstup; návratový kód je počet průchodů, které něco\n"
    "vyměnily (255 při chybě, se zprávou \"orv-layout: ...\").\n"
    "Soubor grafu: řádek s číslem vrcholu začíná jeho seznam, každý další řádek\n"
    "začínající tabulátorem nese jednoho souseda. Obrázek rozmístění:\n"
    "orv-layout 2>/dev/null | orv-layout-svg > layout.svg\n"
    "\n"
    "  --help     vypíše tento text\n"
    "  --version  vypíše verzi\n";

// What the command line asks for: an answer to print, a refusal, or a run on `graph`.
struct CommandLine {
    const char* answer = nullptr;            // the text of --help or --version
    std::string graph = "orv-graph";         // the graph file; "-" is standard input
    std::optional<layout::Failure> failure;  // a refused command line: why, and the usage
};

// A command line refused because of `why`.
inline layout::Failure refused_command(const std::string& why) {
    return {layout::error_status, why + "\n" + layout_usage};
}

// "--help" or "--version" answers (the rest of the command line is then ignored); the first
// unknown option or second FILE refuses it; "--" ends the options, so a file whose name starts with
// "-" can be named behind it.
inline CommandLine read_command_line(int argc, char** argv) {
    CommandLine line;
    bool options = true;
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (options && std::strcmp(arg, "--help") == 0) return {layout_help, line.graph, {}};
        if (options && std::strcmp(arg, "--version") == 0)
            return {"orv-layout " ORV_VERSION "\n", line.graph, {}};
        if (options && std::strcmp(arg, "--") == 0) {
            options = false;
        } else if (options && arg[0] == '-' && arg[1] != '\0') {
            line.failure = refused_command(std::string("neznámá volba ") + arg);
            return line;
        } else if (++files > 1) {
            line.failure = refused_command(std::string("nadbytečný argument ") + arg);
            return line;
        } else {
            line.graph = arg;
        }
    }
    return line;
}
