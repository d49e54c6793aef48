// The one number reader of vevuvedu: range, sign, overflow, what follows, and the spelling a
// number must have where the program reads back what it writes.
#include "number.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Number, ReadsTheDigitsAtTheStartWithinItsRange) {
    const Number<int64_t> n = number_at("042x5", 0, 100);
    EXPECT_EQ(n.fault, NumberFault::none);
    EXPECT_EQ(n.value, 42);
    EXPECT_EQ(n.length, 3u);
    EXPECT_EQ(number_at("x5", 0, 100).fault, NumberFault::malformed);
    EXPECT_EQ(number_at("-5", 0, 100).fault, NumberFault::malformed);  // no sign below 0
    EXPECT_EQ(number_at("101", 0, 100).fault, NumberFault::out_of_range);
    EXPECT_EQ(number_at("-9223372036854775808", INT64_MIN, 0).value, INT64_MIN);
    EXPECT_EQ(number_at("9223372036854775807", 0, INT64_MAX).value, INT64_MAX);
    for (const char* beyond : {"9223372036854775808", "99999999999999999999999"}) {
        const Number<int64_t> far = number_at(beyond, 0, INT64_MAX);
        EXPECT_EQ(far.fault, NumberFault::out_of_range) << beyond;
    }
    EXPECT_EQ(number_at("-9223372036854775809", INT64_MIN, 0).fault, NumberFault::out_of_range);
}

TEST(Number, AnExactNumberIsSpelledAsTheProgramWritesIt) {
    EXPECT_EQ(exact_number("0", 0, 9).value, 0);
    EXPECT_EQ(exact_number("-1", -1, 9).value, -1);
    for (const char* wrong : {"", "00", "07", "-0", "+7", " 7", "7 ", "7x", "-"})
        EXPECT_EQ(exact_number(wrong, -9, 9).fault, NumberFault::malformed) << '"' << wrong << '"';
    EXPECT_EQ(exact_number("10", -9, 9).fault, NumberFault::out_of_range);
    EXPECT_EQ(exact_count("18446744073709551615").value, UINT64_MAX);
    EXPECT_EQ(exact_count("18446744073709551616").fault, NumberFault::out_of_range);
    EXPECT_EQ(exact_count("012").fault, NumberFault::malformed);
    EXPECT_EQ(exact_count("-1").fault, NumberFault::malformed);
}

TEST(Number, SecondsAreADecimalFromADigitOnFinite) {
    EXPECT_EQ(seconds("0.5", false), 0.5);
    EXPECT_EQ(seconds("0", true), 0.0);
    for (const char* wrong : {"0", "-1", "+1", ".5", " 1", "1s", "inf", "nan", "1e10", ""})
        EXPECT_FALSE(seconds(wrong, false)) << '"' << wrong << '"';
}

}  // namespace
