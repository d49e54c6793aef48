// orv-layout-svg: the reader of an orv-layout listing.
#include "listing.hpp"

#include <cerrno>
#include <cstring>
#include <string>

namespace {

// The longest line the reader takes; a listing line has at most 12 characters ("\t14 18 : 285").
constexpr std::size_t max_line_length = 40;

// The numbers of one line, before their ranges are checked.
struct Line {
    bool neighbour = false;  // the line begins with a tab
    int x = 0, y = 0, number = 0;
};

// A neighbour line whose cell is checked once every vertex has its own line.
struct CellClaim {
    int line = 0;
    int vertex = 0;
    Cell cell;
};

std::string three_digits(int number) {
    char text[16];
    std::snprintf(text, sizeof text, "%03d", number);
    return text;
}

// "FILE, řádek 8: what" for a file, "řádek 8: what" for standard input.
Failure refuse(const std::string& source, int line, const std::string& what) {
    const std::string where = source.empty() ? "" : source + ", ";
    return {bad_listing_status, where + "řádek " + std::to_string(line) + ": " + what};
}

// What an empty listing most likely means: the program before this one in a pipe failed, and
// its message went to its own standard error (perhaps to /dev/null).
constexpr const char* empty_listing =
    "výpis je prázdný: orv-layout nejspíš skončil chybou dřív, než výpis zapsal (například "
    "nenašel soubor orv-graph); jeho zpráva je na jeho standardním chybovém výstupu";

// Reads 1 to `max_digits` decimal digits at `at`; -1 when there are none or too many.
int read_digits(const std::string& text, std::size_t& at, std::size_t max_digits) {
    std::size_t start = at;
    int value = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - start < max_digits)
        value = value * 10 + (text[at++] - '0');
    if (at == start || (at < text.size() && text[at] >= '0' && text[at] <= '9')) return -1;
    return value;
}

bool expect(const std::string& text, std::size_t& at, const char* what) {
    const std::size_t length = std::strlen(what);
    if (text.compare(at, length, what) != 0) return false;
    at += length;
    return true;
}

// Splits a line of the form "X Y : NNN" or "<TAB>X Y : NNN"; nullopt when it has another form.
std::optional<Line> split(const std::string& text) {
    Line line;
    std::size_t at = 0;
    line.neighbour = expect(text, at, "\t");
    line.x = read_digits(text, at, 4);
    if (line.x < 0 || !expect(text, at, " ")) return std::nullopt;
    line.y = read_digits(text, at, 4);
    if (line.y < 0 || !expect(text, at, " : ")) return std::nullopt;
    const std::size_t number_start = at;
    line.number = read_digits(text, at, 3);
    if (line.number < 0 || at - number_start != 3 || at != text.size()) return std::nullopt;
    return line;
}

// The first fault of a split line's numbers, taken alone.
std::optional<std::string> range_fault(const Line& line) {
    if (line.x >= columns)
        return "sloupec " + std::to_string(line.x) + " leží mimo mřížku (0 až 14)";
    if (line.y >= rows) return "řádek " + std::to_string(line.y) + " leží mimo mřížku (0 až 18)";
    if (line.number < 1 || line.number > vertex_count)
        return "číslo vrcholu " + three_digits(line.number) + " leží mimo rozsah 001 až 285";
    return std::nullopt;
}

// The state of a read in progress.
struct Reader {
    Read<Listing> result;
    std::array<int, columns * rows> owner{};  // vertex number on cell x * rows + y, 0 if free
    std::vector<CellClaim> claims;
    int vertices = 0;          // vertex lines read; the last one is the current vertex
    int current_mentions = 0;  // neighbour lines of the current vertex
};

// Takes one line; the reason when it is refused.
std::optional<std::string> take(Reader& r, int line_number, const std::string& text) {
    const std::optional<Line> line = split(text);
    if (!line) return "řádek nemá tvar \"X Y : NNN\" ani \"<TAB>X Y : NNN\"";
    if (auto fault = range_fault(*line)) return fault;
    const Cell cell{line->x, line->y};
    if (line->neighbour) {
        if (r.vertices == 0) return "soused stojí před prvním vrcholem";
        if (++r.current_mentions > max_neighbours)
            return "vrchol " + three_digits(r.vertices) + " má víc než 50 sousedů";
        r.result.value.mentions.push_back({r.vertices, line->number});
        r.claims.push_back({line_number, line->number, cell});
        return std::nullopt;
    }
    if (r.vertices == vertex_count)
        return "vrchol " + three_digits(line->number) + " je navíc: výpis už má všech 285 vrcholů";
    if (line->number != r.vertices + 1)
        return "čeká se vrchol " + three_digits(r.vertices + 1) + ", stojí zde vrchol " +
               three_digits(line->number);
    int& owner = r.owner[cell.x * rows + cell.y];
    if (owner != 0)
        return "pole " + std::to_string(cell.x) + " " + std::to_string(cell.y) +
               " už zabral vrchol " + three_digits(owner);
    owner = line->number;
    r.result.value.cells[line->number - 1] = cell;
    ++r.vertices;
    r.current_mentions = 0;
    return std::nullopt;
}

// Checks, once every vertex has its cell, that each neighbour line named that cell.
std::optional<Failure> check_claims(const Reader& r, const std::string& source) {
    for (const CellClaim& claim : r.claims) {
        const Cell own = r.result.value.cells[claim.vertex - 1];
        if (claim.cell == own) continue;
        return refuse(source, claim.line,
                      "vrchol " + three_digits(claim.vertex) + " stojí na poli " +
                          std::to_string(own.x) + " " + std::to_string(own.y) + ", ne na " +
                          std::to_string(claim.cell.x) + " " + std::to_string(claim.cell.y));
    }
    return std::nullopt;
}

}  // namespace

Read<Listing> read_listing(std::FILE* in, const std::string& source) {
    Reader r;
    std::string text;
    int line_number = 1;
    for (;;) {
        const int c = std::getc(in);
        if (c == EOF && std::ferror(in)) {
            r.result.failure =
                Failure{bad_listing_status,
                        (source.empty() ? std::string("standardní vstup") : "soubor " + source) +
                            " nelze přečíst: " + std::strerror(errno)};
            return r.result;
        }
        if (c == EOF && text.empty()) break;  // the end, behind a line feed or at the start
        if (c != EOF && c != '\n') {
            if (text.size() == max_line_length) {
                r.result.failure = refuse(source, line_number, "řádek je příliš dlouhý");
                return r.result;
            }
            text.push_back(static_cast<char>(c));
            continue;
        }
        if (auto fault = take(r, line_number, text)) {
            r.result.failure = refuse(source, line_number, *fault);
            return r.result;
        }
        text.clear();
        ++line_number;
        if (c == EOF) break;
    }
    if (r.vertices == 0 && line_number == 1) {
        r.result.failure =
            Failure{bad_listing_status, (source.empty() ? "" : source + ": ") + empty_listing};
        return r.result;
    }
    if (r.vertices < vertex_count) {
        r.result.failure =
            refuse(source, line_number,
                   "výpis končí, chybí vrcholy " + three_digits(r.vertices + 1) + " až 285");
        return r.result;
    }
    r.result.failure = check_claims(r, source);
    return r.result;
}

Read<Listing> read_listing_file(const std::string& path) {
    std::FILE* in = std::fopen(path.c_str(), "r");
    if (in == nullptr) {
        Read<Listing> read;
        read.failure = Failure{bad_listing_status,
                               "soubor " + path + " nelze otevřít: " + std::strerror(errno)};
        return read;
    }
    Read<Listing> read = read_listing(in, path);
    std::fclose(in);
    return read;
}
