// orv-layout: the order of the phases that follow the reading of the graph.
#pragma once

#include "graph.hpp"

#include <cstdio>

namespace layout {

// Runs the phases after reading that come before the improvement passes: start values, depths
// (traced to `trace`), sort, placement and the first total.
void prepare(Graph& g, std::FILE* trace);

// Runs every phase after reading: `prepare`, then the improvement passes. The depth trace and the
// pass totals go to `trace`. Returns the number of passes that made a trade.
int lay_out(Graph& g, std::FILE* trace);

}  // namespace layout
