// vevuvedu: the command line, read once into a record the frame hands down.
//
//   vevuvedu N                                       the cube of edge N (read like strtol)
//   vevuvedu --box AxBxC [--taken FILE]              a box, some cells taken
//   vevuvedu --shard K/M --out FILE [--split-depth D] [--time-limit SECONDS]
//            [--progress SECONDS] (N | --box AxBxC [--taken FILE])
//                                                    one work unit of M, its result in FILE
//   vevuvedu --merge FILE|DIR...                     the plain run's output from every unit
//   vevuvedu --verify DIR_A DIR_B                    two sets of units compared unit by unit
//   vevuvedu --status DIR                            where the units in DIR stand
//
// A first argument that does not start with "--" is N, and the arguments after it are ignored,
// as they always were; otherwise every argument is an option, its value, or N.
#pragma once

#include "failure.hpp"
#include "records.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class Mode { plain, shard, merge, verify, status };

struct Request {
    Mode mode = Mode::plain;
    int32_t nx = 0, ny = 0, nz = 0;
    bool cube = true;   // N was given, not --box
    std::string taken;  // the taken-cell file; empty: none
    // A work unit: shard K of M, its result file, and how it runs.
    int64_t shard = 0, shards = 1;
    std::string out;
    int32_t split_depth = default_split_depth;
    double time_limit = 0;      // seconds; 0: none
    double progress_every = 0;  // seconds between progress lines; 0: none
    // --merge: the files and folders; --verify: the two folders; --status: the folder.
    std::vector<std::string> inputs;
};

// The batch engine's array index, when the shard number is left to it: SLURM_ARRAY_TASK_ID,
// else JOB_COMPLETION_INDEX (nullptr when not set).
struct ArrayIndex {
    const char* slurm = nullptr;
    const char* job_completion = nullptr;
};

Read<Request> read_request(int argc, char** argv, const ArrayIndex& index);

// The edge length read from the first argument like strtol, or why there is none.
Read<int32_t> read_edge(int argc, char** argv);
