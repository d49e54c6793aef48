// orv-layout-svg: reading the command line.
#include "options.hpp"

#include "usage.hpp"

namespace {

Failure refused(const std::string& why) {
    return {usage_status, why + "\n" + svg_usage + "(více: orv-layout-svg --help)"};
}

}  // namespace

Command read_command(const std::vector<std::string>& args, bool stdin_is_terminal) {
    Command command;
    if (!args.empty() && args[0] == "--help") command.request = Request::help;
    if (!args.empty() && args[0] == "--version") command.request = Request::version;
    if (command.request != Request::draw) return command;

    bool have_file = false;
    for (const std::string& arg : args) {
        if (arg == "--html") {
            command.options.html = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            command.failure = refused("neznámá volba " + arg);
            return command;
        } else if (arg.empty()) {
            command.failure = refused("prázdný název souboru");
            return command;
        } else if (have_file) {
            command.failure = refused("nadbytečný argument " + arg + ": čte se jen jeden výpis");
            return command;
        } else {
            have_file = true;
            command.options.file = arg == "-" ? "" : arg;
        }
    }
    if (!have_file && stdin_is_terminal)
        command.failure =
            refused("chybí výpis: zadejte jeho soubor, nebo ho pošlete na standardní vstup");
    return command;
}
