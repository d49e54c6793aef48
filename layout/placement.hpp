// orv-layout: depth ordering and the first placement along the grid's anti-diagonals.
#pragma once

#include "graph.hpp"

#include <array>
#include <cstdio>

namespace layout {

struct Cell {  // a grid cell
    int x = 0;
    int y = 0;
};

// The grid cells in placement order: anti-diagonals x + y = 0, 1, ... 32, along each one x
// falling and y rising, cells outside the grid skipped.
std::array<Cell, vertex_count> diagonal_order();

// Depth passes over the vertices at indices 1 .. 284 until a pass changes nothing; every visit
// writes "The depth of I is D." to `trace`. Returns the number of passes, the last one included.
int compute_depths(Graph& g, std::FILE* trace);

// The sort's comparison: ascending depth.
int cmp(const vrchol& a, const vrchol& b);

// Orders `vrcholy_sorted` by depth; vertices of equal depth keep table order.
void sort_by_depth(Graph& g);

// Gives the i-th cell of the placement order to the i-th vertex of `vrcholy_sorted`.
void place_on_diagonals(Graph& g);

}  // namespace layout
