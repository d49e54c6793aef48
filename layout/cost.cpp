// orv-layout: edge lengths, the total edge length and the swap estimate `checkswitch`.
#include "cost.hpp"

#include <cmath>

namespace layout {

double vzdalenost(const vrchol* a, const vrchol* b) {
    if (a == nullptr || b == nullptr) return 0;
    const int dx = a->x - b->x;
    const int dy = a->y - b->y;
    return std::sqrt(static_cast<double>(dx * dx + dy * dy));
}

double vzdalenostxy(double x1, double y1, double x2, double y2) {
    return std::sqrt((x1 - x2) * (x1 - x2) + (y1 - y2) * (y1 - y2));
}

double sqrt(double v) {
    if (v <= 0) return 0;
    double r = v;
    int iterations = 0;
    do {
        r = (v / r + r) * 0.5;
        ++iterations;
    } while (r * r != v && iterations < 65536);
    return r;
}

double get_total_sum(const Graph& g) {
    double sum = 0;
    for (const vrchol& v : g.vrcholy)
        for (int k = 0; k < v.pocet; ++k)
            sum += vzdalenost(&g.vrcholy[v.sousede[k]], &v);
    return sum;
}

namespace {

bool on_grid(int x, int y) { return x >= 0 && x < columns && y >= 0 && y < rows; }

// Adds the terms of `from`'s edges to both sums: the length from its own cell (old) and the
// length from `to`'s cell (new). Edges towards either vertex are left out.
void add_terms(const Graph& g, const vrchol* from, const vrchol* to, double& old, double& nw) {
    for (int k = 0; k < from->pocet; ++k) {
        const vrchol* n = &g.vrcholy[from->sousede[k]];
        if (n == from || n == to) continue;
        const double d1 = vzdalenost(from, n);
        const double d2 = vzdalenost(to, n);
        if (d1 != 0 && d2 != 0) {
            old += d1;
            nw += d2;
        }
    }
}

}  // namespace

// P is the vertex on the cell with the larger diagonal index x + y, on equal indices the one on
// the second cell; Q is the other. e1 moves only P's edges, e0 both vertices' edges, P's first.
Estimate checkswitch(const Graph& g, int x1, int y1, int x2, int y2) {
    if (!on_grid(x1, y1) || !on_grid(x2, y2)) return {g.sum_total + 30, g.sum_total + 30};
    const vrchol* a = &g.vrcholy[g.tabulka[cell_index(x1, y1)]];
    const vrchol* b = &g.vrcholy[g.tabulka[cell_index(x2, y2)]];
    const vrchol* p = x1 + y1 > x2 + y2 ? a : b;
    const vrchol* q = p == a ? b : a;
    double old = 0, nw = 0;
    Estimate e;
    add_terms(g, p, q, old, nw);
    e.e1 = (g.sum_total - old) + nw;
    add_terms(g, q, p, old, nw);
    e.e0 = (g.sum_total - old) + nw;
    return e;
}

}  // namespace layout
