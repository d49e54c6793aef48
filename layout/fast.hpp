// orv-layout: the partner scan of the improvement passes, done with less work but to the same
// bits as `checkswitch` for every pair.
//
// Cells are numbered in placement order, so every diagonal is a run of consecutive numbers and the
// cells of smaller diagonals come first. In an estimate for V and a candidate W, P's edges move to
// Q's cell: P = V when W lies on a smaller diagonal, otherwise P = W. So e1 needs only P's sum
// from its own cell, kept per vertex in `own`, and P's sum from the other cell: V's from every
// cell of a smaller diagonal at once (vector lanes across cells), each W's from V's cell.
// Why this gives the same doubles as `checkswitch`:
// - a distance comes from a table filled with the same correctly rounded square root;
// - every sum starts at +0 and its terms are non-negative, so a term left out, or a padding term
//   of +0.0 added, changes nothing. `checkswitch` leaves out edges to P or Q. An edge to Q has
//   length 0 from Q's cell anyway; an edge of P to itself is left out of the lists here (its
//   length from P's own cell is 0); an edge of P to Q has a non-zero length from P's cell, so a
//   pair where one vertex lists the other is evaluated as written instead;
// - e0 carries P's two sums on over Q's edges, term by term, as written.
#pragma once

#include "cost.hpp"
#include "graph.hpp"

#include <array>
#include <vector>

namespace layout {

inline constexpr int row_stride = 288;  // a row of the cell tables, padded for vectors

struct alignas(16) DistanceRow {  // one value per cell number; padding columns hold 0
    double c[row_stride];
};

// The grid in placement order, and the distance between every two cells.
struct CellGrid {
    std::array<DistanceRow, vertex_count> d;        // d[a].c[b]: distance of cells a and b
    std::array<int, vertex_count> diagonal{};       // cell number -> x + y
    std::array<int, 34> first_of_diagonal{};        // diagonal -> its first cell number
    std::array<int, columns * rows> cell_number{};  // `tabulka` index -> cell number
};

const CellGrid& grid();  // built once

inline constexpr int chunk = 4;  // lists are padded with +0.0 terms to a multiple of this

struct FastScan {
    explicit FastScan(const Graph& g);

    // Same result as `layout::best_partner` for the same state.
    Choice best_partner(const Graph& g, int j, int c);

    // Follows a trade that `trade_cells(g, j, k)` has just made.
    void after_trade(const Graph& g, int j, int k);

    std::array<int, vertex_count> cell{};         // vertex -> cell number
    std::array<int, vertex_count> at{};           // cell number -> vertex
    std::array<int, vertex_count> position{};     // vertex -> position in `vrcholy_sorted`
    std::array<int, vertex_count> position_at{};  // cell number -> position of its vertex
    // Neighbour lists without self-loops, in file order, as cell numbers, each padded with the
    // number of a padding column (distance 0) to a multiple of `chunk`: vertex v's are slots
    // out_first[v] .. out_first[v + 1] - 1 of out_cells, the first `degree[v]` of them real.
    std::vector<int> out_first, out_cells, degree;
    std::vector<int> in_first, in_slots;     // vertex -> the slots of out_cells that hold it
    std::vector<int> slot_owner;             // slot -> the vertex whose list holds it
    std::vector<int> lists_first, lists;     // vertex -> the other vertices it lists
    std::vector<int> listed_first, listed;   // vertex -> the other vertices that list it
    std::array<double, vertex_count> own{};  // each vertex's edge lengths from its cell, summed
    alignas(16) std::array<double, row_stride> on_cell{};  // V's edges summed from each cell
    std::array<double, vertex_count> chosen{};             // the deciding element for each position
    std::array<int, vertex_count> stamp{};  // `trades` when own[v] was last refreshed
    int trades = 0;

  private:
    void add_terms(int p, int q, double& old, double& nw) const;
    Estimate exact_estimate(double total, int v, int w) const;
    double exact_e1(double total, int p, int q) const;
    double sum_from(int w, const double* row) const;
    void sums_on_cells(int v, int cells);
};

}  // namespace layout
