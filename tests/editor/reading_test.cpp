#include "reading.hpp"
#include "streams.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

struct IntegerRead {
    Read read;
    std::int32_t value;
    std::string rest;
};

IntegerRead integer_from(const std::string& text, std::int32_t before = 77) {
    std::FILE* in = input_of(text);
    IntegerRead r{Read::end, before, ""};
    r.read = read_integer(in, r.value);
    r.rest = rest_of(in);
    return r;
}

struct FractionRead {
    Read read;
    racio value;
    std::string rest;
};

FractionRead fraction_from(const std::string& text) {
    std::FILE* in = input_of(text);
    FractionRead r{Read::end, {8, 9}, ""};
    r.read = read_fraction(in, r.value);
    r.rest = rest_of(in);
    return r;
}

TEST(IntegerRead, SkipsWhiteSpaceAndStopsAtTheFirstCharacterThatDoesNotFit) {
    IntegerRead r = integer_from(" \n\t\r-42x");
    EXPECT_EQ(r.read, Read::number);
    EXPECT_EQ(r.value, -42);
    EXPECT_EQ(r.rest, "x");
    r = integer_from("+7\n");
    EXPECT_EQ(r.value, 7);
    EXPECT_EQ(r.rest, "\n");
    r = integer_from("0x10");
    EXPECT_EQ(r.value, 0);
    EXPECT_EQ(r.rest, "x10");
}

// A sign is taken as the start of a number; what stops the read after it stays in the input.
TEST(IntegerRead, NoNumberLeavesTheTargetAndTheStoppingCharacter) {
    IntegerRead r = integer_from("  abc");
    EXPECT_EQ(r.read, Read::no_number);
    EXPECT_EQ(r.value, 77);
    EXPECT_EQ(r.rest, "abc");
    r = integer_from("-x");
    EXPECT_EQ(r.read, Read::no_number);
    EXPECT_EQ(r.rest, "x");
    r = integer_from("- 5");
    EXPECT_EQ(r.read, Read::no_number);
    EXPECT_EQ(r.rest, " 5");
}

TEST(IntegerRead, EndOfInputBeforeAnyDigitIsTheEnd) {
    EXPECT_EQ(integer_from("").read, Read::end);
    EXPECT_EQ(integer_from(" \n\n ").read, Read::end);
    IntegerRead r = integer_from("-");
    EXPECT_EQ(r.read, Read::end);
    EXPECT_EQ(r.value, 77);
    r = integer_from("12");
    EXPECT_EQ(r.read, Read::number);
    EXPECT_EQ(r.value, 12);
}

TEST(IntegerRead, NumbersBeyondThirtyTwoBitsSaturate) {
    EXPECT_EQ(integer_from("2147483647").value, 2147483647);
    EXPECT_EQ(integer_from("2147483648").value, 2147483647);
    EXPECT_EQ(integer_from("-2147483648").value, INT32_MIN);
    EXPECT_EQ(integer_from("-2147483649").value, INT32_MIN);
    IntegerRead r = integer_from("99999999999999999999999999/3");
    EXPECT_EQ(r.value, 2147483647);
    EXPECT_EQ(r.rest, "/3");  // every digit is consumed
    EXPECT_EQ(integer_from("-99999999999999999999999999").value, INT32_MIN);
    EXPECT_EQ(integer_from("0000000000000000000000012").value, 12);
}

TEST(FractionRead, TheSlashFollowsTheNumeratorDirectly) {
    FractionRead r = fraction_from("3/ 4");
    EXPECT_EQ(r.value.citatel, 3);
    EXPECT_EQ(r.value.jmenovatel, 4);
    r = fraction_from("3 /4");
    EXPECT_EQ(r.value.citatel, 3);
    EXPECT_EQ(r.value.jmenovatel, 9);
    EXPECT_EQ(r.rest, " /4");
    r = fraction_from("\n-3/\n\n-4\n");
    EXPECT_EQ(r.value.citatel, -3);
    EXPECT_EQ(r.value.jmenovatel, -4);
    EXPECT_EQ(r.rest, "\n");
}

TEST(FractionRead, APartNotSuppliedKeepsItsValue) {
    FractionRead r = fraction_from("3/x");
    EXPECT_EQ(r.read, Read::number);
    EXPECT_EQ(r.value.citatel, 3);
    EXPECT_EQ(r.value.jmenovatel, 9);
    EXPECT_EQ(r.rest, "x");
    r = fraction_from("3/");
    EXPECT_EQ(r.read, Read::number);
    EXPECT_EQ(r.value.jmenovatel, 9);
    r = fraction_from("/3");
    EXPECT_EQ(r.read, Read::no_number);
    EXPECT_EQ(r.value.citatel, 8);
    EXPECT_EQ(r.rest, "/3");
    EXPECT_EQ(fraction_from(" \n").read, Read::end);
}

TEST(YesNo, TakesOnlyTheFirstOfANaAndSkipsEverythingElse) {
    std::FILE* in = input_of(" x?\n7Ano\n");
    EXPECT_TRUE(read_yes(in));
    EXPECT_EQ(rest_of(in), "no\n");
    in = input_of("zz\tn\n");
    EXPECT_FALSE(read_yes(in));
    EXPECT_EQ(rest_of(in), "\n");
    in = input_of("a");
    EXPECT_TRUE(read_yes(in));
    std::fclose(in);
    in = input_of("N");
    EXPECT_FALSE(read_yes(in));
    std::fclose(in);
}

TEST(YesNo, EndOfInputAnswersNo) {
    std::FILE* in = input_of("");
    EXPECT_FALSE(read_yes(in));
    std::fclose(in);
    in = input_of("xyz 123\n");
    EXPECT_FALSE(read_yes(in));
    std::fclose(in);
}

}  // namespace
