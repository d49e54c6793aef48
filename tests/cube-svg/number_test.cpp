// The one number reader: vevuvedu's spelling, the range, and what follows left to the caller.
#include "number.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

std::optional<int64_t> whole(std::string_view text, int64_t least, int64_t most) {
    std::size_t at = 0;
    const std::optional<int64_t> n = number_at(text, at, least, most);
    return n && at == text.size() ? n : std::nullopt;
}

TEST(Number, ReadsVevuvedusSpellingWithinItsRange) {
    EXPECT_EQ(whole("0", 0, 9), 0);
    EXPECT_EQ(whole("-0", -1, 9), 0);
    EXPECT_EQ(whole("-2147483648", INT32_MIN, INT32_MAX), INT32_MIN);
    EXPECT_EQ(whole("2147483647", INT32_MIN, INT32_MAX), INT32_MAX);
    for (const char* wrong : {"", "-", "+1", "01", "-01", " 1", "2147483648", "-2147483649",
                              "99999999999999999999999999"})
        EXPECT_FALSE(whole(wrong, INT32_MIN, INT32_MAX)) << '"' << wrong << '"';
    EXPECT_FALSE(whole("-1", 0, 9));  // no sign where the range has no negative number
    EXPECT_FALSE(whole("0", 1, 9));
    std::size_t at = 3;
    EXPECT_EQ(number_at("ab 42 x", at, 0, 99), 42);
    EXPECT_EQ(at, 5u);  // left on what follows the digits
}

}  // namespace
