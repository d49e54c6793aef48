// vevuvedu: setting the pruning rules up for a box: its masks, room for the roles of its
// deepest path, and which build of the rules (prune.cpp) this processor runs.
#include "prune.hpp"

#include <cstdlib>
#include <cstring>
#if defined(__x86_64__)
#include <cpuid.h>
#endif

extern const PruneCode portable_rules;
#if defined(ORV_PRUNE_X86_64_V3)
extern const PruneCode x86_64_v3_rules;
#endif

namespace {

#if defined(ORV_PRUNE_X86_64_V3)
// x86-64-v3 is AVX, AVX2, BMI1, BMI2, F16C, FMA, LZCNT and MOVBE on top of POPCNT and SSE4.2;
// the compiler may use any of them. The builtin also checks that the system saves the AVX
// registers; what it cannot name is read from CPUID.
bool runs_x86_64_v3() {
    __builtin_cpu_init();
    if (!(__builtin_cpu_supports("avx") && __builtin_cpu_supports("avx2") &&
          __builtin_cpu_supports("bmi") && __builtin_cpu_supports("bmi2") &&
          __builtin_cpu_supports("fma") && __builtin_cpu_supports("popcnt") &&
          __builtin_cpu_supports("sse4.2")))
        return false;
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d)) return false;
    const bool f16c = (c & bit_F16C) != 0, movbe = (c & bit_MOVBE) != 0;
    if (!__get_cpuid(0x80000001, &a, &b, &c, &d)) return false;
    const bool lzcnt = (c & bit_LZCNT) != 0;
    return f16c && movbe && lzcnt;
}
#endif

void set(Board& board, int32_t cell) {
    board[static_cast<std::size_t>(cell / 64)] |= uint64_t{1} << (cell % 64);
}

}  // namespace

const PruneCode& portable_prune_code() { return portable_rules; }

const PruneCode* x86_64_v3_prune_code() {
#if defined(ORV_PRUNE_X86_64_V3)
    static const bool runs = runs_x86_64_v3();
    return runs ? &x86_64_v3_rules : nullptr;
#else
    return nullptr;
#endif
}

const PruneCode& chosen_prune_code() {
    const char* asked = std::getenv("VEVUVEDU_CODE");
    const PruneCode* fast = x86_64_v3_prune_code();
    if (fast == nullptr || (asked != nullptr && std::strcmp(asked, "portable") == 0))
        return portable_rules;
    return *fast;
}

bool prune_supported(const Cube& kostka) { return kostka.celkem_poli <= 64 * board_words; }

void prepare_pruner(Pruner& p, const Cube& k, const PruneCode& code) {
    p.code = &code;
    p.words = (k.celkem_poli + 63) / 64;
    p.inside = {};
    p.even = {};
    const int32_t edges[3] = {k.nx, k.ny, k.nz};
    const int32_t stride[3] = {k.ny * k.nz, k.nz, 1};
    for (int32_t dir = 0; dir < 6; ++dir) {
        const int32_t axis = dir / 2;
        p.offset[dir] = dir % 2 == 0 ? stride[axis] : -stride[axis];
    }
    for (int32_t x = 0; x < k.nx; ++x)
        for (int32_t y = 0; y < k.ny; ++y)
            for (int32_t z = 0; z < k.nz; ++z) {
                const int32_t cell = k.index(x, y, z);
                const int32_t at[3] = {x, y, z};
                if ((x + y + z) % 2 == 0) set(p.even, cell);
                for (int32_t dir = 0; dir < 6; ++dir) {
                    const int32_t axis = dir / 2;
                    const int32_t c = at[axis] + (dir % 2 == 0 ? 1 : -1);
                    if (c >= 0 && c < edges[axis]) set(p.inside[dir], cell);
                }
            }
    // A path has at most one segment for every two cells after the first.
    p.levels.assign(static_cast<std::size_t>(k.celkem_poli / 2 + 2), NodeRoles{});
}
