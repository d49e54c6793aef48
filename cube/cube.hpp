// vevuvedu: the frame of the program: the command line, the number of threads, the progress
// line, the search of the whole cube and the final message.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Why the program ends early: the exit status and the message for standard error.
struct Failure {
    int status = 0;
    std::string reason;
};

// Writes "vevuvedu: REASON" to standard error and returns the failure's exit status.
int report(const Failure& failure);

// The edge length read from the command line, or why there is none.
struct EdgeArgument {
    int32_t n = 0;
    std::optional<Failure> failure;
};
EdgeArgument read_edge(int argc, char** argv);

// The number of threads: `VEVUVEDU_THREADS` when it is set (`setting`, nullptr when not),
// otherwise the processors the process may run on.
struct ThreadCount {
    int threads = 1;
    std::optional<Failure> failure;
};
ThreadCount read_threads(const char* setting);

// The line that ends a run; the program's exit status is its length in bytes.
std::string final_message(int32_t count);

// The whole program: reads N, searches, prints every filling and the final message; returns
// the exit status.
int run_vevuvedu(int argc, char** argv);
