// vevuvedu-svg: the command line, read once in the frame and handed down as a record.
#pragma once

#include "failure.hpp"
#include "records.hpp"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int usage_status = 2;  // a command line that is refused

// What to draw from where.
struct Options {
    std::string file;        // the output's file; empty for standard input
    bool html = false;       // an interactive page instead of the bare picture
    std::optional<Box> box;  // the box the output must be of, when --box gives it
};

enum class Request { draw, help, version };

struct Command {
    Request request = Request::draw;
    Options options;
    std::optional<Failure> failure;  // a refused command line: the reason, the usage, status 2
};

// Reads "AxBxC": three decimal numbers from 1 up joined by 'x', whose product fits 32 bits, as
// vevuvedu takes them; nullopt for anything else.
std::optional<Box> read_box(std::string_view text);

// Reads the arguments after the program name. "--help" or "--version" as the first argument
// answers whatever follows. Otherwise "--html" and "--box AxBxC" may stand anywhere, with at
// most one FILE ("-" for standard input); another option or a second FILE is refused. Without a
// FILE, standard input that is a terminal is refused too: nobody types vevuvedu's output there.
Command read_command(const std::vector<std::string>& args, bool stdin_is_terminal);
