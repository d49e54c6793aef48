// vevuvedu-svg: the path of one filling, traced through its cells' segment numbers.
//
// A filling is one path through every free cell of the box. It starts in cell (0,0,0), which
// holds 1; segment 2 runs from there along the whole first axis, (1,0,0) to (nx - 1,0,0); every
// later segment k starts beside the end of segment k - 1, runs straight along an axis at a right
// angle to it and covers at least 2 cells, all holding k. A taken cell holds -1 and no segment
// enters it. Tracing checks all of this; where it fails it names the cell that does not fit.
#pragma once

#include "records.hpp"

#include <string>

struct PathTrace {
    std::vector<Cell> path;
    std::vector<Segment> segments;
    std::optional<Cell> fault_cell;  // set with `fault`: the cell whose number does not fit
    std::string fault;               // empty when the path is sound
};

// Traces the path through `values` (every cell's number, in the box's index order).
PathTrace trace_path(const Box& box, const std::vector<int32_t>& values);
