// vevuvedu: the search on several threads, with the output of the single walk.
#pragma once

#include "search.hpp"

// Runs `search_box` on `options.threads` threads. The subtrees below `options.split_depth`
// segments are numbered in the order of the single walk and taken by the threads in that
// order; each one's fillings are held until every subtree before it has been written, so the
// sink sees them in the order of the single walk. `filled` counts the box's taken cells, the
// start cell (0,0,0), already marked, included.
BoxSearch search_box_parallel(Cube& kostka, int32_t filled, const SearchOptions& options);
