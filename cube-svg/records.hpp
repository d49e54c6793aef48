// vevuvedu-svg: what the reader makes of vevuvedu's output, and what the pictures draw.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

// A cell of the box: x along the first axis (the block of the output), y along the second (the
// line in the block), z along the third (the number in the line), each from 0.
struct Cell {
    int x = 0, y = 0, z = 0;
    bool operator==(const Cell&) const = default;
};

// The box's edge lengths along the three axes.
struct Box {
    int nx = 0, ny = 0, nz = 0;
    bool operator==(const Box&) const = default;
    int64_t cells() const { return int64_t{nx} * ny * nz; }
    int64_t index(Cell c) const { return (int64_t{c.x} * ny + c.y) * nz + c.z; }
};

// What a taken cell holds in the output.
inline constexpr int taken_value = -1;

// One straight piece of the path: its cells run from `first` to `last` (the start cell, 1,
// is a segment of one cell). Segment i of a filling's list carries the number i + 1.
struct Segment {
    Cell first, last;
    int length = 0;  // cells
};

// One filling as the output prints it, with its path traced through the cells.
struct Filling {
    std::vector<int32_t> values;    // every cell's number, in the box's index order
    std::vector<Cell> path;         // every free cell once, from the start (0,0,0) to the end
    std::vector<Segment> segments;  // in path order: the start cell, then the segments 2, 3, ...
};

// The whole output of one run of vevuvedu.
struct Output {
    Box box;                        // unknown (all 0) when no filling was found and no --box
    std::vector<Filling> fillings;  // in the order of the output
    int64_t taken = 0;              // taken cells, the same in every filling
};
