// vevuvedu: the files the program reads and writes whole: a file read at once, a file written
// so that it appears only complete, and the files of a folder.
#pragma once

#include "failure.hpp"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Reads a whole file into `text`; false (errno set) when it cannot.
bool read_file(const std::string& path, std::string& text);

// The files in `folder` whose names end in `ending`, each as `folder`/name, in the order of their
// names; a folder that cannot be read is refused (status 2).
Read<std::vector<std::string>> files_ending_in(const std::string& folder, std::string_view ending);

// Writes `text` to `path` so that the file appears only whole: a temporary file in the same
// folder, flushed to the disk, renamed over `path`, and the folder flushed. Status 1 on failure.
std::optional<Failure> write_atomically(const std::string& path, std::string_view text);
