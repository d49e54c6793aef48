// vevuvedu-svg: the reader of vevuvedu's standard output.
//
// The output of `vevuvedu N` or `vevuvedu --box AxBxC [--taken FILE]` is a list of fillings and
// one final line. A filling is nx blocks, one per x; a block is ny lines, one per y, and the
// line "---"; a line is nz numbers, one per z, each written as a decimal number followed by one
// blank: the number of the segment that covers the cell, or -1 for a taken cell. The final line
// is "Celkový počet nalezených vyplnění je K." with the count K of the fillings above it, or
// "Nebylo nalezeno žádné vyplnění." when there are none. Every line ends with a line feed (the
// last one may lack it).
//
// The box's sizes are read from the output itself: nz from the first line, ny from the first
// block, nx from the first filling, which ends where the next filling's block starts with 1 (the
// start cell) or at the final line; segment 2 then has to run along the whole first axis. They
// may also be given, and must then be the output's. The reader is strict: a line of another
// form, a block or a filling too short or too long, a filling that is not one path (see
// path.hpp), taken cells other than the first filling's, or a final line that does not match is
// refused with the line named.
#pragma once

#include "failure.hpp"
#include "records.hpp"

#include <cstdio>
#include <optional>
#include <string>

inline constexpr int bad_output_status = 2;  // exit status for an output that is refused

// Reads a whole output from the text `text`. `source` names the input in the messages: a file's
// name, or "" for standard input (the messages then name only the line). `given` is the box
// the output must be of, if known.
Read<Output> read_output(const std::string& text, const std::string& source,
                         std::optional<Box> given);

// Reads everything from `in` (a file named `source`, or standard input when it is "") and then
// the output in it.
Read<Output> read_output_stream(std::FILE* in, const std::string& source, std::optional<Box> given);

// Opens the file `path` and reads the output in it.
Read<Output> read_output_file(const std::string& path, std::optional<Box> given);
