// orv-editor: how the user's numbers and answers are read.
#include "reading.hpp"

#include <algorithm>
#include <cerrno>

namespace {

// The white space of the C locale, as "%d" skips it.
bool is_space(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool is_digit(int c) { return c >= '0' && c <= '9'; }

// The reason of the last failed read, taken when it failed: the prompts written after it must
// not replace it.
int read_errno = 0;

// The next character, or EOF at the end of the input or on a read error.
int next_char(std::FILE* in) {
    const int c = std::getc(in);
    if (c == EOF && std::ferror(in)) read_errno = errno;
    return c;
}

// Leaves the character that stopped a read in the input.
void give_back(std::FILE* in, int c) {
    if (c != EOF) std::ungetc(c, in);
}

// Magnitude of the most negative 32-bit integer; larger magnitudes saturate to it while reading.
constexpr std::int64_t saturation = std::int64_t{1} << 31;

}  // namespace

Found read_integer(std::FILE* in, std::int32_t& target) {
    int c = next_char(in);
    while (is_space(c))
        c = next_char(in);
    const bool negative = c == '-';
    if (c == '-' || c == '+') c = next_char(in);
    if (!is_digit(c)) {
        give_back(in, c);
        return c == EOF ? Found::end : Found::no_number;
    }
    std::int64_t magnitude = 0;
    for (; is_digit(c); c = next_char(in))
        magnitude = std::min(magnitude * 10 + (c - '0'), saturation);
    give_back(in, c);
    target = static_cast<std::int32_t>(negative ? -magnitude : std::min(magnitude, saturation - 1));
    return Found::number;
}

Found read_fraction(std::FILE* in, racio& target) {
    const Found numerator = read_integer(in, target.citatel);
    if (numerator != Found::number) return numerator;
    const int c = next_char(in);
    if (c == '/')
        read_integer(in, target.jmenovatel);
    else
        give_back(in, c);
    return Found::number;
}

bool read_yes(std::FILE* in) {
    for (;;) {
        const int c = next_char(in);
        if (c == 'A' || c == 'a') return true;
        if (c == 'N' || c == 'n' || c == EOF) return false;
    }
}

std::optional<Failure> read_failure(std::FILE* in) {
    if (!std::ferror(in)) return std::nullopt;
    return failure_of("čtení standardního vstupu selhalo", read_errno, "chyba čtení");
}
