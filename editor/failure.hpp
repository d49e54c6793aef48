// orv-editor: how a step reports that it failed, the check that standard output was really
// written, and the one place that tells the user.
//
// A step that can fail returns a value the caller checks: std::optional<Failure> (nothing on
// success), or a `Read` of its result beside one. Only the frame in main.cpp prints a
// failure, with `report`; no other code writes a message or ends the process.
#pragma once

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

struct Failure {
    int status;          // the exit status the program ends with
    std::string reason;  // what failed and why, as it follows "orv-editor: "
};

// What a fallible reader gives back: the value read, meaningful only without a failure.
template <class T>
struct Read {
    T value{};
    std::optional<Failure> failure;
};

// A failure of `what` with status 1: the system's reason for `err` (an errno value), or
// `otherwise` when the system gave none (err is 0).
inline Failure failure_of(const char* what, int err, const char* otherwise) {
    return {1, std::string(what) + ": " + (err != 0 ? std::strerror(err) : otherwise)};
}

// Makes sure everything written to standard output really left the process: a full disk or a
// closed file must not end with a success status.
inline std::optional<Failure> output_failure() {
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return std::nullopt;
    return failure_of("zápis na standardní výstup selhal", errno, "chyba zápisu");
}

// Writes "orv-editor: REASON" to standard error and returns the failure's exit status.
inline int report(const Failure& failure) {
    std::fprintf(stderr, "orv-editor: %s\n", failure.reason.c_str());
    return failure.status;
}
