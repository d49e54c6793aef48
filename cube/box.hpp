// vevuvedu: the box a run searches when it is not a cube: its size from the command line
// ("AxBxC") and its taken cells from a file.
//
// The taken-cell file is text, one cell a line: its three coordinates x, y and z (from 0, along
// the first, second and third axis) as decimal numbers separated by blanks or tabs. Empty lines,
// lines of blanks and lines whose first other character is '#' are ignored; a line may end with
// a carriage return. Every listed cell must lie inside the box, must not be the start (0,0,0)
// and must be listed once. A taken cell holds -1: no segment covers it, and a filling prints it
// as "-1 ".
#pragma once

#include "failure.hpp"
#include "store.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The value a taken cell holds and prints as.
inline constexpr int32_t taken_cell = -1;

struct BoxSize {
    int32_t nx = 0, ny = 0, nz = 0;
};

// Reads "AxBxC": three decimal numbers from 1 up, joined by 'x', whose product fits the 32-bit
// cell count. Anything else is refused with status 2.
Read<BoxSize> read_box_size(std::string_view text);

// Marks the cells the taken-cell file's text lists in `kostka` (all free before); `name` names
// the file in a failure (status 2).
std::optional<Failure> read_taken(std::string_view text, const std::string& name, Cube& kostka);

// Reads the taken-cell file at `path` and marks its cells; a file that cannot be read is refused
// with status 2.
std::optional<Failure> load_taken(const std::string& path, Cube& kostka);
