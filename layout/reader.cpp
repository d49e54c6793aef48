// orv-layout: the reader of the graph file, a character at a time, with the line of every fault.
#include "reader.hpp"

#include <cerrno>
#include <cstring>
#include <string>

namespace layout {

namespace {

// The white space that a decimal scan skips before its number.
bool is_space(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool is_digit(int c) { return c >= '0' && c <= '9'; }

// The reading position in the file: the character there (EOF at the end) and the line it is on.
// The file is read as a stream, a character at a time, so its size does not matter.
struct Reader {
    std::FILE* f;
    int c = EOF;
    std::int64_t line = 1;
    int error = 0;  // errno of a read that failed

    Reader(std::FILE* stream, std::int64_t first_line) : f(stream), line(first_line) {
        take_char();
    }
    bool at_end() const { return c == EOF; }
    void advance() {
        if (c == '\n') ++line;
        take_char();
    }
    int peek() {  // the character after the current one, left unread
        const int n = std::getc(f);
        if (n == EOF) return note_error();
        std::ungetc(n, f);
        return n;
    }

  private:
    void take_char() {
        c = std::getc(f);
        if (c == EOF) note_error();
    }
    int note_error() {
        if (std::ferror(f) && error == 0) error = errno;
        return EOF;
    }
};

// A line feed, or a carriage return directly before one: both belong to a line end.
bool at_line_end(Reader& r) { return r.c == '\n' || (r.c == '\r' && r.peek() == '\n'); }

// How the character that stands where a number should is named in a message.
std::string describe_char(const Reader& r) {
    if (r.at_end()) return "konec souboru";
    char text[32];
    if (r.c > ' ' && r.c < 0x7f)
        std::snprintf(text, sizeof text, "znak '%c'", r.c);
    else
        std::snprintf(text, sizeof text, "bajt 0x%02X", static_cast<unsigned>(r.c));
    return text;
}

// A decimal number as the scan reads it: an optional sign and digits. `value` saturates above
// the vertex range so that no number, however long, overflows; `text` keeps its first characters
// for a message.
struct Number {
    bool found = false;
    bool in_range = false;
    int value = 0;
    std::string text;
};

Number read_number(Reader& r) {
    Number n;
    auto keep = [&n](int c) {
        if (n.text.size() <= 24) n.text += static_cast<char>(c);
    };
    bool negative = false;
    if (r.c == '+' || r.c == '-') {
        negative = r.c == '-';
        keep(r.c);
        r.advance();
    }
    if (!is_digit(r.c)) return n;  // r.c is what stands in the way
    n.found = true;
    long long value = 0;
    while (is_digit(r.c)) {
        if (value <= vertex_count) value = value * 10 + (r.c - '0');
        keep(r.c);
        r.advance();
    }
    if (n.text.size() > 24) n.text = n.text.substr(0, 20) + "...";
    n.in_range = !negative && value >= 1 && value <= vertex_count;
    n.value = static_cast<int>(value);
    return n;
}

// A fault in the file's contents, at `line`; `read_stream` puts the file's name in front.
std::optional<Failure> on_line(std::int64_t line, const std::string& problem) {
    return Failure{error_status, "řádek " + std::to_string(line) + ": " + problem};
}

// A line that starts with a tab holds a neighbour of the current vertex; any other line holds a
// vertex number that starts a new list. Precisely: the first character other than a line end
// behind the previous number decides the kind of the next number, and the scan then runs on to
// the number across any white space. A line end is a line feed, or a carriage return and a line
// feed.
std::optional<Failure> parse(Reader& r, Graph& g) {
    vrchol* current = nullptr;
    for (;;) {
        while (!r.at_end() && at_line_end(r))
            r.advance();
        if (r.at_end()) break;
        const bool neighbour = r.c == '\t';
        while (!r.at_end() && is_space(r.c))
            r.advance();
        if (r.at_end()) break;  // the file ends where a number should follow: the line is ignored
        const std::int64_t line = r.line;
        const Number n = read_number(r);
        if (!n.found) return on_line(r.line, "místo čísla stojí " + describe_char(r));
        if (!n.in_range)
            return on_line(line, std::string(neighbour ? "číslo souseda " : "číslo vrcholu ") +
                                     n.text + " leží mimo rozsah 1 až 285");
        if (!neighbour) {
            current = &g.vrcholy[n.value - 1];
            current->pocet = 0;
        } else if (current != nullptr) {
            if (current->pocet == max_neighbours)
                return on_line(line, "vrchol " + std::to_string(current - g.vrcholy.data() + 1) +
                                         " má víc než 50 sousedů");
            current->sousede[current->pocet++] = n.value - 1;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<Failure> read_stream(std::FILE* f, const InputName& input, Graph& g,
                                   std::int64_t first_line) {
    Reader r(f, first_line);
    std::optional<Failure> problem = parse(r, g);
    if (std::ferror(f))
        return Failure{error_status, (input.is_file ? "soubor " : "") + input.name +
                                         " nelze přečíst: " + std::strerror(r.error)};
    if (problem) problem->reason = input.name + ", " + problem->reason;
    return problem;
}

std::optional<Failure> read_graph(const std::string& path, Graph& g) {
    if (path == standard_input_path) return read_stream(stdin, {"standardní vstup", false}, g);
    std::FILE* f = std::fopen(path.c_str(), "r");
    if (f == nullptr)
        return Failure{error_status, "soubor " + path + " nelze otevřít: " + std::strerror(errno)};
    std::optional<Failure> problem = read_stream(f, {path}, g);
    std::fclose(f);
    return problem;
}

}  // namespace layout
