// orv-layout: the swap improvement passes and the plain partner scan.
#include "improve.hpp"

#include "fast.hpp"

#include <memory>
#include <utility>

namespace layout {

Choice best_partner(const Graph& g, int j, int c) {
    Choice best{{g.sum_total, g.sum_total}, -1};
    const vrchol& v = g.vrcholy[g.vrcholy_sorted[j]];
    for (int k = 0; k < vertex_count; ++k) {
        if (k == j) continue;
        const vrchol& w = g.vrcholy[g.vrcholy_sorted[k]];
        const Estimate sumy = checkswitch(g, v.x, v.y, w.x, w.y);
        if (element(best.sum_max, c) > element(sumy, c)) best = {sumy, k};
    }
    return best;
}

void trade_cells(Graph& g, int j, int k) {
    vrchol& v = g.vrcholy[g.vrcholy_sorted[j]];
    const vrchol& w = g.vrcholy[g.vrcholy_sorted[k]];
    const int x1 = v.x, y1 = v.y, x2 = w.x, y2 = w.y;
    std::swap(g.tabulka[cell_index(x1, y1)], g.tabulka[cell_index(x2, y2)]);
    vrchol& now_first = g.vrcholy[g.tabulka[cell_index(x1, y1)]];
    now_first.x = x1;
    now_first.y = y1;
    v.x = x2;
    v.y = y2;
}

// Each vertex in depth order trades with its best partner when the estimated total falls; the
// total then becomes that estimate. A pass without a trade ends the loop.
int improve(Graph& g, std::FILE* trace, Estimates way, int limit, PassCounters* counters) {
    PassCounters local;
    PassCounters& count = counters != nullptr ? *counters : local;
    std::unique_ptr<FastScan> fast;
    if (way != Estimates::plain)
        fast =
            std::make_unique<FastScan>(g, way == Estimates::fast ? widest_lanes() : Lanes::narrow);
    for (int p = 0; p < limit; ++p) {
        int moved = 0;
        for (int j = 0; j < vertex_count; ++j) {
            const int c = criterion(j, p);
            const Choice best = fast ? fast->best_partner(g, j, c) : best_partner(g, j, c);
            count.estimates += vertex_count - 1;
            if (g.sum_total > best.sum_max.e0) {
                trade_cells(g, j, best.partner);
                if (fast) fast->after_trade(g, j, best.partner);
                g.sum_total = best.sum_max.e0;
                ++moved;
            }
        }
        ++count.passes;
        count.trades += moved;
        std::fprintf(trace, "%lf\n", g.sum_total);
        if (moved == 0) return p;
    }
    return limit;
}

}  // namespace layout
