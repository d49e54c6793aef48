// orv-layout: the reader of the graph file.
#pragma once

#include "failure.hpp"
#include "graph.hpp"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace layout {

// The path that names standard input instead of a file.
inline constexpr const char* standard_input_path = "-";

// How messages name what is read: `name` stands before ", řádek N: ..."; a file is "soubor NAME"
// where it cannot be read, standard input is just its name.
struct InputName {
    std::string name;
    bool is_file = true;
};

// Reads the graph file at `path` ("-": standard input, which is left open) into the neighbour
// lists of `g`. Fails when the file cannot be opened or read, or names the line and the problem;
// input the tables cannot hold is rejected as a whole. Messages name the file as given.
std::optional<Failure> read_graph(const std::string& path, Graph& g);

// The reader of `read_graph` on an open stream. Lines are counted in 64 bits from `first_line`,
// so no stream is long enough to overflow the count.
std::optional<Failure> read_stream(std::FILE* f, const InputName& input, Graph& g,
                                   std::int64_t first_line = 1);

}  // namespace layout
