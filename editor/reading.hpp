// orv-editor: how the user's numbers and answers are read.
//
// A number is read the way the format "%d/%d" reads it: white space (blanks, tabs, line feeds)
// before it is skipped, the numerator is an optionally signed decimal integer, the slash must
// follow it directly, and white space may stand between the slash and the denominator ("3/ 4" is
// 3/4, while "3 /4" is 3 alone and leaves " /4" in the input). A read stops at the first character
// that does not fit and leaves that character in the input; a part the input does not supply
// keeps the value it had. A number beyond the 32-bit range is read in full and saturates to
// -2147483648 or 2147483647.
#pragma once

#include "failure.hpp"
#include "rational.hpp"

#include <cstdint>
#include <cstdio>
#include <optional>

// A read error (a closed descriptor, a directory as input) ends every read below as the end of
// the input does; `read_failure` tells the two apart afterwards.

// What a read found.
enum class Found {
    number,     // a number; its value has been stored
    no_number,  // a character that cannot start a number; it stays in the input
    end,        // the end of the input before any digit
};

// Reads a decimal integer ("%d") into `target`.
Found read_integer(std::FILE* in, std::int32_t& target);

// Reads "%d/%d" into the parts of `target`; the result tells what the numerator's read found.
Found read_fraction(std::FILE* in, racio& target);

// The answer to a yes/no question: reads single characters until one of A, N, a, n arrives,
// skipping everything else, and takes only that character. True for A or a. The end of the input
// answers N.
bool read_yes(std::FILE* in);

// The read error of `in`, if a read has failed rather than met the end of the input.
std::optional<Failure> read_failure(std::FILE* in);
