#include "improve.hpp"

#include "fast.hpp"

#include <memory>
#include <utility>

namespace layout {

volba nejlepsi_partner(const graf& g, int j, int c) {
    volba best{{g.sum_total, g.sum_total}, -1};
    const vrchol& v = g.vrcholy[g.vrcholy_sorted[j]];
    for (int k = 0; k < pocet_vrcholu; ++k) {
        if (k == j) continue;
        const vrchol& w = g.vrcholy[g.vrcholy_sorted[k]];
        const odhad sumy = checkswitch(g, v.x, v.y, w.x, w.y);
        if (prvek(best.sum_max, c) > prvek(sumy, c)) best = {sumy, k};
    }
    return best;
}

void vymen(graf& g, int j, int k) {
    vrchol& v = g.vrcholy[g.vrcholy_sorted[j]];
    const vrchol& w = g.vrcholy[g.vrcholy_sorted[k]];
    const int x1 = v.x, y1 = v.y, x2 = w.x, y2 = w.y;
    std::swap(g.tabulka[bunka(x1, y1)], g.tabulka[bunka(x2, y2)]);
    vrchol& now_first = g.vrcholy[g.tabulka[bunka(x1, y1)]];
    now_first.x = x1;
    now_first.y = y1;
    v.x = x2;
    v.y = y2;
}

// Each vertex in depth order trades with its best partner when the estimated total falls; the
// total then becomes that estimate. A pass without a trade ends the loop.
int zlepsuj(graf& g, std::FILE* trace, odhady way, int limit, pocitadla* counters) {
    pocitadla local;
    pocitadla& count = counters != nullptr ? *counters : local;
    std::unique_ptr<rychly_stav> fast;
    if (way == odhady::fast) fast = std::make_unique<rychly_stav>(g);
    for (int p = 0; p < limit; ++p) {
        int moved = 0;
        for (int j = 0; j < pocet_vrcholu; ++j) {
            const int c = kriterium(j, p);
            const volba best = fast ? fast->nejlepsi_partner(g, j, c) : nejlepsi_partner(g, j, c);
            count.estimates += pocet_vrcholu - 1;
            if (g.sum_total > best.sum_max.e0) {
                vymen(g, j, best.partner);
                if (fast) fast->po_vymene(g, j, best.partner);
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
