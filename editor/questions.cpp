// orv-editor: the question table, its lookup, the editor loop, the definition dialogue and the
// display of functions.
#include "questions.hpp"

#include "reading.hpp"
#include "records.hpp"

#include <cstdlib>

// ---- The table ----

P_OTAZKA new_question(P_RACIO id) {
    P_OTAZKA q = new_record<otazka>();  // every slot empty, every field zero or absent
    q->id = id;
    return q;
}

void start_editor(Editor& e) {
    e.cislo_otazky = r_create(0, 1);
    e.pole[0] = new_question(r_create(1, 1));
    e.deklarovanych_otazek = 1;
    e.definovanych_otazek = 0;
    e.start = 1;
}

// The indices close in on `cislo` from both sides; a comparison of 0 ends the search at once.
int poloha(const Editor& e, P_RACIO cislo) {
    if (e.deklarovanych_otazek < 1) return -1;
    int low = 0;
    int high = e.deklarovanych_otazek - 1;
    while (low + 1 < high) {  // the question, if any, lies at an index in low .. high
        const int middle = (low + high) / 2;
        const int difference = r_cmp(cislo, e.pole[middle]->id);
        if (difference == 0) return middle;
        if (difference > 0)
            low = middle;
        else
            high = middle;
    }
    if (r_cmp(cislo, e.pole[high]->id) == 0) return high;
    if (low != high && r_cmp(cislo, e.pole[low]->id) == 0) return low;
    return -1;
}

// ---- The editor loop ----

namespace {

// A defined question: each target, a tab and its function, then an empty line.
void show_definition(P_OTAZKA q, std::FILE* out) {
    for (int i = 0; i < 4; ++i) {
        r_print(q->odkazy[i], out);
        std::fputc('\t', out);
        vypis_funkci(q->funkce[i], out);
        std::fputc('\n', out);
    }
}

// The question the user entered in the cycle before: a new one is defined at once, a defined one
// is shown and redefined only when the user says so.
void handle_entered_question(Editor& e, Console con, int index) {
    std::fputs("Definice otázky číslo ", con.out);
    r_print(e.cislo_otazky, con.out);
    std::fputs(":\n", con.out);
    P_OTAZKA q = e.pole[index];
    if (q->defined == 1) {
        show_definition(q, con.out);
        std::fputs("Upravit definici této otázky (Ano)/(Ne)?\n", con.out);
        if (read_yes(con.in)) definuj_otazku(q, con);
    } else {
        std::fputs("Otázka ještě nebyla definována.\n", con.out);
        definuj_otazku(q, con);
        ++e.definovanych_otazek;
    }
}

// After every handled question the first question of the table gets a fresh function x as the
// first function leading to it; the record it replaces is abandoned.
void replace_leading_function(Editor& e) {
    P_FUNKCE f = new_record<funkce>();
    f->vyrizena = 0;
    f->zaklad = 0;
    f->konstanta = nullptr;
    f->linearni = r_create(1, 1);
    e.pole[0]->pouzite_funkce[0] = f;
}

void show_lists(const Editor& e, std::FILE* out) {
    std::fputs("Zatím existující otázky jsou:\n", out);
    for (int i = 0; i < e.deklarovanych_otazek; ++i) {
        r_print(e.pole[i]->id, out);
        std::fputc('\n', out);
    }
    std::fputs("\nJeště nebyly definované otázky:\n", out);
    for (int i = 0; i < e.deklarovanych_otazek; ++i) {
        if (e.pole[i]->defined != 0) continue;
        r_print(e.pole[i]->id, out);
        std::fputc('\n', out);
    }
    std::fputc('\n', out);
    std::fprintf(out, "Celkem nedefinovaných otázek: %d\n",
                 e.deklarovanych_otazek - e.definovanych_otazek);
    std::fprintf(out, "Celkem otázek: %d\n", e.deklarovanych_otazek);
    std::fputs("Definici další otázky započnete zadáním jejího čísla.\n"
               "Zadáním čísla, jež nemá otázku, ukončíte program:\n",
               out);
}

// Reads the next question number into `cislo_otazky`; a part the input does not supply keeps its
// value and a zero denominator becomes 1. False when the input ends before any number.
bool read_question_number(Editor& e, std::FILE* in) {
    if (read_fraction(in, *e.cislo_otazky) == Found::end) return false;
    if (e.cislo_otazky->jmenovatel == 0) e.cislo_otazky->jmenovatel = 1;
    return true;
}

}  // namespace

std::optional<Failure> run_editor(Console con) {
    Editor e;
    start_editor(e);
    int index = -1;  // the question entered in the cycle before
    for (;;) {
        std::fputs("--------------------------------------\n", con.out);
        if (e.start == 1) {
            e.start = 0;
        } else {
            handle_entered_question(e, con, index);
            replace_leading_function(e);
        }
        // A read error stops the dialogue where it happened, without the closing line feed.
        if (std::optional<Failure> failure = read_failure(con.in)) return failure;
        show_lists(e, con.out);
        const bool entered = read_question_number(e, con.in);
        if (std::optional<Failure> failure = read_failure(con.in)) return failure;
        if (!entered) break;
        index = poloha(e, e.cislo_otazky);
        if (index == -1) break;
    }
    std::fputc('\n', con.out);
    return std::nullopt;
}

// ---- The definition dialogue ----

namespace {

// A fresh fraction read as typed, not reduced: parts the input does not supply are 0, and a zero
// denominator becomes 1, so 5 alone gives 5/1 and no number at all gives 0/1.
P_RACIO read_new_fraction(std::FILE* in) {
    racio typed{0, 0};
    read_fraction(in, typed);
    if (typed.jmenovatel == 0) typed.jmenovatel = 1;
    return r_create(typed.citatel, typed.jmenovatel);
}

}  // namespace

// A read that finds no number leaves its character in the input, so every later read of the same
// dialogue fails too: the remaining fractions become 0/1 and the bases keep their values.
void definuj_otazku(P_OTAZKA q, Console con) {
    std::fputs("Začínám definici této otázky.\n", con.out);
    std::fputs("Na otázku zatím směřují tyto funkce:\n", con.out);
    for (P_FUNKCE f : q->pouzite_funkce) {
        if (f == nullptr) break;
        vypis_funkci(*f, con.out);
    }
    std::fputs("Vložte 4 primární cíle otázky ve formátu racionálních čísel:\n", con.out);
    for (P_RACIO& target : q->odkazy)
        target = read_new_fraction(con.in);
    std::fputs("Vložte 4 funkce ve formátu a^x + b + cx:\n", con.out);
    for (T_FUNKCE& f : q->funkce) {
        std::fputs("Vložte základ pro exponenciálu, nulu pro vyřazení:\n", con.out);
        read_integer(con.in, f.zaklad);
        std::fputs("Vložte konstantu ve formátu racionálního čísla:\n", con.out);
        f.konstanta = read_new_fraction(con.in);
        std::fputs("Vložte koeficient lineárního členu ve formátu racionálního čísla:\n", con.out);
        f.linearni = read_new_fraction(con.in);
    }
    q->defined = 1;
}

// ---- The display of functions ----

namespace {

// The sign before a term: " - " for a negative numerator, also before the first term, and " + "
// for a positive one after another term. A negative denominator is written unchanged.
void write_sign(std::int32_t citatel, bool plus, std::FILE* out) {
    if (plus && citatel > 0) std::fputs(" + ", out);
    if (citatel < 0) std::fputs(" - ", out);
}

}  // namespace

// Magnitudes are taken in 64 bits, so a numerator of -2147483648 is written as 2147483648.
void vypis_funkci(T_FUNKCE fce, std::FILE* out) {
    bool plus = false;  // a term has been written
    if (fce.zaklad >= 2) {
        std::fprintf(out, "%d^x", fce.zaklad);
        plus = true;
    }
    if (fce.konstanta != nullptr && fce.konstanta->citatel != 0) {
        write_sign(fce.konstanta->citatel, plus, out);
        std::fprintf(out, "%lld/%d", std::llabs(fce.konstanta->citatel), fce.konstanta->jmenovatel);
        plus = true;
    }
    if (fce.linearni != nullptr && fce.linearni->citatel != 0) {
        write_sign(fce.linearni->citatel, plus, out);
        const long long m = std::llabs(fce.linearni->citatel);
        const std::int32_t d = fce.linearni->jmenovatel;
        if (d == 1 && m == 1)
            std::fputs("x", out);
        else if (d == 1)
            std::fprintf(out, "%lldx", m);
        else if (m == 1)
            std::fprintf(out, "x/%d", d);
        else
            std::fprintf(out, "%lldx/%d", m, d);
    }
    std::fputc('\n', out);
}
