// vevuvedu: the cube `kostka`, the command line, printing a filling and the final message.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

// A box of cells addressed [x][y][z]; the program's cube has nx = ny = nz = N. A cell holds 0
// while it is free and otherwise the number of the path segment that covers it (the start
// cell holds 1). The tests also use boxes and cells taken by some other value.
struct Kostka {
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
bool make_kostka(Kostka& kostka, int32_t nx, int32_t ny, int32_t nz);

// Writes the whole box: for every x, one line per y with "%d " for every z, then "---".
void dump(const Kostka& kostka, std::FILE* out);
std::string dump_text(const Kostka& kostka);

// The edge length read from the command line, or the reason why there is none.
struct EdgeArgument {
    int32_t n = 0;
    int status = 0;     // 0: n is usable; otherwise the exit status to end with
    std::string error;  // the message for standard error when status is not 0
};
EdgeArgument read_edge(int argc, char** argv);

// The line that ends a run; the program's exit status is its length in bytes.
std::string final_message(int32_t count);

// The whole program: reads N, searches, prints every filling and the final message.
int run_vevuvedu(int argc, char** argv);

// Writes "vevuvedu: REASON" to standard error and returns `status`, the exit status to end with.
int fail(int status, const std::string& reason);
