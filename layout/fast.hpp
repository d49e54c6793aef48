// orv-layout: the partner scan of the improvement passes, done with less work but to the same
// bits as `checkswitch` for every pair.
//
// Cells are numbered in placement order, so every diagonal is a run of consecutive numbers and the
// cells of smaller diagonals come first. In an estimate for V and a candidate W, P's edges move to
// Q's cell: P = V when W lies on a smaller diagonal, otherwise P = W. So e1 needs only P's sum
// from its own cell, kept per vertex in `own`, and P's sum from the other cell: V's from every
// cell of a smaller diagonal at once (vector lanes across the cells of a diagonal), each W's from
// V's cell.
//
// Speed on every graph shape comes from two choices:
// - every distance is read from the table of `CellGrid` (cell_grid.hpp), so scattered neighbours
//   cost no more than clustered ones;
// - the sums of the candidates W are taken grouped by the length of W's list (its padding
//   left out), each group with a loop of fixed length, so the branches do not depend on the order
//   of the vertices on the grid, which trades keep reshuffling.
//
// Why this gives the same doubles as `checkswitch`:
// - a distance comes from a table filled with the same correctly rounded square root;
// - every sum starts at +0 and its terms are non-negative, so a term left out, or a padding term
//   of +0.0 added, changes nothing. `checkswitch` leaves out edges to P or Q. An edge to Q has
//   length 0 from Q's cell anyway; an edge of P to itself is left out of the lists here (its
//   length from P's own cell is 0); an edge of P to Q has a non-zero length from P's cell, so a
//   pair where one vertex lists the other is evaluated as written instead;
// - each sum adds its terms in list order; vector lanes and groups only change which sums are
//   taken side by side, never the order within one;
// - e0 carries P's two sums on over Q's edges, term by term, as written.
//
// The wide loops (AVX2, taken at run time where the processor has it) change only how many sums
// are taken side by side: four cells to a register instead of two, and the candidates' sums four
// cells at a time, each lane adding its own vertex's terms in list order and +0.0 past its end.
// No fused multiply-add is used on either path, so every lane rounds exactly as the scalar code.
//
// The wide loops also keep a pass's cost falling with the number of edges, by these shortcuts:
// - V's sums on the cells of smaller diagonals run over one flat list of runs of four cells along
//   the diagonals (cell_grid.hpp), and the candidates' groups of four are taken by the length of
//   their longest list, a loop of fixed trip count for each length: both change only which sums
//   are taken side by side and in which order, never the terms of one sum or their order;
// - the candidates' sums of W's list from V's cell are kept in `from_v`. Where W is P that is the
//   `nw` of the estimate's first half as written (a term for an edge to V is +0.0, V's cell being
//   0 from itself, the same as leaving it out), so e0 carries it on, and a pair where W lists V
//   sums only `old` again; where V is P and lists W, on_cell holds `nw` the same way;
// - that `old` is P's own sum with the terms for Q left out: up to Q's first entry the additions
//   are those of `own`, so it starts from the partial sum `own_before` keeps for that entry;
// - the first position holding the lowest value is the lowest of the positions, taken as doubles
//   (exact for whole numbers this small) with +inf for the cells that do not hold it.
#pragma once

#include "cell_grid.hpp"
#include "cost.hpp"
#include "graph.hpp"

#include <array>
#include <cstdint>
#include <vector>

namespace layout {

inline constexpr int chunk = 4;  // lists are padded with +0.0 terms to a multiple of this
inline constexpr int padded_cells = vertex_count + 3;            // 288: whole groups of four cells
inline constexpr int quad_words = (padded_cells / 4 + 63) / 64;  // bit words of the 72 groups
// The degree up to which the wide loops sum a group of four cells in lanes; a group with a
// longer list (a hub) sums each cell's own list alone, so the others do not run the hub's length.
inline constexpr int lane_rows = 12;

// The loops of the scan: `narrow` the SSE2 ones (the portable ones without SSE2, or everywhere
// with ORV_LAYOUT_PORTABLE), `wide` the AVX2 ones. Both give the same bits.
enum class Lanes { narrow, wide };

bool wide_lanes_supported();  // this build has the wide loops and this processor runs them
Lanes widest_lanes();         // wide where supported, else narrow

struct FastScan {
    explicit FastScan(const Graph& g, Lanes lanes = widest_lanes());

    // Same result as `layout::best_partner` for the same state.
    Choice best_partner(const Graph& g, int j, int c);

    // Element e0 of the estimate for vertex v and the vertex on cell cw, when v's sums from the
    // cells below `smaller` are in on_cell, unless one of the pair lists the other.
    double full_estimate(double total, int v, int cw, int smaller, const double* row_v) const;

    // The sum of w's edge lengths measured from the cell whose distance row is `row`.
    double sum_from(int w, const double* row) const;

    // Follows a trade that `trade_cells(g, j, k)` has just made.
    void after_trade(const Graph& g, int j, int k);

    const CellGrid* map = &grid();                // the cells' order and distances
    std::array<int, vertex_count> cell{};         // vertex -> cell number
    std::array<int, vertex_count> at{};           // cell number -> vertex
    std::array<int, vertex_count> position{};     // vertex -> position in `vrcholy_sorted`
    std::array<int, vertex_count> position_at{};  // cell number -> position of its vertex
    // The same as doubles for the wide loops; 285 on cells 285 .. 287.
    alignas(32) std::array<double, padded_cells> position_key{};
    // Neighbour lists without self-loops, in file order, as negated cell keys, each padded with
    // `padding_key` to a multiple of `chunk`: vertex v's are slots out_first[v] ..
    // out_first[v + 1] - 1 of out_keys, the first `degree[v]` of them real.
    std::vector<int> out_first, out_keys, degree;
    std::vector<int> in_first, in_slots;    // vertex -> the slots of out_keys that hold it
    std::vector<int> slot_owner;            // slot -> the vertex whose list holds it
    std::vector<int> slot_row;              // slot -> its place in its list times padded_cells
    std::vector<int> lists_first, lists;    // vertex -> the other vertices it lists
    std::vector<int> listed_first, listed;  // vertex -> the other vertices that list it
    // The cells whose vertex has n neighbours (self-loops left out), as bits: cell b is bit
    // b % 64 of word b / 64.
    std::array<std::array<std::uint64_t, (vertex_count + 63) / 64>, max_neighbours + 1> by_degree{};
    std::vector<int> degrees;                // the degrees that some vertex has
    std::array<double, vertex_count> own{};  // each vertex's edge lengths from its cell, summed
    std::vector<double> own_before;          // slot -> its list's sum in `own` before its term
    alignas(16) std::array<double, vertex_count + chunk> on_cell{};  // V's edges from each cell
    // The deciding element of the estimate with each cell's vertex; padded for vectors.
    alignas(32) std::array<double, vertex_count + 3> chosen{};
    std::array<int, vertex_count> stamp{};  // `trades` when own[v] was last refreshed
    int trades = 0;
    Lanes lanes = Lanes::narrow;
    // For the wide loops, the lists by cell: keys_at[t * padded_cells + c] is the t-th entry of
    // the list of the vertex on cell c (padding_key past its end and on cells 285 .. 287), for t
    // below the largest degree; degree_at and own_at by cell; quad_degree the largest degree
    // among cells 4q .. 4q + 3.
    int key_rows = 0;
    std::vector<int> keys_at;
    std::array<int, padded_cells> degree_at{};
    std::array<int, padded_cells / 4> quad_degree{};
    alignas(32) std::array<double, padded_cells> own_at{};
    // For the vertex W on each cell from V's diagonal on, the sum of W's list from V's cell.
    alignas(32) std::array<double, padded_cells> from_v{};
    // The groups of four cells by the largest degree among them, as bits (group q is bit q % 64
    // of word q / 64): quads_by_rows[r] those of degree r up to `lane_rows`, then those of a
    // larger one; quad_rows_used has bit r set while quads_by_rows[r] is not empty.
    std::array<std::array<std::uint64_t, quad_words>, lane_rows + 2> quads_by_rows{};
    std::array<int, lane_rows + 2> quads_with_rows{};
    unsigned quad_rows_used = 0;

  private:
    void flip_degree_bit(int v) {
        by_degree[degree[v]][cell[v] / 64] ^= std::uint64_t{1} << (cell[v] % 64);
    }
    int lowest_partner(double start) const;
    void add_terms(int p, int q, double& old, double& nw) const;
    Estimate exact_estimate(double total, int v, int w) const;
    double exact_e1(double total, int p, int q) const;
    double own_without(int p, int q) const;
    void refresh_own(int u);
    void sums_on_cells(int v, int diagonal);
    void sums_of_candidates(double total, int smaller, const double* row_v);
    void refresh_cell(int c);            // the wide lists of the vertex on cell c
    void count_quad(int q, int change);  // group q in or out of quads_by_rows
};

}  // namespace layout
