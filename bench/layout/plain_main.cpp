// orv-layout-plain FILE: orv-layout with every swap estimate of the passes evaluated as written
// (`checkswitch` for every ordered pair), built with -O2: the plain build that bench/layout/run
// times the whole program against. It writes the same trace, totals, listing and status.
#include "failure.hpp"
#include "graph.hpp"
#include "improve.hpp"
#include "phases.hpp"
#include "reader.hpp"

#include <cstdio>
#include <optional>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: orv-layout-plain FILE\n", stderr);
        return layout::error_status;
    }
    static char trace_buffer[1 << 16];
    std::setvbuf(stderr, trace_buffer, _IOFBF, sizeof trace_buffer);
    static layout::Graph g;
    if (const std::optional<layout::Failure> problem = layout::read_graph(argv[1], g))
        return layout::report(*problem);
    layout::prepare(g, stderr);
    const int passes = layout::improve(g, stderr, layout::Estimates::plain);
    std::fflush(stderr);
    layout::vypis(g, stdout);
    return passes;
}
