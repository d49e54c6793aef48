// vevuvedu: the frame of the program: the command line, the number of threads, the progress
// line, and what the command line asks for: the search of the whole box and the final message,
// one work unit, the merge of every unit's result, or two sets of results compared.
#pragma once

#include "arguments.hpp"
#include "failure.hpp"
#include "records.hpp"
#include "store.hpp"

#include <cstdint>
#include <optional>
#include <string>

// The number of threads: `VEVUVEDU_THREADS` when it is set (`setting`, nullptr when not),
// otherwise the processors the process may run on.
Read<int> read_threads(const char* setting);

// The seconds between a work unit's checkpoints: `VEVUVEDU_CHECKPOINT_SECONDS` when it is set
// (`setting`, nullptr when not; 0: only when stopped), otherwise five minutes.
inline constexpr double default_checkpoint_every = 300;
Read<double> read_checkpoint_every(const char* setting);

// The line that ends a run; the program's exit status is its length in bytes.
std::string final_message(int32_t count);

// The search as the program starts it, on a box whose taken cells already hold a non-zero value:
// cell (0,0,0) gets 1 and the first segment, numbered 2, runs along the first axis to its far
// end (`probe_path`). One walk, or with `options.threads` above 1 the threads; the fillings
// reach the sink in the same order either way. The box is left as it was given, (0,0,0) marked.
BoxSearch search_box(Cube& kostka, const SearchOptions& options);

// How a run ends: its exit status, or the failure main reports.
struct Ending {
    int status = 0;
    std::optional<Failure> failure;
};

// Builds the box the request names: the cube of edge N or the box, its taken cells marked.
std::optional<Failure> make_box(const Request& request, Cube& kostka);

// The whole program: reads the command line, then searches and prints every filling and the
// final message (or runs a work unit, merges or compares their results).
Ending run_vevuvedu(int argc, char** argv);
