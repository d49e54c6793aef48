#include "questions.hpp"
#include "streams.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string>

namespace {

// A table of n questions numbered 1/3, 3/3, 5/3, ... (2k+1)/3.
Editor table_of(int n) {
    Editor e;
    for (int k = 0; k < n; ++k)
        e.pole[k] = new_question(r_create(2 * k + 1, 3));
    e.deklarovanych_otazek = n;
    return e;
}

int lookup(const Editor& e, std::int32_t n, std::int32_t d) { return poloha(e, r_create(n, d)); }

TEST(Lookup, FindsEveryQuestionAndNothingElseInTablesOfEverySize) {
    for (int n = 0; n <= max_questions; ++n) {
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
        std::optional<Failure> failure;
        const std::string output = written_by([&](std::FILE* out) {
            failure = run_editor({in, out});
        });
        std::fclose(in);
        ASSERT_FALSE(failure.has_value()) << text;
        ASSERT_TRUE(output.ends_with(ending)) << text;
    }
}

// A stream that gives `text` and then fails with EIO, as a broken device or pipe would.
std::FILE* failing_after(const std::string& text) {
    struct Source {
        std::string text;
        std::size_t at = 0;
    };
    cookie_io_functions_t io{};
    io.read = [](void* cookie, char* buffer, std::size_t size) -> ssize_t {
        Source& s = *static_cast<Source*>(cookie);
        if (s.at == s.text.size()) {
            errno = EIO;
            return -1;
        }
        const std::size_t n = std::min(size, s.text.size() - s.at);
        s.text.copy(buffer, n, s.at);
        s.at += n;
        return static_cast<ssize_t>(n);
    };
    io.close = [](void* cookie) {
        delete static_cast<Source*>(cookie);
        return 0;
    };
    std::FILE* in = fopencookie(new Source{text}, "r", io);
    std::setvbuf(in, nullptr, _IONBF, 0);  // hand out the text before the error, byte by byte
    return in;
}

struct EditorRun {
    std::optional<Failure> failure;
    std::string output;
};

EditorRun run_on(std::FILE* in) {
    EditorRun run;
    run.output = written_by([&](std::FILE* out) { run.failure = run_editor({in, out}); });
    std::fclose(in);
    return run;
}

const std::string prompt_end = "ukončíte program:\n";

// A read error is a failure, wherever it happens; a real end of input is not.
TEST(EditorLoop, ReportsAReadErrorAndStopsWhereItHappened) {
    const EditorRun directory = run_on(std::fopen("/", "r"));
    ASSERT_TRUE(directory.failure.has_value());
    EXPECT_EQ(directory.failure->status, 1);
    EXPECT_EQ(directory.failure->reason, "čtení standardního vstupu selhalo: Is a directory");
    EXPECT_TRUE(directory.output.ends_with(prompt_end));  // no closing line feed

    // Inside the definition dialogue: its remaining prompts, then nothing more.
    const EditorRun dialogue = run_on(failing_after("1\n1/2 3"));
    ASSERT_TRUE(dialogue.failure.has_value());
    EXPECT_EQ(dialogue.failure->reason, "čtení standardního vstupu selhalo: Input/output error");
    EXPECT_TRUE(dialogue.output.ends_with("lineárního členu ve formátu racionálního čísla:\n"));

    // At the yes/no question of a second visit.
    const std::string defined = "1\n1 1 1 1\n0 0 1\n0 0 1\n0 0 1\n0 0 1\n";
    const EditorRun answer = run_on(failing_after(defined + "1\n"));
    ASSERT_TRUE(answer.failure.has_value());
    EXPECT_TRUE(answer.output.ends_with("(Ano)/(Ne)?\n"));

    // At the number prompt after a definition.
    const EditorRun prompt = run_on(failing_after(defined));
    ASSERT_TRUE(prompt.failure.has_value());
    EXPECT_TRUE(prompt.output.ends_with(prompt_end));

    const EditorRun end = run_on(input_of(defined));
    EXPECT_FALSE(end.failure.has_value());
    EXPECT_TRUE(end.output.ends_with(prompt_end + "\n"));
}

}  // namespace
