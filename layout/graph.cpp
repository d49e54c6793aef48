#include "graph.hpp"

#include "cost.hpp"
#include "improve.hpp"
#include "placement.hpp"

#include <cerrno>
#include <cstring>

namespace layout {

namespace {

// The white space that a decimal scan skips before its number.
bool mezera(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool cislice(int c) { return c >= '0' && c <= '9'; }

// The reading position in the file: the character there (EOF at the end) and the line it is on.
// The file is read as a stream, a character at a time, so its size does not matter.
struct cteni {
    std::FILE* f;
    int c = EOF;
    int radek = 1;
    int chyba = 0;  // errno of a read that failed

    explicit cteni(std::FILE* stream) : f(stream) { vezmi(); }
    bool konec() const { return c == EOF; }
    void dal() {
        if (c == '\n') ++radek;
        vezmi();
    }
    int dalsi() {  // the character after the current one, left unread
        const int n = std::getc(f);
        if (n == EOF) return zkontroluj();
        std::ungetc(n, f);
        return n;
    }

  private:
    void vezmi() {
        c = std::getc(f);
        if (c == EOF) zkontroluj();
    }
    int zkontroluj() {
        if (std::ferror(f) && chyba == 0) chyba = errno;
        return EOF;
    }
};

// A line feed, or a carriage return directly before one: both belong to a line end.
bool konec_radku(cteni& r) { return r.c == '\n' || (r.c == '\r' && r.dalsi() == '\n'); }

// How the character that stands where a number should is named in a message.
std::string popis_znaku(const cteni& r) {
    if (r.konec()) return "konec souboru";
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
struct cislo {
    bool found = false;
    bool in_range = false;
    int value = 0;
    std::string text;
};

cislo precti_cislo(cteni& r) {
    cislo n;
    auto keep = [&n](int c) {
        if (n.text.size() <= 24) n.text += static_cast<char>(c);
    };
    bool negative = false;
    if (r.c == '+' || r.c == '-') {
        negative = r.c == '-';
        keep(r.c);
        r.dal();
    }
    if (!cislice(r.c)) return n;  // r.c is what stands in the way
    n.found = true;
    long long value = 0;
    while (cislice(r.c)) {
        if (value <= pocet_vrcholu) value = value * 10 + (r.c - '0');
        keep(r.c);
        r.dal();
    }
    if (n.text.size() > 24) n.text = n.text.substr(0, 20) + "...";
    n.in_range = !negative && value >= 1 && value <= pocet_vrcholu;
    n.value = static_cast<int>(value);
    return n;
}

std::string na_radku(int radek, const std::string& problem) {
    return "řádek " + std::to_string(radek) + ": " + problem;
}

// A line that starts with a tab holds a neighbour of the current vertex; any other line holds a
// vertex number that starts a new list. Precisely: the first character other than a line end
// behind the previous number decides the kind of the next number, and the scan then runs on to
// the number across any white space. A line end is a line feed, or a carriage return and a line
// feed.
std::string rozeber(cteni& r, graf& g) {
    vrchol* current = nullptr;
    for (;;) {
        while (!r.konec() && konec_radku(r))
            r.dal();
        if (r.konec()) break;
        const bool soused = r.c == '\t';
        while (!r.konec() && mezera(r.c))
            r.dal();
        if (r.konec()) break;  // the file ends where a number should follow: the line is ignored
        const int radek = r.radek;
        const cislo n = precti_cislo(r);
        if (!n.found) return na_radku(r.radek, "místo čísla stojí " + popis_znaku(r));
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

}  // namespace

std::string nacti(std::FILE* f, const char* name, graf& g) {
    cteni r(f);
    const std::string problem = rozeber(r, g);
    if (std::ferror(f))
        return std::string("soubor ") + name + " nelze přečíst: " + std::strerror(r.chyba);
    if (!problem.empty()) return name + std::string(", ") + problem;
    return "";
}

std::string precti_graf(const char* name, graf& g) {
    std::FILE* f = std::fopen(name, "r");
    if (f == nullptr)
        return std::string("soubor ") + name + " nelze otevřít: " + std::strerror(errno);
    const std::string problem = nacti(f, name, g);
    std::fclose(f);
    return problem;
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

}  // namespace layout
