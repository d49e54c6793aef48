// orv-layout-bench GRAPH [PASSES] [REPEATS] [plain|fast]: runs the improvement passes on the graph
// file GRAPH with the plain estimates (every sum recomputed, two square roots per neighbour) and
// with the fast ones, checks that both write the same pass totals and end with the same placement
// and status, and reports the time per pass of each and their ratio. The fast passes run REPEATS
// times (default 3) and the best time counts; PASSES (default 10000) bounds the passes. With
// `plain` or `fast` only that one runs once (for instruction counts under callgrind).
#include "graph.hpp"
#include "improve.hpp"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Run {
    std::string totals;  // what the passes wrote
    layout::Graph end;
    int status = 0;
    double seconds = 0;
    layout::PassCounters work;
};

Run improve(const layout::Graph& start, layout::Estimates way, int limit) {
    Run r;
    r.end = start;
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* trace = open_memstream(&text, &size);
    const auto t0 = std::chrono::steady_clock::now();
    r.status = layout::improve(r.end, trace, way, limit, &r.work);
    const auto t1 = std::chrono::steady_clock::now();
    std::fclose(trace);
    r.totals.assign(text, size);
    std::free(text);
    r.seconds = std::chrono::duration<double>(t1 - t0).count();
    return r;
}

bool same(const Run& a, const Run& b) {
    if (a.totals != b.totals || a.status != b.status || a.end.tabulka != b.end.tabulka)
        return false;
    for (int v = 0; v < layout::vertex_count; ++v)
        if (a.end.vrcholy[v].x != b.end.vrcholy[v].x || a.end.vrcholy[v].y != b.end.vrcholy[v].y)
            return false;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: orv-layout-bench GRAPH [PASSES] [REPEATS] [plain|fast]\n");
        return 2;
    }
    const int limit = argc > 2 ? std::atoi(argv[2]) : layout::max_passes;
    const int repeats = argc > 3 ? std::atoi(argv[3]) : 3;
    static layout::Graph start;
    if (const auto problem = layout::read_graph(argv[1], start)) {
        std::fprintf(stderr, "orv-layout-bench: %s\n", problem->reason.c_str());
        return 2;
    }
    std::FILE* quiet = std::fopen("/dev/null", "w");
    layout::prepare(start, quiet);

    const std::string only = argc > 4 ? argv[4] : "";
    if (only == "plain" || only == "fast") {
        const Run r = improve(
            start, only == "plain" ? layout::Estimates::plain : layout::Estimates::fast, limit);
        std::printf("%s: %lld passes (status %d), %.3f s, %.1f us per pass\n", only.c_str(),
                    r.work.passes, r.status, r.seconds, 1e6 * r.seconds / r.work.passes);
        return 0;
    }

    Run fast = improve(start, layout::Estimates::fast, limit);
    for (int i = 1; i < repeats; ++i) {
        Run again = improve(start, layout::Estimates::fast, limit);
        if (again.seconds < fast.seconds) fast = again;
    }
    const Run plain = improve(start, layout::Estimates::plain, limit);

    const double passes = static_cast<double>(plain.work.passes);
    std::printf("passes: %lld (status %d), trades: %lld, estimates: %lld\n", plain.work.passes,
                plain.status, plain.work.trades, plain.work.estimates);
    std::printf("plain: %.3f s, %.1f us per pass\n", plain.seconds, 1e6 * plain.seconds / passes);
    std::printf("fast:  %.3f s, %.1f us per pass\n", fast.seconds, 1e6 * fast.seconds / passes);
    std::printf("ratio: %.1fx\n", plain.seconds / fast.seconds);
    const bool ok = same(plain, fast);
    std::printf("same totals, placement and status: %s\n", ok ? "yes" : "NO");
    return ok ? 0 : 1;
}
