// orv-layout: the phases after reading, in their order, from the start values to the passes.
#include "phases.hpp"

#include "cost.hpp"
#include "improve.hpp"
#include "placement.hpp"

namespace layout {

void prepare(Graph& g, std::FILE* trace) {
    init_vertices(g);
    compute_depths(g, trace);
    sort_by_depth(g);
    place_on_diagonals(g);
    g.sum_total = get_total_sum(g);
}

int lay_out(Graph& g, std::FILE* trace) {
    prepare(g, trace);
    return improve(g, trace, Estimates::fast);
}

}  // namespace layout
