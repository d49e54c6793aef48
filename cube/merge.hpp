// vevuvedu: the results of every work unit of a run put together: the plain run's output, and
// two sets of results compared unit by unit.
#pragma once

#include "failure.hpp"
#include "records.hpp"
#include "unit_file.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Every unit of one run, indexed by the unit's number, with the file each came from.
struct UnitSet {
    std::vector<UnitFile> units;
    std::vector<std::string> names;
};

// Reads the files named and every *.vvr file in the folders named, and checks that they are the
// complete results of one run: each file whole and unaltered, every one of the same version,
// box, taken cells, split depth and number of units, every unit there exactly once and owning
// the events the assignment gives it. A failure (status 2) names the file and what is wrong.
Read<UnitSet> read_unit_set(const std::vector<std::string>& inputs);

// Writes the fillings of the whole run to the sink in the order of the plain run (the mirrors
// of the fillings before the switch to the mirrored half in its place) and counts them; the
// failure when the sink refused a filling (status 1).
BoxSearch merge_units(const UnitSet& set, const FillingSink& sink);

// Compares two sets unit by unit: their fillings, their counts and their calls. Nothing when
// they agree; otherwise a failure with status 4 naming every unit that differs and how, or
// status 2 when they do not belong to the same run.
std::optional<Failure> compare_sets(const UnitSet& a, const UnitSet& b);
