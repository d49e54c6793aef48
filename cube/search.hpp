// vevuvedu: the depth-first search for paths of straight segments that fill the cube.
#pragma once

#include "prune.hpp"
#include "store.hpp"

#include <cstdint>
#include <string>
#include <string_view>

// Counters of work done, for the benchmarks.
struct SearchStats {
    uint64_t calls = 0;         // segments tried, the first one included (each a probe_path call)
    uint64_t dead = 0;          // laid segments whose remaining cells were shown to hold no filling
    uint64_t max_depth = 0;     // the most segments on the stack at once
    bool write_failed = false;  // the sink refused a filling and the search stopped
    PruneCounters prune;
};

// Where the fillings go: `write` gets the text of the fillings (as `dump` writes each), one or
// several at a time, in the order of the sequential search, and returns false when it could not
// be written.
struct FillingSink {
    bool (*write)(std::string_view text, void* context) = nullptr;
    void* context = nullptr;
};

// How far the search has come: the share of the tree done (by the choices made on the way to
// the present node), and the fillings found so far.
struct ProgressHook {
    void (*report)(double share_done, int64_t found, void* context) = nullptr;
    void* context = nullptr;
};

enum class Pruning {
    none,  // the plain exhaustive search: only the free-cell check of every segment
    full,  // also cut subtrees that provably hold no filling, and the mirror half at the start
};

struct SearchOptions {
    Pruning pruning = Pruning::full;
    int threads = 1;          // 1: one thread runs the search as a single walk
    int32_t split_depth = 8;  // with more threads: the subtrees below this many segments
    FillingSink sink;         // no `write`: the fillings are only counted
    ProgressHook progress;
};

enum class SearchFailure {
    none,
    write,   // the sink could not write a filling; the search stopped
    memory,  // memory for the search ran out; the search stopped
};

struct BoxSearch {
    int32_t count = 0;
    std::string printed;  // every filling's text, from the overload that keeps them
    SearchStats stats;
    SearchFailure failure = SearchFailure::none;
};

// The search as the program starts it, on a box whose taken cells already hold a non-zero value:
// cell (0,0,0) gets 1 and the first segment, numbered 2, runs along the first axis to its far
// end. Fillings are found in the order: targets in ascending order, after a segment along the
// first axis the second axis then the third, after the second the first then the third, after
// the third the second then the first. They reach the sink in that order whatever the number
// of threads. The box is left as it was given, (0,0,0) marked.
BoxSearch search_box(Cube& kostka, const SearchOptions& options);

// The same, keeping every filling's text in `printed` when `keep_printed` is set.
BoxSearch search_box(Cube& kostka, Pruning pruning, bool keep_printed = true);

// Lays the segment (dx, dy, dz) from the marked cell (x, y, z) with the number `segment`, then
// every continuation, in the order above, and returns how many fillings were found; `filled`
// is the number of cells marked before the segment. At most one of dx, dy, dz is non-zero and
// the segment ends inside the box. The box is left as it was given. The search keeps its own
// stack of segments, so its depth is not limited by the process stack; it throws
// std::bad_alloc only when that stack cannot grow.
int32_t probe_path(Cube& kostka, int32_t x, int32_t y, int32_t z, int32_t dx, int32_t dy,
                   int32_t dz, int32_t segment, int32_t filled, const FillingSink& sink,
                   Pruning pruning = Pruning::full, SearchStats* stats = nullptr,
                   const ProgressHook& progress = {});
