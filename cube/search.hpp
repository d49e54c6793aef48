// vevuvedu: the depth-first search for paths of straight segments that fill the cube.
#pragma once

#include "cube.hpp"

#include <cstdint>
#include <string>

// Counters of work done, for the benchmarks.
struct SearchStats {
    uint64_t calls = 0;         // segments tried, the first one included (each a probe_path call)
    uint64_t dead = 0;          // laid segments whose remaining cells were shown to hold no filling
    uint64_t prune_rounds = 0;  // rounds of role propagation run
    uint64_t max_depth = 0;     // the most segments on the stack at once
};

// What the search calls back: `dump` for every complete filling, and `progress` (if set) every
// 65536 segments with the share of the first choices after the first segment done so far.
struct SearchHooks {
    void (*dump)(const Kostka& kostka, void* context) = nullptr;
    void (*progress)(double share_done, int32_t found, void* context) = nullptr;
    void* context = nullptr;
};

enum class Pruning {
    none,  // the plain exhaustive search: only the free-cell check of every segment
    full,  // also cut subtrees that provably hold no filling, and the mirror half at the start
};

// Lays the segment (dx, dy, dz) from the marked cell (x, y, z) with the number `segment`, then
// every continuation, and returns how many fillings were found. `filled` is the number of cells
// marked before the segment. At most one of dx, dy, dz is non-zero and the segment ends inside
// the box. The box is left as it was given. Fillings are reported in the order: targets in
// ascending order, after a segment along the first axis the second axis then the third, after
// the second the first then the third, after the third the second then the first.
// The search keeps its own stack of segments, so its depth is not limited by the process stack;
// it throws std::bad_alloc only when that stack cannot grow.
int32_t probe_path(Kostka& kostka, int32_t x, int32_t y, int32_t z, int32_t dx, int32_t dy,
                   int32_t dz, int32_t segment, int32_t filled, const SearchHooks& hooks,
                   Pruning pruning = Pruning::full, SearchStats* stats = nullptr);

// The search as the program starts it, on a box whose taken cells already hold a non-zero value:
// cell (0,0,0) gets 1 and the first segment runs along the first axis to its far end. Every
// filling's text (as `dump` writes it) is appended to `printed` when it is given. The tests
// compare the pruned and the plain search with it; the benchmarks read the counters.
struct BoxSearch {
    int32_t count = 0;
    std::string printed;
    SearchStats stats;
};
BoxSearch search_box(Kostka& kostka, Pruning pruning, bool keep_printed = true);

// Knuth's estimate of the size of the pruned search tree of `search_box`: random dives from
// the first segment, each choosing one continuation uniformly at each level; the product of
// the branching counts along a dive, summed over its levels, is an unbiased estimate of the
// number of calls. When the box is mirror-symmetric the estimate assumes, as a search without
// fillings does, that the first level tries only the second axis.
struct TreeEstimate {
    double calls = 0;           // the mean estimate of calls
    double relative_error = 0;  // standard error of the mean over the mean
    double seconds_per_call = 0;
    uint64_t dives = 0;
};
TreeEstimate estimate_search_tree(Kostka& kostka, uint64_t dives, uint32_t seed);
