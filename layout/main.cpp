// orv-layout: reads the graph in "orv-graph", lays its 285 vertices out on a 15 x 19 grid and
// lists every vertex with its cell and its neighbours' cells. The depth trace and the pass totals
// go to standard error; the exit status is the number of passes that traded.
#include "graph.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Status of every error. A normal run ends with the count of trading passes reduced to 8 bits,
// which can be any value, so an error is told by its message and the empty standard output.
constexpr int error_status = 255;

int fail(const std::string& reason) {
    std::fprintf(stderr, "orv-layout: %s\n", reason.c_str());
    return error_status;
}

// Makes sure everything written to standard output really left the process: a full disk or a
// closed file must not end with a success status.
int finish(int status) {
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return status;
    const int err = errno;  // left by the write that failed
    return fail(std::string("zápis na standardní výstup selhal: ") +
                (err != 0 ? std::strerror(err) : "chyba zápisu"));
}

}  // namespace

int main() {
    static char trace_buffer[1 << 16];
    std::setvbuf(stderr, trace_buffer, _IOFBF, sizeof trace_buffer);
    static layout::Graph g;
    const std::string problem = layout::read_graph("orv-graph", g);
    if (!problem.empty()) return fail(problem);
    const int passes = layout::lay_out(g, stderr);
    std::fflush(stderr);  // the trace and totals come before the listing
    layout::vypis(g, stdout);
    return finish(passes);
}
