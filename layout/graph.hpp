// orv-layout: the vertex record, the tables every phase works on, and the final listing.
#pragma once

#include <array>
#include <cstdio>

namespace layout {

inline constexpr int vertex_count = 285;   // vertices, and also cells of the grid
inline constexpr int max_neighbours = 50;  // neighbours one vertex can list
inline constexpr int columns = 15;         // grid columns, x = 0 .. 14
inline constexpr int rows = 19;            // grid rows, y = 0 .. 18
inline constexpr int max_passes = 10000;   // improvement passes at most

// One vertex. Neighbours are held as indices into `Graph::vrcholy` (vertex number minus 1),
// in the order the file lists them; nothing adds the reverse direction.
struct vrchol {
    int cislo = 0;  // vertex number, 1 .. 285
    int x = 0;      // grid column
    int y = 0;      // grid row
    std::array<int, max_neighbours> sousede{};
    int pocet = 0;    // valid entries in `sousede`
    int hloubka = 0;  // distance from vertex 1 along the neighbour lists; 1000 when unreached
};

// The whole state of a run.
struct Graph {
    std::array<vrchol, vertex_count> vrcholy{};      // index i holds vertex i + 1
    std::array<int, vertex_count> vrcholy_sorted{};  // vertex indices, later in depth order
    std::array<int, columns * rows> tabulka{};       // vertex index on cell [x][y], at x * 19 + y
    double sum_total = 0;  // running total edge length, carried forward from estimates
};

inline int cell_index(int x, int y) { return x * rows + y; }  // index of cell [x][y] in `tabulka`

// Gives every vertex its number and the start depth 999 (vertex 1: 0), and puts the table order
// into `vrcholy_sorted`. Runs after reading, for every vertex, mentioned or not.
void init_vertices(Graph& g);

// Writes the final listing: every vertex in table order with its cell, then its neighbours' cells.
void vypis(const Graph& g, std::FILE* out);

}  // namespace layout
