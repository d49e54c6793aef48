// Estimates of the size of vevuvedu's pruned search tree for cubes too large to search here.
#pragma once

#include "store.hpp"

#include <cstdint>

struct TreeEstimate {
    double calls = 0;           // the estimated calls of the whole search
    double relative_error = 0;  // the standard error of the estimate over the estimate
    double seconds_per_call = 0;
    uint64_t samples = 0;     // dives made, or subtrees searched
    uint64_t population = 0;  // the subtrees sampled from (0 for dives)
};

// Knuth's estimate: random dives from the first segment, each choosing one continuation
// uniformly at each level; the product of the branching counts along a dive, summed over its
// levels, is an unbiased estimate of the number of calls. When the box is mirror-symmetric,
// the first level tries only the second axis, as the search does. Heavy-tailed trees make it
// land low for any affordable number of dives.
TreeEstimate knuth_estimate(Cube& kostka, uint64_t dives, uint32_t seed);

// Walks the top of the tree exactly down to `depth` segments, picks `samples` of the
// continuations tried there uniformly at random, and searches each one's subtree to the end:
// the calls above plus the number of continuations times their mean subtree. Unbiased, and its
// error shrinks like that of any sample mean, tail included. The mirror as above.
TreeEstimate sampled_estimate(Cube& kostka, int32_t depth, uint64_t samples, uint32_t seed);
