// orv-editor: the question table, its lookup, the editor loop, the definition dialogue and the
// display of functions.
//
// A question is identified by a fraction. Its definition holds four target fractions and four
// functions a^x + b + cx with an integer base a and fractional b and c. The user picks a question
// by its number, sees its definition and (re)defines it in a dialogue on the console.
#pragma once

#include "failure.hpp"
#include "rational.hpp"

#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>

inline constexpr int max_questions = 50;          // questions the table can hold
inline constexpr int max_leading_functions = 50;  // function references per question
inline constexpr int editor_exit_status = 10;     // the program's status after its last line feed

// A function a^x + b + cx.
struct funkce {
    std::int32_t vyrizena;  // processed flag; 0 in every record, read by nothing
    std::int32_t zaklad;    // the base a; below 2 the exponential term is absent
    P_RACIO konstanta;      // the constant b; may be absent
    P_RACIO linearni;       // the coefficient c of cx; may be absent
};
using T_FUNKCE = funkce;
using P_FUNKCE = funkce*;

struct otazka {
    P_RACIO id;  // the question's number
    // The functions that lead to this question, filled from the front; the first empty slot ends
    // the list.
    std::array<P_FUNKCE, max_leading_functions> pouzite_funkce;
    std::array<P_RACIO, 4> odkazy;   // the four primary targets
    std::array<T_FUNKCE, 4> funkce;  // the four functions
    std::int32_t defined;            // 1 once the definition dialogue has completed
};
using P_OTAZKA = otazka*;

// Where the dialogue is read from and written to.
struct Console {
    std::FILE* in;
    std::FILE* out;
};

// The editor's state for the whole run.
struct Editor {
    std::array<P_OTAZKA, max_questions> pole{};  // the questions, sorted ascending by id
    std::int32_t deklarovanych_otazek = 0;       // questions in `pole`
    std::int32_t definovanych_otazek = 0;        // questions defined at least once
    P_RACIO cislo_otazky = nullptr;              // the question number the user entered last
    std::int32_t start = 0;                      // 1 during the first cycle of the loop
};

// A new, empty question with the given number.
P_OTAZKA new_question(P_RACIO id);

// The state at start: question 1/1 in the table, no question defined, the first cycle ahead.
void start_editor(Editor& e);

// Index in `pole` of the question numbered `cislo`, or -1. Bisection by r_cmp, which leaves
// `cislo` and every compared id reduced to lowest terms.
int poloha(const Editor& e, P_RACIO cislo);

// The editor loop: runs until the user enters a number that has no question, or the input ends;
// the program then ends with `editor_exit_status`. A read error of the input stops it at once
// and is returned.
std::optional<Failure> run_editor(Console con);

// The dialogue that (re)defines question `q`.
void definuj_otazku(P_OTAZKA q, Console con);

// Writes the function as a term expression, such as "2^x + 1/2 + 3x", and a line feed.
void vypis_funkci(T_FUNKCE fce, std::FILE* out);
