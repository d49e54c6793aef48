// vevuvedu: reading a decimal number.
#include "number.hpp"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {

// Adds the digits at the start of `text` to `magnitude`, as long as it stays at most `bound`;
// the digits taken in `used`, false when the number goes past `bound` (every digit is taken).
bool add_digits(std::string_view text, uint64_t bound, uint64_t& magnitude, std::size_t& used) {
    bool within = true;
    for (; used < text.size() && text[used] >= '0' && text[used] <= '9'; ++used) {
        const auto digit = static_cast<uint64_t>(text[used] - '0');
        if (!within || magnitude > (bound - digit) / 10) {
            within = false;
            continue;
        }
        magnitude = magnitude * 10 + digit;
    }
    return within;
}

// No leading zero, and no "-0": the number is spelled as the program writes it.
bool canonical(std::string_view digits) { return !(digits.size() > 1 && digits[0] == '0'); }

}  // namespace

Number<int64_t> number_at(std::string_view text, int64_t least, int64_t most) {
    Number<int64_t> n;
    const bool negative = least < 0 && !text.empty() && text[0] == '-';
    std::size_t used = negative ? 1 : 0;
    const std::size_t first = used;
    uint64_t magnitude = 0;
    // The bound a magnitude may reach: past it the number is out of range whatever the rest.
    const uint64_t bound = negative ? uint64_t{1} << 63 : static_cast<uint64_t>(INT64_MAX);
    const bool within = add_digits(text, bound, magnitude, used);
    if (used == first) {
        n.fault = NumberFault::malformed;
        return n;
    }
    n.length = used;
    if (!within) {
        n.fault = NumberFault::out_of_range;
        return n;
    }
    n.value = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
    if (n.value < least || n.value > most) n.fault = NumberFault::out_of_range;
    return n;
}

Number<int64_t> exact_number(std::string_view text, int64_t least, int64_t most) {
    Number<int64_t> n = number_at(text, least, most);
    const std::string_view digits = text.substr(!text.empty() && text[0] == '-' ? 1 : 0);
    if (n.fault == NumberFault::malformed || n.length != text.size() || !canonical(digits) ||
        text == "-0")
        n.fault = NumberFault::malformed;
    return n;
}

Number<uint64_t> exact_count(std::string_view text) {
    Number<uint64_t> c;
    std::size_t used = 0;
    const bool within = add_digits(text, UINT64_MAX, c.value, used);
    c.length = used;
    if (used == 0 || used != text.size() || !canonical(text))
        c.fault = NumberFault::malformed;
    else if (!within)
        c.fault = NumberFault::out_of_range;
    return c;
}

std::optional<double> seconds(const char* text, bool zero) {
    if (*text < '0' || *text > '9') return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text, &end);
    if (*end != '\0' || errno == ERANGE || !std::isfinite(value) || value > 1e9 ||
        (zero ? value < 0 : value <= 0))
        return std::nullopt;
    return value;
}
