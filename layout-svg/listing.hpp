// orv-layout-svg: the reader of an orv-layout listing.
//
// A listing names the cell of every vertex of the 15 x 19 grid, in vertex-number order, each
// vertex line followed by a line for every neighbour the vertex lists:
//
//     X Y : NNN        vertex NNN stands on column X, row Y
//     <TAB>X Y : NNN   it lists vertex NNN, which stands on column X, row Y
//
// X and Y are decimal numbers, NNN is the vertex number in three digits, and every line ends
// with a line feed (the last one may lack it). The reader is strict: anything else, a vertex out
// of order or missing, two vertices on one cell, or a neighbour line whose cell is not the one
// that neighbour's own line gives is refused with the line named.
#pragma once

#include "failure.hpp"

#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

inline constexpr int columns = 15;            // x = 0 .. 14
inline constexpr int rows = 19;               // y = 0 .. 18
inline constexpr int vertex_count = 285;      // one vertex on every cell
inline constexpr int max_neighbours = 50;     // neighbour lines one vertex can have
inline constexpr int bad_listing_status = 2;  // exit status for a listing that is refused

struct Cell {
    int x = 0;
    int y = 0;
    bool operator==(const Cell&) const = default;
};

// "Vertex `from` lists vertex `to`", both numbered 1 .. 285.
struct Mention {
    int from = 0;
    int to = 0;
};

struct Listing {
    std::array<Cell, vertex_count> cells{};  // index i: the cell of vertex i + 1
    std::vector<Mention> mentions;           // in the order of the listing
};

// Reads a whole listing from `in`. Stops at the first fault, so the input's size does not
// matter. `source` names the input in the messages: a file's name, or "" for standard input
// (the messages then name only the line).
Read<Listing> read_listing(std::FILE* in, const std::string& source = "");

// Opens the file `path` and reads the listing in it.
Read<Listing> read_listing_file(const std::string& path);
