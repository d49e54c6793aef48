// vevuvedu: the mirror half at the start. When swapping the second and third axes maps the box
// and its first segment onto themselves, the fillings whose first turn goes along the third axis
// are exactly the mirrors of those whose first turn goes along the second. The search walks the
// second half only; the mirrors of its fillings stand in for the third, written in the order a
// search of that half would find them.
#pragma once

#include "store.hpp"
#include "walker.hpp"

#include <cstdint>
#include <string>
#include <vector>

// True when swapping the second and third axes maps the box's cells, values included, and the
// first segment (start, axis) onto themselves: a mirrored filling then prints as the filling the
// search of the mirrored half would print.
bool mirror_symmetric(const Cube& kostka, const std::array<int32_t, 3>& start, int32_t axis);

// The mirror of one filling: its cells, and the continuation it takes at every level after the
// first, numbered as `Frame::next` numbers them. The search finds fillings in the order of
// those numbers, compared level by level.
struct MirroredFilling {
    std::vector<int32_t> trials;
    std::vector<int32_t> cells;
};

// The mirror of the filling the box holds now: the stack's segments and `last`, which filled it.
MirroredFilling mirror_filling(const Walker& w, const Frame& last);

// The mirror of the filling the box `kostka` (second and third edges equal) holds, whose mirror
// the continuations `trials` reach: the same as `mirror_filling` gave when it was found.
MirroredFilling mirror_of(const Cube& kostka, std::vector<int32_t> trials);

// Sorts the mirrors into the search's order and appends each one's text as `dump` writes it.
// Throws std::bad_alloc when the memory is not there.
void append_mirrors(std::string& text, std::vector<MirroredFilling>& mirrors, const Cube& shape);
