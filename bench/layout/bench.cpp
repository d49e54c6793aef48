// orv-layout-bench SAMPLE [SHAPE|all] [PASSES] [REPEATS] [plain|fast|narrow]: runs the improvement
// passes with the plain estimates (every sum recomputed, two square roots per neighbour) and with
// the fast ones on graphs of several shapes: the sample file SAMPLE and generated graphs. For
// each shape it reports how many passes the fast passes run to the end (at most 10000) and how
// many trades a pass makes, then times the first PASSES passes (default 300) both ways, REPEATS
// times (default 3) in turn, and prints the best processor time per pass of each and their ratio.
// It checks that both ways write the same totals and end in the same placement and status. With
// `plain`, `fast` or `narrow` (the fast scan with its narrow loops) only that way runs, once, on
// one shape (for instruction counts under callgrind, or to compare the loops). With `write DIR` (in
// place of PASSES) it writes each shape's graph as a graph file DIR/SHAPE.orv-graph and prints
// "SHAPE PASSES" with the passes a run of it takes, for the whole-program timing of
// bench/layout/run.
#include "graph.hpp"
#include "improve.hpp"
#include "phases.hpp"
#include "reader.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <time.h>
#include <vector>

namespace {

using layout::Graph;

struct Run {
    std::string totals;  // what the passes wrote
    Graph end;
    int status = 0;
    double seconds = 0;
    layout::PassCounters work;
};

// The processor time this thread has used. The machine may be shared: waiting for a processor
// does not count, so the figures hold on a loaded machine better than elapsed time would.
double cpu_seconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

Run improve(const Graph& start, layout::Estimates way, int limit) {
    Run r;
    r.end = start;
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* trace = open_memstream(&text, &size);
    const double t0 = cpu_seconds();
    r.status = layout::improve(r.end, trace, way, limit, &r.work);
    const double t1 = cpu_seconds();
    std::fclose(trace);
    r.totals.assign(text, size);
    std::free(text);
    r.seconds = t1 - t0;
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

// Generated graphs. Raw mt19937 output, never a library distribution, so every library gives the
// same graphs.
struct Maker {
    std::mt19937 rnd;
    Graph g;

    explicit Maker(std::uint32_t seed) : rnd(seed) {}
    int pick(int n) { return static_cast<int>(rnd() % static_cast<std::uint32_t>(n)); }
    int vertex() { return 1 + pick(layout::vertex_count); }
    bool has(int a, int b) const {
        const layout::vrchol& v = g.vrcholy[a - 1];
        return std::find(v.sousede.begin(), v.sousede.begin() + v.pocet, b - 1) !=
               v.sousede.begin() + v.pocet;
    }
    // Adds a -> b (and b -> a when `both`) unless it is a self-loop, already there or a list is
    // full; says whether it did.
    bool add(int a, int b, bool both = false) {
        if (a == b || a < 1 || b < 1 || a > 285 || b > 285 || has(a, b)) return false;
        if (g.vrcholy[a - 1].pocet == layout::max_neighbours) return false;
        if (both && g.vrcholy[b - 1].pocet == layout::max_neighbours) return false;
        g.vrcholy[a - 1].sousede[g.vrcholy[a - 1].pocet++] = b - 1;
        if (both) g.vrcholy[b - 1].sousede[g.vrcholy[b - 1].pocet++] = a - 1;
        return true;
    }
    // A partner near in number: the lists follow the vertex numbering, which the depth order
    // roughly keeps, so the neighbours' cells lie close together.
    int near(int a) {
        static const int steps[] = {-3, -2, -1, 1, 2, 3, 15, -15};
        return a + steps[pick(8)];
    }
    // `edges` entries, each to a near partner with probability `near_share` (in percent),
    // otherwise to any vertex.
    void fill(int edges, int near_share, bool both) {
        int entries = 0;
        while (entries < edges) {
            const int a = vertex();
            const int b = pick(100) < near_share ? near(a) : vertex();
            if (add(a, b, both)) entries += both ? 2 : 1;
        }
    }
};

// A graph of `entries` list entries from `Maker::fill`.
Graph filled(std::uint32_t seed, int entries, int near_share, bool both) {
    Maker m(seed);
    m.fill(entries, near_share, both);
    return m.g;
}

// A graph where every vertex lists `low` to `high` others, each near with probability
// `near_share` (in percent), otherwise any vertex.
Graph every_vertex(std::uint32_t seed, int low, int high, int near_share) {
    Maker m(seed);
    for (int a = 1; a <= layout::vertex_count; ++a)
        for (int count = low + m.pick(high - low + 1); count > 0;)
            if (m.add(a, m.pick(100) < near_share ? m.near(a) : m.vertex())) --count;
    return m.g;
}

struct Shape {
    std::string name;
    std::function<Graph()> make;
};

std::vector<Shape> shapes(const Graph& sample) {
    return {
        // The shipped sample: 1100 directed edges, neighbours mostly near.
        {"sample", [&] { return sample; }},
        // 1100 directed edges: 90 % to near numbers (clustered cells), none (spread over the
        // grid, trade-heavy), half.
        {"directed-near", [] { return filled(101, 1100, 90, false); }},
        {"directed-spread", [] { return filled(102, 1100, 0, false); }},
        {"directed-mixed", [] { return filled(103, 1100, 50, false); }},
        // Sparse: 8 hubs of 20 to 50 neighbours and 300 other directed edges.
        {"directed-hubs",
         [] {
             Maker m(104);
             for (int h = 0; h < 8; ++h) {
                 const int hub = m.vertex();
                 for (int count = 20 + m.pick(31); count > 0; --count)
                     m.add(hub, m.vertex());
             }
             m.fill(300, 70, false);
             return m.g;
         }},
        // Listed from both ends: 2400 edges mostly near, 600 edges to any vertex.
        {"symmetric-dense", [] { return filled(105, 4800, 70, true); }},
        {"symmetric-spread", [] { return filled(106, 1200, 0, true); }},
        // Chains 1 - 2 - ... - 285: listed from both ends, and directed with 285 listing 1.
        {"chain",
         [] {
             Maker m(107);
             for (int v = 1; v < 285; ++v)
                 m.add(v, v + 1, true);
             return m.g;
         }},
        {"chain-directed",
         [] {
             Maker m(108);
             for (int v = 1; v < 285; ++v)
                 m.add(v, v + 1);
             m.add(285, 1);
             return m.g;
         }},
        // Sparse and directed, no hubs: every vertex lists two or three others (about 710
        // entries), near ones (clustered cells) or any (spread over the grid).
        {"sparse-near", [] { return every_vertex(109, 2, 3, 90); }},
        {"sparse-spread", [] { return every_vertex(110, 2, 3, 0); }},
        {"sparse-mixed", [] { return every_vertex(111, 2, 3, 50); }},
        // Twenty vertices that list fifty others (half near, half any), every other vertex two or
        // three.
        {"fifty",
         [] {
             Maker m(112);
             for (int lists = 0; lists < 20;) {
                 layout::vrchol& v = m.g.vrcholy[m.pick(layout::vertex_count)];
                 if (v.pocet != 0) continue;
                 const int a = static_cast<int>(&v - m.g.vrcholy.data()) + 1;
                 for (++lists; v.pocet < layout::max_neighbours;)
                     m.add(a, m.pick(100) < 50 ? m.near(a) : m.vertex());
             }
             for (int a = 1; a <= layout::vertex_count; ++a)
                 for (int count = m.g.vrcholy[a - 1].pocet == 0 ? 2 + m.pick(2) : 0; count > 0;)
                     if (m.add(a, m.pick(100) < 50 ? m.near(a) : m.vertex())) --count;
             return m.g;
         }},
    };
}

// Writes the lists of `g` as a graph file: a vertex line, then a tab line for each neighbour.
bool write_graph(const Graph& g, const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "w");
    if (f == nullptr) return false;
    for (const layout::vrchol& v : g.vrcholy) {
        if (v.pocet == 0) continue;
        std::fprintf(f, "%d\n", static_cast<int>(&v - g.vrcholy.data()) + 1);
        for (int k = 0; k < v.pocet; ++k)
            std::fprintf(f, "\t%d\n", v.sousede[k] + 1);
    }
    return std::fclose(f) == 0;
}

int edges(const Graph& g) {
    int count = 0;
    for (const layout::vrchol& v : g.vrcholy)
        count += v.pocet;
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: orv-layout-bench SAMPLE [SHAPE|all] [PASSES] [REPEATS] "
                             "[plain|fast|narrow]\n");
        return 2;
    }
    static Graph sample;
    if (const auto problem = layout::read_graph(argv[1], sample)) {
        std::fprintf(stderr, "orv-layout-bench: %s\n", problem->reason.c_str());
        return 2;
    }
    const std::string chosen = argc > 2 ? argv[2] : "all";
    if (argc > 4 && std::string(argv[3]) == "write") {
        std::FILE* quiet = std::fopen("/dev/null", "w");
        for (const Shape& shape : shapes(sample)) {
            if (chosen != "all" && chosen != shape.name) continue;
            static Graph start;
            start = shape.make();
            if (!write_graph(start, std::string(argv[4]) + "/" + shape.name + ".orv-graph")) {
                std::fprintf(stderr, "orv-layout-bench: cannot write into %s\n", argv[4]);
                return 2;
            }
            layout::prepare(start, quiet);
            const Run whole = improve(start, layout::Estimates::fast, layout::max_passes);
            std::printf("%s %lld\n", shape.name.c_str(), whole.work.passes);
        }
        return 0;
    }
    const int limit = argc > 3 ? std::atoi(argv[3]) : 300;
    const int repeats = argc > 4 ? std::max(1, std::atoi(argv[4])) : 3;
    const std::string only = argc > 5 ? argv[5] : "";
    std::FILE* quiet = std::fopen("/dev/null", "w");
    bool ok = true;
    bool found = false;
    for (const Shape& shape : shapes(sample)) {
        if (chosen != "all" && chosen != shape.name) continue;
        found = true;
        static Graph start;
        start = shape.make();
        layout::prepare(start, quiet);
        if (only == "plain" || only == "fast" || only == "narrow") {
            const Run r = improve(start,
                                  only == "plain"    ? layout::Estimates::plain
                                  : only == "narrow" ? layout::Estimates::fast_narrow
                                                     : layout::Estimates::fast,
                                  limit);
            std::printf("%s %s: %lld passes (status %d), %.3f s, %.1f us per pass\n",
                        shape.name.c_str(), only.c_str(), r.work.passes, r.status, r.seconds,
                        1e6 * r.seconds / static_cast<double>(r.work.passes));
            continue;
        }
        const Run whole = improve(start, layout::Estimates::fast, layout::max_passes);
        Run fast, plain;
        for (int i = 0; i < repeats; ++i) {
            Run f = improve(start, layout::Estimates::fast, limit);
            Run p = improve(start, layout::Estimates::plain, limit);
            if (i == 0 || f.seconds < fast.seconds) fast = std::move(f);
            if (i == 0 || p.seconds < plain.seconds) plain = std::move(p);
        }
        const double passes = static_cast<double>(plain.work.passes);
        const bool alike = same(plain, fast);
        ok = ok && alike;
        std::printf("%-17s %5d entries, runs %5lld passes, %5.1f trades a pass; first %4.0f: "
                    "plain %6.1f us, fast %5.1f us a pass, ratio %5.1fx%s\n",
                    shape.name.c_str(), edges(start), whole.work.passes,
                    static_cast<double>(whole.work.trades) / static_cast<double>(whole.work.passes),
                    passes, 1e6 * plain.seconds / passes, 1e6 * fast.seconds / passes,
                    plain.seconds / fast.seconds, alike ? "" : "  DIFFERENT RESULTS");
        std::fflush(stdout);
    }
    if (!found) {
        std::fprintf(stderr, "orv-layout-bench: no shape %s\n", chosen.c_str());
        return 2;
    }
    return ok ? 0 : 1;
}
