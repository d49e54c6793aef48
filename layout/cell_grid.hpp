// orv-layout: the grid's cells in placement order and the distance of every two cells, read from
// one small table.
//
// The distance of two cells depends only on their offset, and a cell's key (x + y) * 29 - x turns
// the offset into a difference of keys, so `row(a)[-key[b]]` is the distance of cells a and b, and
// along a diagonal the keys, and so the table entries, run on by one. The table (about 15 KB)
// stays in the first-level cache. Every entry is the correctly rounded square root that
// `vzdalenost` takes, so a distance read here has the same bits.
#pragma once

#include "graph.hpp"

#include <array>

namespace layout {

inline constexpr int diagonals = columns + rows - 1;  // x + y = 0 .. 32
inline constexpr int key_stride = 29;                 // > 2 * 14: a key difference shows dx
inline constexpr int max_key = (diagonals - 1) * key_stride - (columns - 1);  // cell (14,18)
// Table layout: index max_key + (key[a] - key[b]) for two cells; behind the 2 * max_key + 1
// entries that cells can reach, a zone of zeros that `padding_key` reaches from every cell.
inline constexpr int padding_key = max_key + 1;  // as a negated key: distance 0 from any cell
inline constexpr int distance_entries = 3 * max_key + 2;
inline constexpr int max_runs = 4 * diagonals;  // runs of four cells: at most four a diagonal

// The grid in placement order, and the distance of every two cells.
struct CellGrid {
    alignas(16) std::array<double, distance_entries> distance{};
    std::array<int, vertex_count> key{};                 // cell number -> (x + y) * 29 - x
    std::array<int, vertex_count> diagonal{};            // cell number -> x + y
    std::array<int, diagonals + 1> first_of_diagonal{};  // diagonal -> its first cell number
    std::array<int, columns * rows> cell_number{};       // `tabulka` index -> cell number
    // Each diagonal cut into runs of four cells from its first cell on (the last run reaching
    // past the diagonal's end), all runs in cell order: run i starts at cell run_cell[i], and
    // the distances from its four cells to a cell of negated key k are the four entries from
    // distance[run_offset[i] + k] on. The runs of diagonals 0 .. d - 1 are 0 .. runs_below[d] - 1.
    std::array<int, max_runs> run_cell{};
    std::array<int, max_runs> run_offset{};
    std::array<int, diagonals + 1> runs_below{};

    // The distances from cell a: row(a)[-key[b]] is the distance of cells a and b.
    const double* row(int a) const { return distance.data() + max_key + key[a]; }
};

const CellGrid& grid();  // built once

}  // namespace layout
