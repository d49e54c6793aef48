// vevuvedu-svg: reading the command line.
#include "options.hpp"

#include "number.hpp"
#include "usage.hpp"

#include <cstdint>

namespace {

Failure refused(const std::string& why) {
    return {usage_status, why + "\n" + svg_usage + "(více: vevuvedu-svg --help)"};
}

}  // namespace

std::optional<Box> read_box(std::string_view text) {
    std::size_t at = 0;
    int64_t edge[3] = {0, 0, 0};
    for (int axis = 0; axis < 3; ++axis) {
        if (axis > 0 && (at == text.size() || text[at++] != 'x')) return std::nullopt;
        const std::optional<int64_t> e = number_at(text, at, 1, INT32_MAX);
        if (!e) return std::nullopt;
        edge[axis] = *e;
    }
    if (at != text.size() || edge[0] * edge[1] > INT32_MAX ||
        edge[0] * edge[1] * edge[2] > INT32_MAX)
        return std::nullopt;
    return Box{static_cast<int>(edge[0]), static_cast<int>(edge[1]), static_cast<int>(edge[2])};
}

Command read_command(const std::vector<std::string>& args, bool stdin_is_terminal) {
    Command command;
    if (!args.empty() && args[0] == "--help") command.request = Request::help;
    if (!args.empty() && args[0] == "--version") command.request = Request::version;
    if (command.request != Request::draw) return command;

    bool have_file = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--html") {
            command.options.html = true;
        } else if (arg == "--box") {
            if (i + 1 == args.size()) {
                command.failure = refused("volba --box potřebuje rozměry AxBxC");
                return command;
            }
            command.options.box = read_box(args[++i]);
            if (!command.options.box) {
                command.failure = refused("chybné rozměry kvádru " + args[i] +
                                          " (AxBxC, celá čísla od 1, nejvýš 2147483647 polí)");
                return command;
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            command.failure = refused("neznámá volba " + arg);
            return command;
        } else if (arg.empty()) {
            command.failure = refused("prázdný název souboru");
            return command;
        } else if (have_file) {
            command.failure = refused("nadbytečný argument " + arg + ": čte se jen jeden výstup");
            return command;
        } else {
            have_file = true;
            command.options.file = arg == "-" ? "" : arg;
        }
    }
    if (!have_file && stdin_is_terminal)
        command.failure = refused(
            "chybí výstup vevuvedu: zadejte jeho soubor, nebo ho pošlete na standardní vstup");
    return command;
}
