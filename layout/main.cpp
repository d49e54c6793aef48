// orv-layout: reads a graph ("orv-graph" unless the command line names a file or "-"), lays its
// 285 vertices out on a 15 x 19 grid and lists every vertex with its cell and its neighbours'
// cells. The depth trace and the pass totals go to standard error; the exit status is the number
// of passes that traded.
#include "failure.hpp"
#include "graph.hpp"
#include "phases.hpp"
#include "reader.hpp"
#include "usage.hpp"

#include <cstdio>
#include <optional>

using layout::check_written;
using layout::Failure;
using layout::report;

int main(int argc, char** argv) {
    const CommandLine line = read_command_line(argc, argv);
    if (const char* answer = line.answer) {
        std::fputs(answer, stdout);
        const std::optional<Failure> unwritten = check_written(stdout, "standardní výstup");
        return unwritten ? report(*unwritten) : 0;
    }
    if (line.failure) return report(*line.failure);
    static char trace_buffer[1 << 16];
    std::setvbuf(stderr, trace_buffer, _IOFBF, sizeof trace_buffer);
    static layout::Graph g;
    if (const std::optional<Failure> problem = layout::read_graph(line.graph, g))
        return report(*problem);
    const int passes = layout::lay_out(g, stderr);
    // The trace and the totals are written out before the listing starts.
    const std::optional<Failure> trace = check_written(stderr, "standardní chybový výstup");
    layout::vypis(g, stdout);
    const std::optional<Failure> listing = check_written(stdout, "standardní výstup");
    // The trace's failure may not get through to standard error; the status does.
    if (trace) report(*trace);
    if (listing) return report(*listing);
    return trace ? trace->status : passes;
}
