// vevuvedu: how a step reports that it failed, and the one place that tells the user.
//
// A step that can fail returns a value the caller checks: std::optional<Failure> (nothing on
// success), or a `Read` of its result beside one; a record that carries more than a result
// holds its failure the same way. Only the frame in main.cpp prints a failure, with `report`;
// no other code writes a message or ends the process, but for the handler of an interrupt
// (cube.cpp), which clears the progress line and ends the process as the signal would.
#pragma once

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

struct Failure {
    int status = 0;      // the exit status the program ends with
    std::string reason;  // what failed and why, as it follows "vevuvedu: "
};

// What a fallible reader gives back: the value read, meaningful only without a failure.
template <class T>
struct Read {
    T value{};
    std::optional<Failure> failure;
};

// A failure of `what` with `status`: the system's reason for `err` (an errno value), or
// `otherwise` when the system gave none (err is 0).
inline Failure failure_of(int status, const std::string& what, int err, const char* otherwise) {
    return {status, what + ": " + (err != 0 ? std::strerror(err) : otherwise)};
}

// Writes "vevuvedu: REASON" to standard error and returns the failure's exit status.
inline int report(const Failure& failure) {
    std::fprintf(stderr, "vevuvedu: %s\n", failure.reason.c_str());
    return failure.status;
}

// Makes sure everything written to standard output really left the process: a full disk or a
// closed file must not end with the search's status.
inline std::optional<Failure> output_failure() {
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return std::nullopt;
    return failure_of(1, "zápis na standardní výstup selhal", errno, "chyba zápisu");
}
