// Fuzz target: orv-layout's reader of the graph file, and a few improvement passes on every graph
// it accepts.
//
// The reader must accept or refuse every input without a sanitizer report, and a refusal must say
// why. An accepted graph is prepared (depths, placement, first total) and then improved by the
// plain and by the fast estimates side by side, the fast ones with the widest loops the processor
// runs and with the narrow ones: all must trade the same pairs, write the same totals and end
// with the same bits.
#include "graph.hpp"
#include "improve.hpp"
#include "phases.hpp"
#include "reader.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

namespace {

constexpr int passes = 2;  // a trade and the pass after it, cheap enough per input

// The totals a run of passes writes, with its status and end state.
struct Improved {
    layout::Graph g;
    int status = 0;
    std::string totals;
};

Improved run_passes(const layout::Graph& start, layout::Estimates way) {
    Improved run{start, 0, {}};
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* trace = open_memstream(&text, &size);
    run.status = layout::improve(run.g, trace, way, passes);
    std::fclose(trace);
    run.totals.assign(text, size);
    std::free(text);
    return run;
}

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static std::FILE* const sink = std::fopen("/dev/null", "w");
    std::FILE* in = size == 0 ? std::fopen("/dev/null", "r")
                              : fmemopen(const_cast<std::uint8_t*>(data), size, "r");
    if (in == nullptr || sink == nullptr) std::abort();
    static layout::Graph g;  // large; kept off the stack
    g = layout::Graph{};
    const std::optional<layout::Failure> refused = layout::read_stream(in, {"orv-graph"}, g);
    std::fclose(in);
    if (refused) {
        if (refused->reason.find("orv-graph") == std::string::npos) std::abort();  // names the file
        return 0;
    }
    layout::prepare(g, sink);
    const Improved plain = run_passes(g, layout::Estimates::plain);
    for (const layout::Estimates way : {layout::Estimates::fast, layout::Estimates::fast_narrow}) {
        const Improved fast = run_passes(g, way);
        if (plain.status != fast.status || plain.totals != fast.totals ||
            !same_bits(plain.g.sum_total, fast.g.sum_total) || plain.g.tabulka != fast.g.tabulka)
            std::abort();
        for (int v = 0; v < layout::vertex_count; ++v)
            if (plain.g.vrcholy[v].x != fast.g.vrcholy[v].x ||
                plain.g.vrcholy[v].y != fast.g.vrcholy[v].y)
                std::abort();
    }
    return 0;
}
