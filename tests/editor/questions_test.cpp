#include "questions.hpp"
#include "streams.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

// A table of n questions numbered 1/3, 3/3, 5/3, ... (2k+1)/3, sorted ascending.
Editor table_of(int n) {
    Editor e;
    for (int k = 0; k < n; ++k) e.pole[k] = new_otazka(r_create(2 * k + 1, 3));
    e.deklarovanych_otazek = n;
    return e;
}

int lookup(const Editor& e, std::int32_t n, std::int32_t d) { return poloha(e, r_create(n, d)); }

TEST(Lookup, FindsEveryQuestionOfTablesOfEverySize) {
    for (int n = 1; n <= max_otazek; ++n) {
        const Editor e = table_of(n);
        for (int k = 0; k < n; ++k) {
            ASSERT_EQ(lookup(e, 2 * k + 1, 3), k) << "table of " << n;
            ASSERT_EQ(lookup(e, 4 * k + 2, 6), k) << "table of " << n;
            ASSERT_EQ(lookup(e, -(2 * k + 1), -3), k) << "table of " << n;
        }
    }
}

TEST(Lookup, GivesMinusOneForEveryOtherNumber) {
    for (int n = 1; n <= max_otazek; ++n) {
        const Editor e = table_of(n);
        for (int k = 0; k <= n; ++k) ASSERT_EQ(lookup(e, 2 * k, 3), -1) << "table of " << n;
        ASSERT_EQ(lookup(e, -1, 3), -1);
        ASSERT_EQ(lookup(e, 1073741824, 1), -1);
        ASSERT_EQ(lookup(e, -1073741824, 1), -1);
        ASSERT_EQ(lookup(e, INT32_MIN, 1), -1);
        ASSERT_EQ(lookup(e, INT32_MIN, -1), -1);
        ASSERT_EQ(lookup(e, 1, INT32_MIN), -1);
    }
    EXPECT_EQ(lookup(table_of(0), 1, 3), -1);
}

TEST(Lookup, LeavesTheNumberInLowestTerms) {
    Editor e;
    start_editor(e);
    racio typed{-2, -2};
    EXPECT_EQ(poloha(e, &typed), 0);
    EXPECT_EQ(typed.citatel, 1);
    EXPECT_EQ(typed.jmenovatel, 1);
}

std::string shown(std::int32_t zaklad, P_RACIO konstanta, P_RACIO linearni) {
    const T_FUNKCE fce{0, zaklad, konstanta, linearni};
    return written_by([&](std::FILE* out) { vypis_funkci(fce, out); });
}

TEST(FunctionDisplay, WritesTheTermsWithTheirSigns) {
    EXPECT_EQ(shown(2, r_create(1, 2), r_create(3, 1)), "2^x + 1/2 + 3x\n");
    EXPECT_EQ(shown(0, r_create(-1, 2), r_create(-1, 1)), " - 1/2 - x\n");
    EXPECT_EQ(shown(0, r_create(3, 1), r_create(4, 1)), "3/1 + 4x\n");
    EXPECT_EQ(shown(3, r_create(0, 1), r_create(1, 1)), "3^x + x\n");
    EXPECT_EQ(shown(7, r_create(-5, 1), nullptr), "7^x - 5/1\n");
}

TEST(FunctionDisplay, LeavesOutMissingTermsAndWritesTheLinearForms) {
    EXPECT_EQ(shown(0, r_create(0, 1), r_create(1, 3)), "x/3\n");
    EXPECT_EQ(shown(5, r_create(0, 1), r_create(-2, 3)), "5^x - 2x/3\n");
    EXPECT_EQ(shown(1, r_create(0, 1), r_create(0, 1)), "\n");
    EXPECT_EQ(shown(-4, r_create(0, 1), r_create(0, 7)), "\n");
    EXPECT_EQ(shown(0, nullptr, r_create(1, 1)), "x\n");
    EXPECT_EQ(shown(0, nullptr, nullptr), "\n");
    EXPECT_EQ(shown(2, nullptr, nullptr), "2^x\n");
}

// The sign test looks at the numerator only.
TEST(FunctionDisplay, WritesNegativeDenominatorsUnchanged) {
    P_RACIO konstanta = r_create(-3, -2);
    P_RACIO linearni = r_create(1, -1);
    EXPECT_EQ(shown(2, konstanta, linearni), "2^x - 3/-2 + x/-1\n");
    EXPECT_EQ(konstanta->citatel, -3);
    EXPECT_EQ(linearni->citatel, 1);
    EXPECT_EQ(shown(0, r_create(6, -4), r_create(-6, -4)), "6/-4 - 6x/-4\n");
}

TEST(FunctionDisplay, WritesTheMagnitudeOfTheMostNegativeNumerator) {
    EXPECT_EQ(shown(0, r_create(INT32_MIN, 1), r_create(INT32_MIN, 7)),
              " - 2147483648/1 - 2147483648x/7\n");
}

// The dialogue's output is checked by the end-to-end cases; here, what it stores.
TEST(Definition, StoresWhatIsTypedAndStopsReadingAtTheFirstNonNumber) {
    P_OTAZKA q = new_otazka(r_create(1, 1));
    for (T_FUNKCE& f : q->funkce) f.zaklad = 9;
    std::FILE* in = input_of("2/4 0/5\n4/0 7\n3 -1/2 x 5 1/2");
    std::FILE* out = std::tmpfile();
    definuj_otazku(q, {in, out});
    std::fclose(out);
    EXPECT_EQ(rest_of(in), "x 5 1/2");
    const std::int32_t targets[4][2] = {{2, 4}, {0, 5}, {4, 1}, {7, 1}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(q->odkazy[i]->citatel, targets[i][0]);
        EXPECT_EQ(q->odkazy[i]->jmenovatel, targets[i][1]);
    }
    EXPECT_EQ(q->funkce[0].zaklad, 3);
    EXPECT_EQ(q->funkce[0].konstanta->citatel, -1);
    EXPECT_EQ(q->funkce[0].konstanta->jmenovatel, 2);
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            EXPECT_EQ(q->funkce[i].zaklad, 9);  // a base that is not read keeps its value
            EXPECT_EQ(q->funkce[i].konstanta->citatel, 0);
            EXPECT_EQ(q->funkce[i].konstanta->jmenovatel, 1);
        }
        EXPECT_EQ(q->funkce[i].linearni->citatel, 0);
        EXPECT_EQ(q->funkce[i].linearni->jmenovatel, 1);
        EXPECT_EQ(q->funkce[i].vyrizena, 0);
    }
    EXPECT_EQ(q->defined, 1);
}

// Every input ends the editor: random inputs over the characters that matter to the dialogue.
TEST(EditorLoop, EndsOnEveryInput) {
    const std::string alphabet = "0123456789/-+ \n\tAaNnox";
    std::uint32_t seed = 12345;
    auto next = [&] { return (seed = seed * 1103515245u + 12345u) >> 16; };
    for (int run = 0; run < 400; ++run) {
        std::string text;
        const std::uint32_t length = next() % 80;
        for (std::uint32_t k = 0; k < length; ++k) text += alphabet[next() % alphabet.size()];
        std::FILE* in = input_of(text);
        std::string output;
        int status = 0;
        output = written_by([&](std::FILE* out) { status = run_editor({in, out}); });
        std::fclose(in);
        ASSERT_EQ(status, editor_exit_status) << text;
        const std::string ending = "ukončíte program:\n\n";
        ASSERT_GE(output.size(), ending.size());
        ASSERT_EQ(output.substr(output.size() - ending.size()), ending) << text;
    }
}

}  // namespace
