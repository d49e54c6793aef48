// orv-layout: the swap improvement passes.
#pragma once

#include "cost.hpp"
#include "graph.hpp"

#include <cstdio>

namespace layout {

// Which implementation of the swap estimates the passes use: `fast` the fast scan with the widest
// loops the processor runs, `fast_narrow` the same with the narrow loops (to test them where wide
// ones would be taken), `plain` every estimate as written.
enum class Estimates { plain, fast, fast_narrow };

// Work done by the passes, for benchmarks.
struct PassCounters {
    long long passes = 0;     // passes run
    long long estimates = 0;  // swap estimates compared
    long long trades = 0;     // trades made
};

// The criterion for position j in pass p: 0 (choose by e0) when j + p is a multiple of 15,
// otherwise 1 (choose by e1).
inline int criterion(int j, int p) { return (j + p) % 15 == 0 ? 0 : 1; }

inline double element(const Estimate& e, int c) { return c == 0 ? e.e0 : e.e1; }

// The partner scan as written: `checkswitch` with every other vertex in depth order; a candidate
// replaces the best one only when strictly better in element c, so the earlier one wins ties.
Choice best_partner(const Graph& g, int j, int c);

// Trades the cells of the vertices at positions j and k of `vrcholy_sorted`.
void trade_cells(Graph& g, int j, int k);

// Runs improvement passes until one makes no trade or `limit` passes have run, writing each pass's
// total to `trace`. Returns the number of passes that made a trade. Both ways give the same bits;
// `plain` evaluates every estimate as written and is kept to check and measure the fast one.
int improve(Graph& g, std::FILE* trace, Estimates way, int limit = max_passes,
            PassCounters* counters = nullptr);

}  // namespace layout
