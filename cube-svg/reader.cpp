// vevuvedu-svg: the reader of vevuvedu's standard output.
#include "reader.hpp"

#include "number.hpp"
#include "path.hpp"

#include <cerrno>
#include <climits>
#include <cstring>
#include <string_view>

namespace {

constexpr std::string_view found_prefix = "Celkový počet nalezených vyplnění je ";
constexpr std::string_view none_found = "Nebylo nalezeno žádné vyplnění.";

// What an empty output most likely means: vevuvedu failed before it printed anything, and its
// message went to its own standard error.
constexpr const char* empty_output =
    "výstup je prázdný: vevuvedu nejspíš skončil chybou dřív, než něco vypsal (například na "
    "chybné N); jeho zpráva je na jeho standardním chybovém výstupu";

// The reader's state between lines.
struct Reader {
    std::string source;
    Box box;                 // a size is 0 while it is not known
    bool box_given = false;  // the sizes come from --box, not from the output's start
    Output output;
    // The filling being read.
    bool in_filling = false;
    int filling_line = 0;  // its first line
    int blocks = 0;        // its finished blocks
    int block_lines = 0;   // lines of the block being read
    std::vector<int32_t> values;
    bool done = false;  // the final line has been read
};

// "FILE, řádek 8: what" for a file, "řádek 8: what" for standard input.
Failure refuse(const Reader& r, long long line, const std::string& what) {
    const std::string where = r.source.empty() ? "" : r.source + ", ";
    return {bad_output_status, where + "řádek " + std::to_string(line) + ": " + what};
}

std::string size_text(const Box& b) {
    return std::to_string(b.nx) + " x " + std::to_string(b.ny) + " x " + std::to_string(b.nz);
}

// Where a size the output breaks comes from: --box, or the first line, block or filling.
std::string source_of_size(const Reader& r, const char* first) {
    if (r.box_given) return " (kvádr " + size_text(r.box) + " z --box)";
    return std::string(" (tolik má ") + first + ")";
}

// Splits a line of numbers, each followed by one blank; nullopt for a line of another form. A
// number is any within 32 bits, as `number_at` reads it.
std::optional<std::vector<int32_t>> split_numbers(std::string_view text) {
    std::vector<int32_t> numbers;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::optional<int64_t> n = number_at(text, at, INT32_MIN, INT32_MAX);
        if (!n || at == text.size() || text[at] != ' ') return std::nullopt;
        numbers.push_back(static_cast<int32_t>(*n));
        ++at;  // the blank
    }
    if (numbers.empty()) return std::nullopt;
    return numbers;
}

// The line of cell `c` of the filling that starts on line `first`.
long long line_of(const Reader& r, int first, Cell c) {
    return first + static_cast<long long>(c.x) * (r.box.ny + 1) + c.y;
}

// The first cell whose being taken differs from the first filling's; nullopt when none does.
std::optional<Cell> taken_difference(const Reader& r) {
    const std::vector<int32_t>& first = r.output.fillings.front().values;
    for (int x = 0; x < r.box.nx; ++x)
        for (int y = 0; y < r.box.ny; ++y)
            for (int z = 0; z < r.box.nz; ++z) {
                const std::size_t i = static_cast<std::size_t>(r.box.index({x, y, z}));
                if ((first[i] == taken_value) != (r.values[i] == taken_value)) return Cell{x, y, z};
            }
    return std::nullopt;
}

// Ends the filling being read at line `line` (the first line after it): its block count, its
// path and its taken cells.
std::optional<Failure> close_filling(Reader& r, int line) {
    if (!r.in_filling) return std::nullopt;
    r.in_filling = false;
    if (r.box.nx == 0) r.box.nx = r.blocks;
    if (r.blocks != r.box.nx)
        return refuse(r, line,
                      "počet bloků vyplnění z řádku " + std::to_string(r.filling_line) + " je " +
                          std::to_string(r.blocks) + " místo " + std::to_string(r.box.nx) +
                          source_of_size(r, "první vyplnění"));
    const PathTrace trace = trace_path(r.box, r.values);
    if (!trace.fault.empty())
        return refuse(r, line_of(r, r.filling_line, *trace.fault_cell), trace.fault);
    if (!r.output.fillings.empty()) {
        if (const std::optional<Cell> c = taken_difference(r)) {
            const bool taken_here =
                r.values[static_cast<std::size_t>(r.box.index(*c))] == taken_value;
            return refuse(r, line_of(r, r.filling_line, *c),
                          "pole " + std::to_string(c->x) + " " + std::to_string(c->y) + " " +
                              std::to_string(c->z) +
                              (taken_here ? " je obsazené (-1)" : " není obsazené") +
                              ", v prvním vyplnění " + (taken_here ? "nebylo" : "bylo"));
        }
    }
    Filling filling;
    filling.values = std::move(r.values);
    filling.path = trace.path;
    filling.segments = trace.segments;
    if (r.output.fillings.empty())
        r.output.taken = r.box.cells() - static_cast<int64_t>(filling.path.size());
    r.output.fillings.push_back(std::move(filling));
    r.values.clear();
    return std::nullopt;
}

// The final line: the count of the fillings, or that there is none.
std::optional<Failure> take_final(Reader& r, int line, std::string_view text) {
    if (r.block_lines > 0) return refuse(r, line, "blok nekončí řádkem ---");
    if (std::optional<Failure> f = close_filling(r, line)) return f;
    r.done = true;
    const std::size_t count = r.output.fillings.size();
    if (text == none_found) {
        if (count == 0) return std::nullopt;
        return refuse(r, line,
                      "výstup má " + std::to_string(count) + " vyplnění, závěrečná řádka žádné");
    }
    // A count of up to 12 digits: more stands for no count vevuvedu could print.
    const std::string_view rest = text.substr(found_prefix.size());
    std::size_t at = 0;
    const std::optional<int64_t> stated = number_at(rest, at, 1, 999999999999);
    if (!stated || rest.substr(at) != ".")
        return refuse(r, line,
                      "závěrečná řádka nemá tvar \"Celkový počet nalezených vyplnění je K.\"");
    if (*stated != static_cast<int64_t>(count))
        return refuse(r, line,
                      "závěrečná řádka uvádí " + std::to_string(*stated) +
                          " vyplnění, výstup jich má " + std::to_string(count));
    return std::nullopt;
}

// The line "---": the end of a block.
std::optional<Failure> take_block_end(Reader& r, int line) {
    if (r.block_lines == 0) return refuse(r, line, "řádek --- bez řádků bloku před ním");
    if (r.box.ny == 0) r.box.ny = r.block_lines;
    if (r.block_lines != r.box.ny)
        return refuse(r, line,
                      "počet řádků bloku je " + std::to_string(r.block_lines) + " místo " +
                          std::to_string(r.box.ny) + source_of_size(r, "první blok"));
    r.block_lines = 0;
    ++r.blocks;
    return std::nullopt;
}

// The first line of a block: the start of a filling (it begins with 1, the start cell) or the
// next block of the filling being read.
std::optional<Failure> start_block(Reader& r, int line, int32_t first) {
    if (first == 1) {
        if (std::optional<Failure> f = close_filling(r, line)) return f;
        r.in_filling = true;
        r.filling_line = line;
        r.blocks = 0;
        return std::nullopt;
    }
    if (!r.in_filling)
        return refuse(r, line,
                      "vyplnění nezačíná číslem 1 (počáteční pole 0 0 0), ale " +
                          std::to_string(first));
    if (r.box.nx != 0 && r.blocks == r.box.nx)
        return refuse(r, line,
                      "počet bloků vyplnění z řádku " + std::to_string(r.filling_line) +
                          " přesahuje " + std::to_string(r.box.nx) +
                          source_of_size(r, "první vyplnění") + "; nové vyplnění začíná číslem 1");
    return std::nullopt;
}

// A line of numbers: one row of a block.
std::optional<Failure> take_row(Reader& r, int line, std::string_view text) {
    const std::optional<std::vector<int32_t>> numbers = split_numbers(text);
    if (!numbers)
        return refuse(r, line,
                      "řádek nemá tvar výstupu vevuvedu (čísla, za každým jedna "
                      "mezera; ---; závěrečná řádka)");
    if (r.box.nz == 0) r.box.nz = static_cast<int>(numbers->size());
    if (numbers->size() != static_cast<std::size_t>(r.box.nz))
        return refuse(r, line,
                      "počet čísel na řádku je " + std::to_string(numbers->size()) + " místo " +
                          std::to_string(r.box.nz) + source_of_size(r, "první řádek"));
    if (r.block_lines == 0) {
        if (std::optional<Failure> f = start_block(r, line, numbers->front())) return f;
    } else if (r.box.ny != 0 && r.block_lines == r.box.ny) {
        return refuse(r, line,
                      "počet řádků bloku přesahuje " + std::to_string(r.box.ny) +
                          source_of_size(r, "první blok") + "; chybí řádek ---");
    }
    ++r.block_lines;
    r.values.insert(r.values.end(), numbers->begin(), numbers->end());
    return std::nullopt;
}

std::optional<Failure> take_line(Reader& r, int line, std::string_view text) {
    if (r.done) return refuse(r, line, "za závěrečnou řádkou už nic být nemá");
    if (text == "---") return take_block_end(r, line);
    if (text == none_found || text.substr(0, found_prefix.size()) == found_prefix)
        return take_final(r, line, text);
    return take_row(r, line, text);
}

}  // namespace

Read<Output> read_output(const std::string& text, const std::string& source,
                         std::optional<Box> given) {
    Read<Output> read;
    Reader r;
    r.source = source;
    if (given) {
        r.box = *given;
        r.box_given = true;
    }
    if (text.empty()) {
        read.failure =
            Failure{bad_output_status, (source.empty() ? "" : source + ": ") + empty_output};
        return read;
    }
    int line = 1;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        if (std::optional<Failure> f =
                take_line(r, line, std::string_view(text).substr(at, end - at))) {
            read.failure = f;
            return read;
        }
        at = end + 1;
        ++line;
    }
    if (!r.done) {
        read.failure =
            refuse(r, line,
                   r.block_lines > 0 ? "výstup končí uprostřed bloku"
                                     : "výstup končí bez závěrečné řádky s počtem vyplnění");
        return read;
    }
    read.value = std::move(r.output);
    read.value.box = r.box;
    return read;
}

Read<Output> read_output_stream(std::FILE* in, const std::string& source,
                                std::optional<Box> given) {
    std::string text;
    char buffer[65536];
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, in);
        text.append(buffer, n);
        if (n == sizeof buffer) continue;
        if (std::ferror(in)) {
            Read<Output> read;
            read.failure =
                Failure{bad_output_status,
                        (source.empty() ? std::string("standardní vstup") : "soubor " + source) +
                            " nelze přečíst: " + std::strerror(errno)};
            return read;
        }
        break;
    }
    return read_output(text, source, given);
}

Read<Output> read_output_file(const std::string& path, std::optional<Box> given) {
    std::FILE* in = std::fopen(path.c_str(), "r");
    if (in == nullptr) {
        Read<Output> read;
        read.failure = Failure{bad_output_status,
                               "soubor " + path + " nelze otevřít: " + std::strerror(errno)};
        return read;
    }
    Read<Output> read = read_output_stream(in, path, given);
    std::fclose(in);
    return read;
}
