// orv-layout: depth passes, the sort by depth and the placement along the anti-diagonals.
#include "placement.hpp"

#include <algorithm>

namespace layout {

std::array<Cell, vertex_count> diagonal_order() {
    std::array<Cell, vertex_count> cells{};
    int x = 0, y = 0, d = 0;
    for (int i = 0; i < vertex_count;) {
        if (x < columns && y < rows) cells[i++] = {x, y};
        if (x == 0) {
            ++d;
            x = d;
            y = 0;
        } else {
            --x;
            ++y;
        }
    }
    return cells;
}

// A visited vertex takes one more than its nearest neighbour's depth, counting 999 at most; so a
// vertex with no neighbours, or none that lead to vertex 1, rises once from 999 to 1000. Depths
// updated earlier in the same pass are already seen.
int compute_depths(Graph& g, std::FILE* trace) {
    int passes = 0;
    bool changed;
    do {
        changed = false;
        ++passes;
        for (int i = 1; i < vertex_count; ++i) {
            vrchol& v = g.vrcholy[i];
            int m = 999;
            for (int k = 0; k < v.pocet; ++k)
                m = std::min(m, g.vrcholy[v.sousede[k]].hloubka);
            if (v.hloubka != m + 1) {
                v.hloubka = m + 1;
                changed = true;
            }
            std::fprintf(trace, "The depth of %d is %d.\n", i, v.hloubka);
        }
    } while (changed);
    return passes;
}

int cmp(const vrchol& a, const vrchol& b) { return a.hloubka - b.hloubka; }

void sort_by_depth(Graph& g) {
    std::stable_sort(g.vrcholy_sorted.begin(), g.vrcholy_sorted.end(),
                     [&](int a, int b) { return cmp(g.vrcholy[a], g.vrcholy[b]) < 0; });
}

void place_on_diagonals(Graph& g) {
    const std::array<Cell, vertex_count> cells = diagonal_order();
    for (int i = 0; i < vertex_count; ++i) {
        vrchol& v = g.vrcholy[g.vrcholy_sorted[i]];
        v.x = cells[i].x;
        v.y = cells[i].y;
        g.tabulka[cell_index(v.x, v.y)] = g.vrcholy_sorted[i];
    }
}

}  // namespace layout
