#include "placement.hpp"

#include <algorithm>

namespace layout {

std::array<pole, pocet_vrcholu> diagonalni_poradi() {
    std::array<pole, pocet_vrcholu> cells{};
    int x = 0, y = 0, d = 0;
    for (int i = 0; i < pocet_vrcholu;) {
        if (x < sloupcu && y < radku) cells[i++] = {x, y};
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
int hloubky(graf& g, std::FILE* trace) {
    int passes = 0;
    bool changed;
    do {
        changed = false;
        ++passes;
        for (int i = 1; i < pocet_vrcholu; ++i) {
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

void serad(graf& g) {
    std::stable_sort(g.vrcholy_sorted.begin(), g.vrcholy_sorted.end(),
                     [&](int a, int b) { return cmp(g.vrcholy[a], g.vrcholy[b]) < 0; });
}

void rozmisti(graf& g) {
    const std::array<pole, pocet_vrcholu> cells = diagonalni_poradi();
    for (int i = 0; i < pocet_vrcholu; ++i) {
        vrchol& v = g.vrcholy[g.vrcholy_sorted[i]];
        v.x = cells[i].x;
        v.y = cells[i].y;
        g.tabulka[bunka(v.x, v.y)] = g.vrcholy_sorted[i];
    }
}

}  // namespace layout
