// vevuvedu: the one way the program reads a decimal number, for the command line, the
// environment, the box size, the taken-cell file and the unit files alike. (The edge length N
// alone is read like strtol, as it always was: see arguments.cpp.)
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

enum class NumberFault { none, malformed, out_of_range };

// A number read: its value, the characters it took, and what was wrong (value and length are
// meaningful only without a fault).
template <class T>
struct Number {
    T value = 0;
    std::size_t length = 0;
    NumberFault fault = NumberFault::none;
};

// The number at the start of `text`: a '-' where `least` is below 0, then every decimal digit
// that follows (leading zeros allowed); malformed without a digit, out of range outside
// `least` .. `most`. Whatever follows the digits is the caller's.
Number<int64_t> number_at(std::string_view text, int64_t least, int64_t most);

// `text` is one number as the program writes it: nothing before or after it, no '+', no
// leading zero, no "-0".
Number<int64_t> exact_number(std::string_view text, int64_t least, int64_t most);

// The same for a count of the full 64 bits (no sign).
Number<uint64_t> exact_count(std::string_view text);

// A number of seconds: a decimal number with an optional fraction (as strtod reads it, but
// starting with a digit and taking the whole text), finite, at most 1e9, above 0 or, with
// `zero`, 0 as well.
std::optional<double> seconds(const char* text, bool zero);
