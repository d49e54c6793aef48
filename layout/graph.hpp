// orv-layout: the vertex record, the tables every phase works on, the reader of "orv-graph",
// the order of the phases and the final listing.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace layout {

inline constexpr int vertex_count = 285;   // vertices, and also cells of the grid
inline constexpr int max_neighbours = 50;  // neighbours one vertex can list
inline constexpr int columns = 15;         // grid columns, x = 0 .. 14
inline constexpr int rows = 19;            // grid rows, y = 0 .. 18
inline constexpr int max_passes = 10000;   // improvement passes at most

// Status of every error. A normal run ends with the count of trading passes reduced to 8 bits,
// which can be any value, so an error is told by its message on standard error.
inline constexpr int error_status = 255;

// Why a step failed, and the exit status it ends the program with. A step that can fail returns
// std::optional<Failure>: nullopt when it succeeded.
struct Failure {
    int status = error_status;
    std::string reason;
};

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

// Reads the graph file `name` into the neighbour lists of `g`. Fails when the file cannot be
// opened or read, or names the line and the problem; input the tables cannot hold is rejected as
// a whole.
std::optional<Failure> read_graph(const char* name, Graph& g);

// The reader of `read_graph` on an open stream; `name` names the file in messages. Lines are
// counted in 64 bits from `first_line`, so no stream is long enough to overflow the count.
std::optional<Failure> read_stream(std::FILE* f, const char* name, Graph& g,
                                   std::int64_t first_line = 1);

// Gives every vertex its number and the start depth 999 (vertex 1: 0), and puts the table order
// into `vrcholy_sorted`. Runs after reading, for every vertex, mentioned or not.
void init_vertices(Graph& g);

// Runs the phases after reading that come before the improvement passes: start values, depths
// (traced to `trace`), sort, placement and the first total.
void prepare(Graph& g, std::FILE* trace);

// Runs every phase after reading: `prepare`, then the improvement passes. The depth trace and the
// pass totals go to `trace`. Returns the number of passes that made a trade.
int lay_out(Graph& g, std::FILE* trace);

// Writes the final listing: every vertex in table order with its cell, then its neighbours' cells.
void vypis(const Graph& g, std::FILE* out);

}  // namespace layout
