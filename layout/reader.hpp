// orv-layout: the reader of the graph file.
#pragma once

#include "failure.hpp"
#include "graph.hpp"

#include <cstdint>
#include <cstdio>
#include <optional>

namespace layout {

// Reads the graph file `name` into the neighbour lists of `g`. Fails when the file cannot be
// opened or read, or names the line and the problem; input the tables cannot hold is rejected as
// a whole.
std::optional<Failure> read_graph(const char* name, Graph& g);

// The reader of `read_graph` on an open stream; `name` names the file in messages. Lines are
// counted in 64 bits from `first_line`, so no stream is long enough to overflow the count.
std::optional<Failure> read_stream(std::FILE* f, const char* name, Graph& g,
                                   std::int64_t first_line = 1);

}  // namespace layout
