// orv-editor: exact fractions of two 32-bit integers.
//
// A fraction is not kept in lowest terms by itself: r_create stores what it is given, r_zkrat
// reduces a record in place, and r_add, r_sub and r_mul give reduced results. After reduction the
// denominator is positive and the numerator carries the sign; a zero result of the arithmetic is
// written 0 over the negated product of the denominators, and r_zkrat turns any zero into 0/1.
// A result part may not exceed 2^30; a result that breaks the bound, or that has no 32-bit form,
// is absent (null). Every operation that yields a fraction hands out a fresh record.
#pragma once

#include "failure.hpp"

#include <cstdint>
#include <cstdio>
#include <optional>

struct racio {
    std::int32_t citatel;     // numerator
    std::int32_t jmenovatel;  // denominator
};
using P_RACIO = racio*;

// Largest part a result of the arithmetic may have.
inline constexpr std::int64_t r_bound = 1073741824;  // 2^30

// Signed greatest common divisor: it carries the sign of b, so dividing a numerator and a
// denominator by mcdl(numerator, denominator) leaves the denominator positive. -1 when a or b
// is 0.
std::int64_t mcdl(std::int64_t a, std::int64_t b);
std::int64_t mcd(std::int64_t a, std::int64_t b);

void r_zkrat(P_RACIO r);
P_RACIO r_alloc();
P_RACIO r_create(std::int32_t citatel, std::int32_t jmenovatel);
P_RACIO r_add(P_RACIO a, P_RACIO b);
P_RACIO r_sub(P_RACIO a, P_RACIO b);
P_RACIO r_mul(P_RACIO a, P_RACIO b);
void r_print(P_RACIO r, std::FILE* out = stdout);
int r_cmp(P_RACIO a, P_RACIO b);

// A 32-bit word from the system random device, or why there is none (the device cannot be opened
// or read); nothing in the dialogue uses it.
Read<std::uint32_t> mrand();
// The next little-endian 32-bit word of `source`; nothing when it holds fewer than four bytes.
std::optional<std::uint32_t> mrand_from(std::FILE* source);
