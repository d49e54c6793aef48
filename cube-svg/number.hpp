// vevuvedu-svg: the one way the program reads a decimal number, for the numbers of vevuvedu's
// output (a filling's cells, the final line's count) and the edges of --box alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// The number at position `at` of `text`, spelled as vevuvedu writes numbers: a '-' where `least`
// is below 0, then decimal digits without a leading zero ("-0" is 0), no '+', from `least` to
// `most`. `at` is left after the digits, and what follows them is the caller's; nothing when
// there is no such number (`at` is then anywhere). However many digits stand there, none
// overflows.
std::optional<int64_t> number_at(std::string_view text, std::size_t& at, int64_t least,
                                 int64_t most);
