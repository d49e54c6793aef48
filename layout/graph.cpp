#include "graph.hpp"

#include "cost.hpp"
#include "improve.hpp"
#include "placement.hpp"

#include <cerrno>
#include <cstring>

namespace layout {

std::string precti_soubor(const char* name, std::string& text) {
    std::FILE* f = std::fopen(name, "r");
    if (f == nullptr)
        return std::string("soubor ") + name + " nelze otevřít: " + std::strerror(errno);
    char buffer[1 << 16];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        text.append(buffer, got);
    const int err = errno;
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) return std::string("soubor ") + name + " nelze přečíst: " + std::strerror(err);
    return "";
}

namespace {

// The white space that a decimal scan skips before its number.
bool mezera(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool cislice(char c) {
    return c >= '0' && c <= '9';
}

// A line feed, or a carriage return directly before one: both belong to a line end.
bool konec_radku(std::string_view s, std::size_t i) {
    return s[i] == '\n' || (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n');
}

// How a character that stands where a number should is named in a message.
std::string popis_znaku(std::string_view s, std::size_t i) {
    if (i >= s.size()) return "konec souboru";
    const unsigned char c = static_cast<unsigned char>(s[i]);
    char text[32];
    if (c > ' ' && c < 0x7f)
        std::snprintf(text, sizeof text, "znak '%c'", c);
    else
        std::snprintf(text, sizeof text, "bajt 0x%02X", c);
    return text;
}

// The reading position in the file and the line it is on.
struct cteni {
    std::string_view s;
    std::size_t i = 0;
    int radek = 1;

    bool konec() const { return i == s.size(); }
    void dal() {
        if (s[i] == '\n') ++radek;
        ++i;
    }
};

// A decimal number as the scan reads it: an optional sign and digits. `value` saturates above
// the vertex range so that no number, however long, overflows.
struct cislo {
    bool found = false;
    bool in_range = false;
    int value = 0;
    std::string text;
};

cislo precti_cislo(cteni& r) {
    cislo n;
    const std::size_t start = r.i;
    bool negative = false;
    if (!r.konec() && (r.s[r.i] == '+' || r.s[r.i] == '-')) {
        negative = r.s[r.i] == '-';
        r.dal();
    }
    if (r.konec() || !cislice(r.s[r.i])) return n; // r.i is on what stands in the way
    n.found = true;
    long long value = 0;
    while (!r.konec() && cislice(r.s[r.i])) {
        if (value <= pocet_vrcholu) value = value * 10 + (r.s[r.i] - '0');
        r.dal();
    }
    n.text.assign(r.s.substr(start, r.i - start));
    if (n.text.size() > 24) n.text = n.text.substr(0, 20) + "...";
    n.in_range = !negative && value >= 1 && value <= pocet_vrcholu;
    n.value = static_cast<int>(value);
    return n;
}

std::string na_radku(int radek, const std::string& problem) {
    return "orv-graph, řádek " + std::to_string(radek) + ": " + problem;
}

} // namespace

// A line that starts with a tab holds a neighbour of the current vertex; any other line holds a
// vertex number that starts a new list. Precisely: the first character other than a line end
// behind the previous number decides the kind of the next number, and the scan then runs on to
// the number across any white space. A line end is a line feed, or a carriage return and a line
// feed.
std::string nacti(std::string_view text, graf& g) {
    cteni r{text};
    vrchol* current = nullptr;
    for (;;) {
        while (!r.konec() && konec_radku(r.s, r.i))
            r.dal();
        if (r.konec()) break;
        const bool soused = r.s[r.i] == '\t';
        while (!r.konec() && mezera(r.s[r.i]))
            r.dal();
        if (r.konec()) break; // the file ends where a number should follow: the line is ignored
        const int radek = r.radek;
        const cislo n = precti_cislo(r);
        if (!n.found) return na_radku(r.radek, "místo čísla stojí " + popis_znaku(r.s, r.i));
        if (!n.in_range)
            return na_radku(radek, std::string(soused ? "číslo souseda " : "číslo vrcholu ") +
                                       n.text + " leží mimo rozsah 1 až 285");
        if (!soused) {
            current = &g.vrcholy[n.value - 1];
            current->pocet = 0;
        } else if (current != nullptr) {
            if (current->pocet == max_sousedu)
                return na_radku(radek, "vrchol " + std::to_string(current - g.vrcholy.data() + 1) +
                                           " má víc než 50 sousedů");
            current->sousede[current->pocet++] = n.value - 1;
        }
    }
    return "";
}

void inicializuj(graf& g) {
    for (int i = 0; i < pocet_vrcholu; ++i) {
        g.vrcholy_sorted[i] = i;
        g.vrcholy[i].hloubka = 999;
        g.vrcholy[i].cislo = i + 1;
    }
    g.vrcholy[0].hloubka = 0;
}

void priprav(graf& g, std::FILE* trace) {
    inicializuj(g);
    hloubky(g, trace);
    serad(g);
    rozmisti(g);
    g.sum_total = get_total_sum(g);
}

int rozvrhni(graf& g, std::FILE* trace, odhady way) {
    priprav(g, trace);
    return zlepsuj(g, trace, way);
}

void vypis(const graf& g, std::FILE* out) {
    for (const vrchol& v : g.vrcholy) {
        std::fprintf(out, "%d %d : %03d\n", v.x, v.y, v.cislo);
        for (int k = 0; k < v.pocet; ++k) {
            const vrchol& n = g.vrcholy[v.sousede[k]];
            std::fprintf(out, "\t%d %d : %03d\n", n.x, n.y, n.cislo);
        }
    }
}

} // namespace layout
