#include "rational.hpp"
#include "streams.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <set>

namespace {

constexpr std::int32_t int_min = INT32_MIN;
constexpr std::int32_t bound = 1073741824;  // 2^30

// The signed divisor by Euclid's repeated subtraction, the definition mcdl must agree with.
std::int64_t divisor_by_subtraction(std::int64_t a, std::int64_t b) {
    if (a == 0 || b == 0) return -1;
    const std::int64_t s = b < 0 ? -1 : 1;
    a = std::llabs(a);
    b = std::llabs(b);
    while (a != b) {
        if (a > b)
            a -= b;
        else
            b -= a;
    }
    return a * s;
}

::testing::AssertionResult is(const racio& r, std::int32_t n, std::int32_t d) {
    if (r.citatel == n && r.jmenovatel == d) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << r.citatel << "/" << r.jmenovatel;
}

::testing::AssertionResult is(P_RACIO r, std::int32_t n, std::int32_t d) {
    if (r == nullptr) return ::testing::AssertionFailure() << "no record";
    return is(*r, n, d);
}

racio reduced(racio r) {
    r_zkrat(&r);
    return r;
}

TEST(Divisor, CarriesTheSignOfTheSecondArgumentAndIsMinusOneForZero) {
    EXPECT_EQ(mcdl(6, -4), -2);
    EXPECT_EQ(mcdl(-6, 4), 2);
    EXPECT_EQ(mcdl(-6, -4), -2);
    EXPECT_EQ(mcdl(0, 5), -1);
    EXPECT_EQ(mcdl(5, 0), -1);
    EXPECT_EQ(mcdl(0, 0), -1);
    EXPECT_EQ(mcdl(7, 7), 7);
    EXPECT_EQ(mcd(6, -4), -2);
    for (std::int64_t a = -40; a <= 40; ++a)
        for (std::int64_t b = -40; b <= 40; ++b)
            ASSERT_EQ(mcdl(a, b), divisor_by_subtraction(a, b)) << a << ", " << b;
}

// Repeated subtraction would take 2^30 - 1 steps for the first two.
TEST(Divisor, HandlesTheExtremes) {
    EXPECT_EQ(mcdl(bound, 1), 1);
    EXPECT_EQ(mcdl(1, bound), 1);
    EXPECT_EQ(mcdl(int_min, 1), 1);
    EXPECT_EQ(mcdl(int_min, -1), -1);
    EXPECT_EQ(mcdl(int_min, int_min), int_min);
    EXPECT_EQ(mcdl(1, int_min), -1);
    EXPECT_EQ(mcdl(INT64_MIN, INT64_MIN), INT64_MIN);
    EXPECT_EQ(mcdl(INT64_MAX, INT64_MIN), -1);
}

TEST(Reduction, GivesAPositiveDenominatorAndNormalisesZeros) {
    EXPECT_TRUE(is(reduced({6, -4}), -3, 2));
    EXPECT_TRUE(is(reduced({-6, -4}), 3, 2));
    EXPECT_TRUE(is(reduced({0, 7}), 0, 1));
    EXPECT_TRUE(is(reduced({0, -7}), 0, 1));
    EXPECT_TRUE(is(reduced({3, 0}), 0, 0));
    EXPECT_TRUE(is(reduced({5, 1}), 5, 1));
}

// -2147483648 over -1 would reduce to 2^31, which has no 32-bit form: it stays as it is.
TEST(Reduction, WorksInSixtyFourBitsAndKeepsWhatHasNoThirtyTwoBitForm) {
    EXPECT_TRUE(is(reduced({int_min, -1}), int_min, -1));
    EXPECT_TRUE(is(reduced({-1, int_min}), -1, int_min));
    EXPECT_TRUE(is(reduced({int_min, -2}), bound, 1));
    EXPECT_TRUE(is(reduced({int_min, int_min}), 1, 1));
    EXPECT_TRUE(is(reduced({4, int_min}), -1, 536870912));
    EXPECT_TRUE(is(reduced({int_min, 1}), int_min, 1));
}

TEST(Creation, StoresThePartsUnchangedAndRefusesAZeroDenominator) {
    EXPECT_TRUE(is(r_create(2, -4), 2, -4));
    EXPECT_EQ(r_create(3, 0), nullptr);
    EXPECT_NE(r_create(1, 1), r_create(1, 1));  // every record is a fresh one
}

TEST(Addition, ReducesAndWritesAZeroOverTheNegatedProductOfDenominators) {
    racio half{1, 2}, third{1, 3}, minus_half{-1, 2};
    EXPECT_TRUE(is(r_add(&half, &third), 5, 6));
    EXPECT_TRUE(is(r_add(&half, &minus_half), 0, -4));
    EXPECT_TRUE(is(r_sub(&half, &half), 0, -4));
    EXPECT_TRUE(is(half, 1, 2));
    EXPECT_TRUE(is(r_sub(&third, &half), -1, 6));
    racio a{3, -4}, b{1, -4};
    EXPECT_TRUE(is(r_add(&a, &b), -1, 1));
}

TEST(Addition, BoundsThePartsAboveOnly) {
    racio top{bound, 1}, zero{0, 1}, one{1, 1}, minus_one{-1, 1}, low{-2000000000, 1};
    EXPECT_TRUE(is(r_add(&top, &zero), bound, 1));
    EXPECT_EQ(r_add(&top, &one), nullptr);
    EXPECT_EQ(r_sub(&top, &minus_one), nullptr);
    EXPECT_TRUE(is(r_add(&low, &minus_one), -2000000001, 1));
    racio tiny{1, bound}, smaller{1, bound + 1};
    EXPECT_EQ(r_sub(&tiny, &smaller), nullptr);  // the denominator exceeds the bound
}

// The products are exact: 32-bit products that wrapped around would give 1/65536 for the first
// sum, a positive number for the second and 0/0 for the third.
TEST(Addition, NeverWrapsAround) {
    racio big{65536, 1}, small{1, 65536}, minus_small{-1, 65536}, low{-2000000000, 1};
    EXPECT_EQ(r_add(&big, &small), nullptr);
    EXPECT_EQ(r_add(&low, &low), nullptr);
    EXPECT_EQ(r_add(&small, &minus_small), nullptr);  // 0 over -2^32 has no 32-bit form
    racio m{int_min, int_min};  // the sum of the cross products is 2^63
    EXPECT_TRUE(is(r_add(&m, &m), 2, 1));
}

TEST(Subtraction, HandlesTheMostNegativeNumeratorAndLeavesItsArgument) {
    racio a{-1073741824, 1}, b{int_min, 1};
    EXPECT_TRUE(is(r_sub(&a, &b), bound, 1));
    EXPECT_TRUE(is(b, int_min, 1));
    EXPECT_TRUE(is(r_sub(&b, &b), 0, -1));
    racio one{1, 1};
    EXPECT_EQ(r_sub(&one, &b), nullptr);
}

TEST(Multiplication, ReducesTheProduct) {
    racio a{2, 3}, b{3, 4}, zero{0, 5};
    EXPECT_TRUE(is(r_mul(&a, &b), 1, 2));
    EXPECT_TRUE(is(r_mul(&a, &zero), 0, -15));
    racio big{32768, 1};
    EXPECT_TRUE(is(r_mul(&big, &big), bound, 1));
    racio bigger{32769, 1};
    EXPECT_EQ(r_mul(&bigger, &bigger), nullptr);
}

TEST(Comparison, ReturnsTheNumeratorOfTheDifferenceAndReducesBothArguments) {
    racio a{2, 4}, b{1, 2};
    EXPECT_EQ(r_cmp(&a, &b), 0);
    EXPECT_TRUE(is(a, 1, 2));
    racio half{1, 2}, third{1, 3};
    EXPECT_EQ(r_cmp(&half, &third), 1);
    EXPECT_EQ(r_cmp(&third, &half), -1);
    racio six{12, 2}, one{-3, -3};
    EXPECT_EQ(r_cmp(&six, &one), 5);
    EXPECT_TRUE(is(six, 6, 1));
    EXPECT_TRUE(is(one, 1, 1));
}

// When the difference breaks the bound the sign comes from the exact cross products.
TEST(Comparison, GivesTheExactSignWhenTheDifferenceHasNoResult) {
    racio top{bound, 1}, minus_one{-1, 1};
    EXPECT_EQ(r_cmp(&top, &minus_one), 1);
    EXPECT_EQ(r_cmp(&minus_one, &top), -1073741825);  // no lower bound: the difference itself
    racio big{65536, 1}, small{1, 65536};
    EXPECT_EQ(r_cmp(&big, &small), 1);
    EXPECT_EQ(r_cmp(&small, &big), -1);
}

TEST(Comparison, HandlesTheMostNegativeParts) {
    racio one{1, 1};
    racio a{int_min, 1};
    EXPECT_EQ(r_cmp(&a, &one), -1);
    racio b{-2147483647, 1};  // the difference from 1/1 has the numerator -2147483648
    EXPECT_EQ(r_cmp(&b, &one), int_min);
    racio c{int_min, -1};  // 2^31, kept unreduced
    EXPECT_EQ(r_cmp(&c, &one), 1);
    EXPECT_TRUE(is(c, int_min, -1));
    racio d{-1, int_min}, zero{0, 1};  // 1/2^31 with a negative denominator
    EXPECT_EQ(r_cmp(&d, &zero), 1);
    EXPECT_EQ(r_cmp(&zero, &d), -1);
    racio e{int_min, int_min};
    EXPECT_EQ(r_cmp(&e, &one), 0);
}

TEST(Printing, WritesBothPartsAsTheyAre) {
    racio zero{0, 1}, negative_denominator{1, -2}, three{3, 1}, extreme{int_min, -1};
    EXPECT_EQ(written_by([&](std::FILE* out) { r_print(&zero, out); }), "0/1");
    EXPECT_EQ(written_by([&](std::FILE* out) { r_print(&negative_denominator, out); }), "1/-2");
    EXPECT_EQ(written_by([&](std::FILE* out) { r_print(&three, out); }), "3/1");
    EXPECT_EQ(written_by([&](std::FILE* out) { r_print(&extreme, out); }), "-2147483648/-1");
}

TEST(RandomWord, AssemblesFourBytesLittleEndian) {
    std::FILE* source = input_of(std::string("\x01\x02\x03\x04\xff\xfe\xfd\xfc\xaa", 9));
    EXPECT_EQ(mrand_from(source), 0x04030201u);
    EXPECT_EQ(mrand_from(source), 0xfcfdfeffu);
    EXPECT_EQ(mrand_from(source), std::nullopt);  // one byte left
    std::fclose(source);
}

// The device's words are not predictable; four equal words would mean it is not being read.
TEST(RandomWord, ReadsTheRandomDevice) {
    std::set<std::uint32_t> words;
    for (int k = 0; k < 4; ++k) words.insert(mrand());
    EXPECT_GT(words.size(), 1u);
}

}  // namespace
