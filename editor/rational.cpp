// orv-editor: exact fractions of two 32-bit integers.
#include "rational.hpp"

#include "records.hpp"

#include <cerrno>
#include <cstdlib>

namespace {

// Every product of two 32-bit parts, and every sum of two such products, fits in 128 bits, so the
// arithmetic below is exact: nothing wraps around and nothing overflows.
__extension__ typedef __int128 Int128;
__extension__ typedef unsigned __int128 UInt128;

UInt128 magnitude(Int128 v) { return v < 0 ? UInt128(0) - UInt128(v) : UInt128(v); }

// Euclid by remainders. It finds the same divisor as Euclid by repeated subtraction, but its
// number of steps grows with the number of digits, not with the ratio of the arguments.
UInt128 common_divisor(UInt128 a, UInt128 b) {
    while (b != 0) {
        const UInt128 rest = a % b;
        a = b;
        b = rest;
    }
    return a;
}

// The signed divisor of mcdl on 128-bit values. Its magnitude never exceeds |b|, so it has the
// width of its arguments.
Int128 signed_divisor(Int128 a, Int128 b) {
    if (a == 0 || b == 0) return -1;
    const Int128 g = static_cast<Int128>(common_divisor(magnitude(a), magnitude(b)));
    return b < 0 ? -g : g;
}

bool fits_32_bits(Int128 v) { return v >= INT32_MIN && v <= INT32_MAX; }

// Reduces n/d and hands it out as a fresh record; null when a part exceeds the bound or has no
// 32-bit form. A zero n divides by -1, giving 0 over -d.
P_RACIO reduced_result(Int128 n, Int128 d) {
    const Int128 m = signed_divisor(n, d);
    n /= m;
    d /= m;
    if (n > r_bound || d > r_bound || !fits_32_bits(n) || !fits_32_bits(d)) return nullptr;
    P_RACIO r = r_alloc();
    r->citatel = static_cast<std::int32_t>(n);
    r->jmenovatel = static_cast<std::int32_t>(d);
    return r;
}

// an/ad + bn/bd, with bn given apart so that a difference never has to negate a 32-bit part.
P_RACIO sum_of(P_RACIO a, Int128 bn, std::int32_t bd) {
    const Int128 d = Int128{a->jmenovatel} * bd;
    const Int128 n = Int128{a->jmenovatel} * bn + Int128{bd} * a->citatel;
    return reduced_result(n, d);
}

// The sign of a - b computed from the cross products; either denominator may be negative.
int exact_sign(P_RACIO a, P_RACIO b) {
    const Int128 cross = Int128{a->citatel} * b->jmenovatel - Int128{b->citatel} * a->jmenovatel;
    const int sign = (cross > 0) - (cross < 0);
    const int denominators = (a->jmenovatel > 0 ? 1 : -1) * (b->jmenovatel > 0 ? 1 : -1);
    return sign * denominators;
}

}  // namespace

std::int64_t mcdl(std::int64_t a, std::int64_t b) {
    return static_cast<std::int64_t>(signed_divisor(a, b));
}

std::int64_t mcd(std::int64_t a, std::int64_t b) { return mcdl(a, b); }

// The reduction works in 64 bits; a part that would come out as 2^31, which has no 32-bit form
// (-2147483648 over -1), leaves the record as it was.
void r_zkrat(P_RACIO r) {
    if (r->citatel == 0) {
        r->jmenovatel = 1;
        return;
    }
    if (r->jmenovatel == 0) {
        r->citatel = 0;
        return;
    }
    const std::int64_t m = mcd(r->citatel, r->jmenovatel);
    const std::int64_t n = r->citatel / m;
    const std::int64_t d = r->jmenovatel / m;
    if (!fits_32_bits(n) || !fits_32_bits(d)) return;
    r->citatel = static_cast<std::int32_t>(n);
    r->jmenovatel = static_cast<std::int32_t>(d);
}

P_RACIO r_alloc() { return new_record<racio>(); }

P_RACIO r_create(std::int32_t citatel, std::int32_t jmenovatel) {
    if (jmenovatel == 0) return nullptr;
    P_RACIO r = r_alloc();
    r->citatel = citatel;
    r->jmenovatel = jmenovatel;
    return r;
}

P_RACIO r_add(P_RACIO a, P_RACIO b) { return sum_of(a, b->citatel, b->jmenovatel); }

P_RACIO r_sub(P_RACIO a, P_RACIO b) { return sum_of(a, -Int128{b->citatel}, b->jmenovatel); }

P_RACIO r_mul(P_RACIO a, P_RACIO b) {
    return reduced_result(Int128{a->citatel} * b->citatel, Int128{a->jmenovatel} * b->jmenovatel);
}

void r_print(P_RACIO r, std::FILE* out) { std::fprintf(out, "%d/%d", r->citatel, r->jmenovatel); }

// Reduces both arguments in place. The result is the numerator of the difference, whose sign is
// the sign of a - b; when the difference breaks the bound it is the exact sign, -1 or 1.
int r_cmp(P_RACIO a, P_RACIO b) {
    r_zkrat(a);
    r_zkrat(b);
    if (a->citatel == b->citatel && a->jmenovatel == b->jmenovatel) return 0;
    if (P_RACIO difference = r_sub(a, b)) return difference->citatel;
    return exact_sign(a, b);
}

std::optional<std::uint32_t> mrand_from(std::FILE* source) {
    unsigned char b[4];
    if (std::fread(b, 1, sizeof b, source) != sizeof b) return std::nullopt;
    return std::uint32_t{b[0]} | std::uint32_t{b[1]} << 8 | std::uint32_t{b[2]} << 16 |
           std::uint32_t{b[3]} << 24;
}

namespace {

// The random device, opened on the first call and kept open for the life of the process; null
// when it could not be opened (then `open_errno` holds why).
struct RandomDevice {
    std::FILE* file = nullptr;
    int open_errno = 0;
};

RandomDevice open_random_device() {
    RandomDevice device;
    device.file = std::fopen("/dev/urandom", "rb");
    if (device.file == nullptr) device.open_errno = errno;
    return device;
}

}  // namespace

Read<std::uint32_t> mrand() {
    static const RandomDevice device = open_random_device();
    if (device.file == nullptr)
        return {0, failure_of("/dev/urandom nelze otevřít", device.open_errno, "neznámá chyba")};
    const std::optional<std::uint32_t> word = mrand_from(device.file);
    if (!word) {
        const int err = std::ferror(device.file) ? errno : 0;
        return {0, failure_of("čtení z /dev/urandom selhalo", err, "nečekaný konec dat")};
    }
    return {*word, std::nullopt};
}
