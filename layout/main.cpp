// orv-layout: reads the graph in "orv-graph", lays its 285 vertices out on a 15 x 19 grid and
// lists every vertex with its cell and its neighbours' cells. The depth trace and the pass totals
// go to standard error; the exit status is the number of passes that traded.
#include "graph.hpp"
#include "usage.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

namespace {

// Reports a failure on standard error and gives the status the program ends with.
int report(const layout::Failure& failure) {
    std::fprintf(stderr, "orv-layout: %s\n", failure.reason.c_str());
    return failure.status;
}

// Makes sure everything written to `stream` really left the process: a full disk or a closed
// file must not end with a normal status. `what` names the stream in the message.
std::optional<layout::Failure> check_written(std::FILE* stream, const char* what) {
    errno = 0;
    if (std::fflush(stream) == 0 && !std::ferror(stream)) return std::nullopt;
    const int err = errno;  // left by the write that failed
    return layout::Failure{layout::error_status,
                           std::string("zápis na ") + what +
                               " selhal: " + (err != 0 ? std::strerror(err) : "chyba zápisu")};
}

}  // namespace

int main(int argc, char** argv) {
    if (const char* answer = help_or_version(argc, argv)) {
        std::fputs(answer, stdout);
        const std::optional<layout::Failure> unwritten = check_written(stdout, "standardní výstup");
        return unwritten ? report(*unwritten) : 0;
    }
    static char trace_buffer[1 << 16];
    std::setvbuf(stderr, trace_buffer, _IOFBF, sizeof trace_buffer);
    static layout::Graph g;
    if (const std::optional<layout::Failure> problem = layout::read_graph("orv-graph", g))
        return report(*problem);
    const int passes = layout::lay_out(g, stderr);
    // The trace and the totals are written out before the listing starts.
    const std::optional<layout::Failure> trace = check_written(stderr, "standardní chybový výstup");
    layout::vypis(g, stdout);
    const std::optional<layout::Failure> listing = check_written(stdout, "standardní výstup");
    // The trace's failure may not get through to standard error; the status does.
    if (trace) report(*trace);
    if (listing) return report(*listing);
    return trace ? trace->status : passes;
}
