// vevuvedu: the records every unit of the search shares: the counters of work done, where the
// fillings go, and what a search gives back. The lowest floor of the search: the rules, the walk,
// the single search, the threads and the frame all include it.
#pragma once

#include "failure.hpp"

#include <cstdint>
#include <optional>
#include <string_view>

// Work done by the rules: the benchmarks report it.
struct PruneCounters {
    uint64_t rounds = 0;      // rounds of role propagation run
    uint64_t quick_cuts = 0;  // segments cut by the parent's roles alone, without propagating
};

// Work done by the search: the benchmarks and the work units report it.
struct SearchStats {
    uint64_t calls = 0;  // segments tried, the first one included (each a probe_path call)
    PruneCounters prune;
};

// Where the fillings go: `write` gets the text of the fillings (as `dump` writes each), one or
// several at a time, in the order of the sequential search, and returns false when it could not
// be written; the search then stops.
struct FillingSink {
    bool (*write)(std::string_view text, void* context) = nullptr;
    void* context = nullptr;
};

// How far the search has come.
struct ProgressReport {
    double share_done = 0;  // of the tree, by the choices made on the way to the present node
    int64_t found = 0;      // fillings found so far
    uint64_t calls = 0;     // calls made so far; with threads, those below the events, counted
                            // in steps of 65536 a thread
};

// `report` is told the progress every so often; with threads, `event_done` is told each event's
// calls as its outcome is handed on, in event order (under the search's lock: it must not call
// back into the search).
struct ProgressHook {
    void (*report)(const ProgressReport& now, void* context) = nullptr;
    void (*event_done)(int64_t event, uint64_t calls, void* context) = nullptr;
    void* context = nullptr;
};

// The split depth the threads and the work units use unless told otherwise.
inline constexpr int32_t default_split_depth = 8;

struct SearchOptions {
    int threads = 1;                            // 1: the search runs as a single walk
    int32_t split_depth = default_split_depth;  // with threads: the subtrees below this many
                                                // segments are the units handed out (1 or more)
    FillingSink sink;                           // no `write`: the fillings are only counted
    ProgressHook progress;
};

// What a search gives back. A failure stops the search: status 1 when the sink refused a
// filling (everything before it was written), 3 when its memory ran out.
struct BoxSearch {
    int32_t count = 0;
    SearchStats stats;
    std::optional<Failure> failure;
};

inline Failure write_failure() { return {1, "vyplnění nejde zapsat"}; }
inline Failure memory_failure() { return {3, "na zásobník hledání nestačí paměť"}; }
