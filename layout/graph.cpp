// orv-layout: the start values of the vertex records and the final listing.
#include "graph.hpp"

namespace layout {

void init_vertices(Graph& g) {
    for (int i = 0; i < vertex_count; ++i) {
        g.vrcholy_sorted[i] = i;
        g.vrcholy[i].hloubka = 999;
        g.vrcholy[i].cislo = i + 1;
    }
    g.vrcholy[0].hloubka = 0;
}

void vypis(const Graph& g, std::FILE* out) {
    for (const vrchol& v : g.vrcholy) {
        std::fprintf(out, "%d %d : %03d\n", v.x, v.y, v.cislo);
        for (int k = 0; k < v.pocet; ++k) {
            const vrchol& n = g.vrcholy[v.sousede[k]];
            std::fprintf(out, "\t%d %d : %03d\n", n.x, n.y, n.cislo);
        }
    }
}

}  // namespace layout
