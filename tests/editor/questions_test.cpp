#include "questions.hpp"
#include "streams.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

// A table of n questions numbered 1/3, 3/3, 5/3, ... (2k+1)/3.
Editor table_of(int n) {
    Editor e;
    for (int k = 0; k < n; ++k)
        e.pole[k] = new_otazka(r_create(2 * k + 1, 3));
    e.deklarovanych_otazek = n;
    return e;
}

int lookup(const Editor& e, std::int32_t n, std::int32_t d) { return poloha(e, r_create(n, d)); }

TEST(Lookup, FindsEveryQuestionAndNothingElseInTablesOfEverySize) {
    for (int n = 0; n <= max_otazek; ++n) {
        const Editor e = table_of(n);
        for (int k = 0; k < n; ++k) {
            ASSERT_EQ(lookup(e, 2 * k + 1, 3), k) << "table of " << n;
            ASSERT_EQ(lookup(e, -(4 * k + 2), -6), k) << "table of " << n;
        }
        for (int k = 0; k <= n; ++k)
            ASSERT_EQ(lookup(e, 2 * k, 3), -1) << "table of " << n;
        for (const racio far : {racio{-1, 3}, racio{1073741824, 1}, racio{INT32_MIN, 1},
                                racio{INT32_MIN, -1}, racio{1, INT32_MIN}})
            ASSERT_EQ(lookup(e, far.citatel, far.jmenovatel), -1) << "table of " << n;
    }
}

TEST(FunctionDisplay, WritesSignsTermsAndDenominatorsAsStored) {
    struct Case {
        std::int32_t zaklad;
        P_RACIO konstanta, linearni;
        const char* expected;
    };
    const Case cases[] = {
        {2, r_create(1, 2), r_create(3, 1), "2^x + 1/2 + 3x\n"},
        {0, r_create(-1, 2), r_create(-1, 1), " - 1/2 - x\n"},
        {0, r_create(0, 1), r_create(1, 3), "x/3\n"},
        {5, r_create(0, 1), r_create(-2, 3), "5^x - 2x/3\n"},
        {1, r_create(0, 1), r_create(0, 1), "\n"},
        {-4, nullptr, nullptr, "\n"},
        {0, nullptr, r_create(1, 1), "x\n"},
        {0, r_create(3, 1), r_create(4, 1), "3/1 + 4x\n"},
        {2, r_create(-3, -2), r_create(1, -1), "2^x - 3/-2 + x/-1\n"},
        {0, r_create(INT32_MIN, 1), r_create(INT32_MIN, 7), " - 2147483648/1 - 2147483648x/7\n"},
    };
    for (const Case& c : cases) {
        const T_FUNKCE fce{0, c.zaklad, c.konstanta, c.linearni};
        EXPECT_EQ(written_by([&](std::FILE* out) { vypis_funkci(fce, out); }), c.expected);
    }
    EXPECT_EQ(cases[8].konstanta->citatel, -3);  // the sign stays in the record
}

// Every input ends the editor: random inputs over the characters that matter to the dialogue.
TEST(EditorLoop, EndsOnEveryInput) {
    const std::string alphabet = "0123456789/-+ \n\tAaNnox";
    const std::string ending = "ukončíte program:\n\n";
    std::uint32_t seed = 12345;
    auto next = [&] { return (seed = seed * 1103515245u + 12345u) >> 16; };
    for (int run = 0; run < 400; ++run) {
        std::string text;
        for (std::uint32_t k = next() % 80; k > 0; --k)
            text += alphabet[next() % alphabet.size()];
        std::FILE* in = input_of(text);
        int status = 0;
        const std::string output = written_by([&](std::FILE* out) {
            status = run_editor({in, out});
        });
        std::fclose(in);
        ASSERT_EQ(status, editor_exit_status) << text;
        ASSERT_TRUE(output.ends_with(ending)) << text;
    }
}

}  // namespace
