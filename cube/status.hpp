// vevuvedu: where a run of work units stands, told from its files alone (`vevuvedu --status
// FOLDER`): which units are complete, which stopped at a checkpoint and which have no file yet,
// the calls they have made and the fillings they have found so far.
#pragma once

#include "failure.hpp"

#include <cstdint>
#include <string>
#include <vector>

struct RunStatus {
    int64_t units = 0;              // M, the units of the run
    std::vector<int64_t> complete;  // the numbers of the units with a result, ascending
    std::vector<int64_t> stopped;   // with a checkpoint and no result, ascending
    int64_t untouched = 0;          // the others: no file yet
    uint64_t calls = 0;             // below the events, in results and checkpoints alike
    int64_t fillings = 0;           // found so far (the merge adds the mirrors)
};

// Reads every result (*.vvr) and checkpoint (*.vvr.checkpoint) in `folder`. Refused (status 2,
// the file named) when a file is damaged, belongs to another run than the first one, or when
// two results are of the same unit; a unit's checkpoint beside its result is left out.
Read<RunStatus> read_run_status(const std::string& folder);

// The report, a line a fact, each starting with its name: "díly M", "hotové C", "zastavené S",
// "nezačaté U", "volání N", "vyplnění F", then "zastavené-díly" and "nezačaté-díly" with those
// units' numbers, a run of three or more as A-B: the report stays as short as the files are few,
// whatever M.
std::string format_status(const RunStatus& status);
