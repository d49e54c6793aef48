// vevuvedu: one work unit: shard K of M searches only its own events, checkpoints as it goes,
// and writes its result file when complete.
#pragma once

#include "failure.hpp"
#include "store.hpp"

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

struct UnitJob {
    int64_t shard = 0, shards = 1;
    int32_t split_depth = 8;
    std::string out;  // the result file; the checkpoint is `out` + ".checkpoint"
    int threads = 1;
    double time_limit = 0;        // seconds; 0: none
    double progress_every = 0;    // seconds between progress lines; 0: none
    double checkpoint_every = 0;  // seconds between checkpoints; 0: only when stopped
    // Set (non-zero) by the frame's handler of SIGTERM, SIGINT and SIGUSR1: checkpoint and stop.
    const volatile std::sig_atomic_t* stop_signal = nullptr;
    std::FILE* progress = stderr;  // where the progress lines go
    // Stop at the checkpoint once this many calls have been made below the events in this run
    // (0: never): an exact stop, for tests.
    uint64_t stop_after_calls = 0;
};

// The exit status of a unit stopped at its checkpoint: re-running the same command continues.
inline constexpr int stopped_status = 75;
// The exit status of a unit that another process runs already (it holds the unit's lock).
inline constexpr int busy_status = 73;

// Runs the unit on `kostka` (its taken cells marked, the start not yet). Nothing when the result
// file is complete, this run's or an earlier one's; otherwise the failure: status 75 when it
// stopped at its checkpoint, 73 when another process runs the unit already, 2 when an existing
// result or checkpoint belongs to another run or is damaged, 1 when a file could not be
// written, 3 when memory ran out.
std::optional<Failure> run_unit(Cube& kostka, const UnitJob& job);

// FNV-1a 64 of the box's cells: what a unit file records of its taken cells.
uint64_t taken_hash(const Cube& kostka);
