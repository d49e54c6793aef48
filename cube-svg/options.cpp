// vevuvedu-svg: reading the command line.
#include "options.hpp"

#include "usage.hpp"

#include <cstdint>

namespace {

Failure refused(const std::string& why) {
    return {usage_status, why + "\n" + svg_usage + "(více: vevuvedu-svg --help)"};
}

// One edge length: 1 to 10 digits, not starting with 0, at most INT32_MAX; -1 otherwise.
int64_t read_edge(std::string_view text) {
    if (text.empty() || text.size() > 10 || text[0] == '0') return -1;
    int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value <= INT32_MAX ? value : -1;
}

}  // namespace

std::optional<Box> read_box(std::string_view text) {
    const std::size_t first = text.find('x');
    if (first == std::string_view::npos) return std::nullopt;
    const std::size_t second = text.find('x', first + 1);
    if (second == std::string_view::npos) return std::nullopt;
    const int64_t a = read_edge(text.substr(0, first));
    const int64_t b = read_edge(text.substr(first + 1, second - first - 1));
    const int64_t c = read_edge(text.substr(second + 1));
    if (a < 1 || b < 1 || c < 1 || a * b > INT32_MAX || a * b * c > INT32_MAX) return std::nullopt;
    return Box{static_cast<int>(a), static_cast<int>(b), static_cast<int>(c)};
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
