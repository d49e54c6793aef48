#include "rational.hpp"
#include "streams.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

constexpr std::int32_t min32 = INT32_MIN;
constexpr std::int32_t bound = 1073741824;  // 2^30

// The signed divisor by Euclid's repeated subtraction, which mcdl must agree with.
std::int64_t divisor_by_subtraction(std::int64_t a, std::int64_t b) {
    if (a == 0 || b == 0) return -1;
    const std::int64_t s = b < 0 ? -1 : 1;
    for (a = std::llabs(a), b = std::llabs(b); a != b;) {
        if (a > b)
            a -= b;
        else
            b -= a;
    }
    return a * s;
}

std::string text(P_RACIO r) {
    return r == nullptr ? "null" : written_by([&](std::FILE* out) { r_print(r, out); });
}
std::string text(racio r) { return text(&r); }

TEST(Divisor, AgreesWithRepeatedSubtractionAndHandlesTheExtremes) {
    for (std::int64_t a = -40; a <= 40; ++a)
        for (std::int64_t b = -40; b <= 40; ++b)
            ASSERT_EQ(mcdl(a, b), divisor_by_subtraction(a, b)) << a << ", " << b;
    EXPECT_EQ(mcdl(bound, 1), 1);  // 2^30 - 1 steps of repeated subtraction
    EXPECT_EQ(mcd(1, bound), 1);
    EXPECT_EQ(mcdl(min32, min32), min32);
    EXPECT_EQ(mcdl(INT64_MIN, INT64_MIN), INT64_MIN);
}

// A part that would come out as 2^31 has no 32-bit form: the record stays as it was.
TEST(Reduction, NormalisesSignsAndZerosAndKeepsWhatHasNoThirtyTwoBitForm) {
    const racio cases[][2] = {{{6, -4}, {-3, 2}},        {{0, -7}, {0, 1}},
                              {{3, 0}, {0, 0}},          {{min32, -1}, {min32, -1}},
                              {{min32, -2}, {bound, 1}}, {{4, min32}, {-1, 536870912}}};
    for (const auto& [in, out] : cases) {
        racio r = in;
        r_zkrat(&r);
        EXPECT_EQ(text(r), text(out)) << text(in);
    }
}

TEST(Arithmetic, ReducesWritesZeroOverTheNegatedProductAndBoundsPartsAbove) {
    racio half{1, 2}, third{1, 3}, minus_half{-1, 2}, top{bound, 1}, zero{0, 1}, one{1, 1},
        minus_one{-1, 1}, low{-2000000000, 1}, tiny{1, bound}, smaller{1, bound + 1};
    EXPECT_EQ(text(r_add(&half, &third)), "5/6");
    EXPECT_EQ(text(r_add(&half, &minus_half)), "0/-4");
    EXPECT_EQ(text(r_sub(&half, &half)), "0/-4");
    EXPECT_EQ(text(half), "1/2");
    EXPECT_EQ(text(r_add(&top, &zero)), "1073741824/1");
    EXPECT_EQ(text(r_add(&top, &one)), "null");
    EXPECT_EQ(text(r_add(&low, &minus_one)), "-2000000001/1");
    EXPECT_EQ(text(r_sub(&tiny, &smaller)), "null");
    EXPECT_EQ(text(r_mul(&half, &third)), "1/6");
    EXPECT_EQ(text(r_mul(&half, &zero)), "0/-2");
    EXPECT_EQ(r_create(3, 0), nullptr);
}

// 32-bit products that wrapped around would give 1/65536, a positive sum, and 0/0.
TEST(Arithmetic, IsExactWithoutWrapAroundOrOverflow) {
    racio big{65536, 1}, small{1, 65536}, minus_small{-1, 65536}, low{-2000000000, 1};
    EXPECT_EQ(text(r_add(&big, &small)), "null");
    EXPECT_EQ(text(r_add(&low, &low)), "null");
    EXPECT_EQ(text(r_add(&small, &minus_small)), "null");
    racio unreduced_one{min32, min32};  // cross products summing to 2^63
    EXPECT_EQ(text(r_add(&unreduced_one, &unreduced_one)), "2/1");
    racio a{-bound, 1}, most_negative{min32, 1};
    EXPECT_EQ(text(r_sub(&a, &most_negative)), "1073741824/1");
    EXPECT_EQ(text(most_negative), "-2147483648/1");
}

TEST(Comparison, GivesTheDifferenceOrItsExactSignAndReducesBothArguments) {
    struct Case {
        racio a, b;
        int expected;
    };
    const Case cases[] = {{{2, 4}, {1, 2}, 0},
                          {{1, 2}, {1, 3}, 1},
                          {{1, 3}, {1, 2}, -1},
                          {{12, 2}, {-3, -3}, 5},
                          {{-1, 1}, {bound, 1}, -1073741825},
                          {{bound, 1}, {-1, 1}, 1},     // difference above the bound
                          {{65536, 1}, {1, 65536}, 1},  // would wrap around in 32 bits
                          {{min32, 1}, {1, 1}, -1},
                          {{-2147483647, 1}, {1, 1}, min32},
                          {{min32, -1}, {1, 1}, 1},
                          {{-1, min32}, {0, 1}, 1},
                          {{0, 1}, {-1, min32}, -1},
                          {{min32, min32}, {1, 1}, 0}};
    for (Case c : cases) {
        const std::string typed = text(c.a) + " " + text(c.b);
        racio a = c.a, b = c.b, expected_a = c.a;
        r_zkrat(&expected_a);
        EXPECT_EQ(r_cmp(&a, &b), c.expected) << typed;
        EXPECT_EQ(text(a), text(expected_a)) << typed;
    }
}

TEST(Mrand, AssemblesFourBytesLittleEndian) {
    std::FILE* source = input_of(std::string("\x01\x02\x03\x04\xff\xfe\xfd\xfc\xaa", 9));
    EXPECT_EQ(mrand_from(source), 0x04030201u);
    EXPECT_EQ(mrand_from(source), 0xfcfdfeffu);
    EXPECT_EQ(mrand_from(source), std::nullopt);  // one byte left
    std::fclose(source);
    const auto word = [] {
        const Read<std::uint32_t> w = mrand();
        EXPECT_FALSE(w.failure.has_value());
        return w.value;
    };
    EXPECT_NE(word() ^ word(), word() ^ word());  // equal only once in 2^32
}

}  // namespace
