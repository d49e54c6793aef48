// vevuvedu: the size of a box and the file of its taken cells.
#include "box.hpp"

#include "files.hpp"
#include "number.hpp"

#include <cerrno>
#include <cstdio>
#include <limits>

namespace {

// Reads the decimal number at the start of `text` (digits only, leading zeros allowed) into
// `value`, no more than `limit`; returns how many characters it took, 0 when there is no number
// or it is too large.
std::size_t read_number(std::string_view text, int64_t limit, int64_t& value) {
    const Number<int64_t> n = number_at(text, 0, limit);
    value = n.value;
    return n.fault == NumberFault::none ? n.length : 0;
}

std::string quoted(std::string_view text) { return "„" + std::string(text) + "“"; }

bool blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

}  // namespace

Read<BoxSize> read_box_size(std::string_view text) {
    const int64_t most = std::numeric_limits<int32_t>::max();
    int64_t edge[3] = {0, 0, 0};
    std::string_view rest = text;
    bool good = true;
    for (int axis = 0; axis < 3 && good; ++axis) {
        if (axis > 0) {
            good = !rest.empty() && rest[0] == 'x';
            if (good) rest.remove_prefix(1);
        }
        const std::size_t used = good ? read_number(rest, most, edge[axis]) : 0;
        good = used > 0 && edge[axis] >= 1;
        rest.remove_prefix(used);
    }
    if (!good || !rest.empty())
        return {{},
                Failure{2, "rozměry kvádru " + quoted(text) +
                               " nejsou tvaru AxBxC (tři celá čísla od 1, například 4x5x6)"}};
    if (edge[0] * edge[1] > most || edge[0] * edge[1] * edge[2] > most)
        return {{},
                Failure{2, "kvádr " + quoted(text) +
                               " má víc polí, než kolik program spočítá (nejvýš 2147483647)"}};
    return {{static_cast<int32_t>(edge[0]), static_cast<int32_t>(edge[1]),
             static_cast<int32_t>(edge[2])},
            std::nullopt};
}

std::optional<Failure> read_taken(std::string_view text, const std::string& name, Cube& k) {
    const int32_t edges[3] = {k.nx, k.ny, k.nz};
    int64_t line_number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++line_number;
        auto refuse = [&](const std::string& what) {
            return Failure{2, "soubor obsazených polí " + quoted(name) + ", řádek " +
                                  std::to_string(line_number) + ": " + what};
        };
        std::size_t at = 0;
        while (at < line.size() && blank(line[at]))
            ++at;
        if (at == line.size() || line[at] == '#') continue;
        int64_t c[3];
        for (int axis = 0; axis < 3; ++axis) {
            const std::size_t start = at;
            while (at < line.size() && blank(line[at]))
                ++at;
            if (axis > 0 && at == start) return refuse("souřadnice nejsou odděleny mezerou");
            const std::size_t used =
                read_number(line.substr(at), std::numeric_limits<int32_t>::max(), c[axis]);
            if (used == 0)
                return refuse("očekávají se tři souřadnice x y z, celá čísla od 0 (" +
                              quoted(line.substr(0, 40)) + ")");
            at += used;
            if (c[axis] >= edges[axis])
                return refuse("pole leží mimo kvádr " + std::to_string(k.nx) + "x" +
                              std::to_string(k.ny) + "x" + std::to_string(k.nz));
        }
        while (at < line.size() && blank(line[at]))
            ++at;
        if (at != line.size()) return refuse("za třemi souřadnicemi následuje další text");
        const int32_t x = static_cast<int32_t>(c[0]), y = static_cast<int32_t>(c[1]),
                      z = static_cast<int32_t>(c[2]);
        if (x == 0 && y == 0 && z == 0) return refuse("pole (0,0,0) je začátek cesty");
        if (k.at(x, y, z) != 0) return refuse("pole je uvedeno podruhé");
        k.at(x, y, z) = taken_cell;
    }
    return std::nullopt;
}

std::optional<Failure> load_taken(const std::string& path, Cube& kostka) {
    std::string text;
    if (!read_file(path, text))
        return failure_of(2, "soubor obsazených polí " + quoted(path) + " nejde přečíst", errno,
                          "chyba čtení");
    return read_taken(text, path, kostka);
}
