// vevuvedu: the depth-first search for paths of straight segments that fill the box, as one walk.
#pragma once

#include "records.hpp"
#include "store.hpp"

#include <cstdint>

// Lays the segment (dx, dy, dz) from the marked cell (x, y, z) with the number `segment`, then
// every continuation, and counts the fillings found; `filled` is the number of cells marked
// before the segment. At most one of dx, dy, dz is non-zero and the segment ends inside the box.
// Fillings are found, and reach the sink, in the order: targets in ascending order, after a
// segment along the first axis the second axis then the third, after the second the first then
// the third, after the third the second then the first. The box is left as it was given.
//
// The search keeps its own stack of segments on the heap, so its depth is not limited by the
// process stack. A filling the sink refuses, or memory that runs out, stops it: the result then
// holds the failure (see BoxSearch) beside the fillings counted so far.
BoxSearch probe_path(Cube& kostka, int32_t x, int32_t y, int32_t z, int32_t dx, int32_t dy,
                     int32_t dz, int32_t segment, int32_t filled, const FillingSink& sink,
                     const ProgressHook& progress = {});
