// orv-layout: the table of cell distances, built once from the placement order.
#include "cell_grid.hpp"

#include "placement.hpp"

#include <cmath>
#include <memory>

namespace layout {

const CellGrid& grid() {
    static const std::unique_ptr<CellGrid> m = [] {
        auto g = std::make_unique<CellGrid>();
        const std::array<Cell, vertex_count> cells = diagonal_order();
        for (int a = 0; a < vertex_count; ++a) {
            g->diagonal[a] = cells[a].x + cells[a].y;
            g->key[a] = g->diagonal[a] * key_stride - cells[a].x;
            g->cell_number[cell_index(cells[a].x, cells[a].y)] = a;
        }
        // Pairs with the same offset share an entry, and give it the same value.
        for (int a = 0; a < vertex_count; ++a)
            for (int b = 0; b < vertex_count; ++b) {
                const int dx = cells[a].x - cells[b].x;
                const int dy = cells[a].y - cells[b].y;
                g->distance[max_key + g->key[a] - g->key[b]] =
                    std::sqrt(static_cast<double>(dx * dx + dy * dy));
            }
        for (int a = vertex_count - 1; a >= 0; --a)
            g->first_of_diagonal[g->diagonal[a]] = a;
        g->first_of_diagonal[diagonals] = vertex_count;
        // Along a diagonal the keys run on by one, so a run's four distances lie side by side.
        int runs = 0;
        for (int d = 0; d < diagonals; ++d) {
            g->runs_below[d] = runs;
            for (int c = g->first_of_diagonal[d]; c < g->first_of_diagonal[d + 1]; c += 4) {
                g->run_cell[runs] = c;
                g->run_offset[runs++] = max_key + g->key[c];
            }
        }
        g->runs_below[diagonals] = runs;
        return g;
    }();
    return *m;
}

}  // namespace layout
