// orv-layout: the swap improvement passes.
#pragma once

#include "cost.hpp"
#include "graph.hpp"

#include <cstdio>

namespace layout {

// Work done by the passes, for benchmarks.
struct pocitadla {
    long long passes = 0;     // passes run
    long long estimates = 0;  // swap estimates compared
    long long trades = 0;     // trades made
};

// The outcome of one vertex's partner scan: the best estimate and its position in
// `vrcholy_sorted` (-1 when no candidate beat the starting pair).
struct volba {
    odhad sum_max;
    int partner = -1;
};

// The criterion for position j in pass p: 0 (choose by e0) when j + p is a multiple of 15,
// otherwise 1 (choose by e1).
inline int kriterium(int j, int p) { return (j + p) % 15 == 0 ? 0 : 1; }

inline double prvek(const odhad& e, int c) { return c == 0 ? e.e0 : e.e1; }

// The partner scan as written: `checkswitch` with every other vertex in depth order; a candidate
// replaces the best one only when strictly better in element c, so the earlier one wins ties.
volba nejlepsi_partner(const graf& g, int j, int c);

// Trades the cells of the vertices at positions j and k of `vrcholy_sorted`.
void vymen(graf& g, int j, int k);

// Runs improvement passes until one makes no trade or `limit` passes have run, writing each pass's
// total to `trace`. Returns the number of passes that made a trade. Both ways give the same bits;
// `plain` evaluates every estimate as written and is kept to check and measure the fast one.
int zlepsuj(graf& g, std::FILE* trace, odhady way, int limit = max_pruchodu,
            pocitadla* counters = nullptr);

}  // namespace layout
