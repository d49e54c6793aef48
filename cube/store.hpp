// vevuvedu: the cube `kostka`, its cells, and printing a filling.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

// A box of cells addressed [x][y][z]; the program's cube has nx = ny = nz = N. A cell holds 0
// while it is free and otherwise the number of the path segment that covers it (the start
// cell holds 1). A box may hold taken cells: any other non-zero value, which no segment covers.
struct Cube {
    int32_t nx = 0, ny = 0, nz = 0;
    int32_t celkem_poli = 0;  // nx * ny * nz
    std::unique_ptr<int32_t[], decltype(&std::free)> cells{nullptr, &std::free};

    int32_t& at(int32_t x, int32_t y, int32_t z) { return cells[index(x, y, z)]; }
    int32_t at(int32_t x, int32_t y, int32_t z) const { return cells[index(x, y, z)]; }
    int32_t index(int32_t x, int32_t y, int32_t z) const {
        return (x * ny + y) * nz + z;  // fits: celkem_poli fits in 32 bits
    }
};

// The largest edge whose cell count fits a 32-bit signed integer (1290^3 < 2^31 <= 1291^3).
inline constexpr int32_t max_edge = 1290;

// Allocates an nx x ny x nz box with every cell free; false when the memory is not there.
// The caller has checked that the cell count fits 32 bits.
bool make_cube(Cube& kostka, int32_t nx, int32_t ny, int32_t nz);

// A box of the same size holding the same cells; false when the memory is not there.
bool copy_cube(Cube& copy, const Cube& kostka);

// Appends the whole box to `text` as a filling prints: for every x, one line per y with "%d " for
// every z, then "---".
void dump(std::string& text, const Cube& kostka);
