// Small helpers shared by the layout tests.
#pragma once

#include "graph.hpp"
#include "phases.hpp"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace layout_test {

// Collects what a phase writes to a stream.
struct Capture {
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* stream = open_memstream(&text, &size);

    std::string take() {
        std::fclose(stream);
        stream = nullptr;
        std::string out(text, size);
        std::free(text);
        text = nullptr;
        return out;
    }
    ~Capture() {
        if (stream != nullptr) take();
    }
};

// Adds the directed edge a -> b (vertex numbers, 1-based).
inline void add_edge(layout::Graph& g, int a, int b) {
    layout::vrchol& v = g.vrcholy[a - 1];
    v.sousede[v.pocet++] = b - 1;
}

// `g` after the phases before the passes (depths, placement, first total), their trace dropped.
inline layout::Graph placed(layout::Graph g) {
    Capture quiet;
    layout::prepare(g, quiet.stream);
    return g;
}

}  // namespace layout_test
