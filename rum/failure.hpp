// rum-sim: how a step reports that it failed, the check that an output stream was really
// written, and the one place that tells the user.
//
// A step that can fail returns a value the caller checks, std::optional<Failure> (nothing on
// success); only the frame in main.cpp prints a failure, with `report`.
#pragma once

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

struct Failure {
    int status;          // the exit status the program ends with
    std::string reason;  // what failed and why, as it follows "rum-sim: "
};

// Makes sure everything written to `stream` really left the process: a full disk or a closed
// file must not end with a success status. `err` is the reason of a write that failed earlier
// (0 when none was taken).
inline std::optional<Failure> unwritten(std::FILE* stream, const char* what, int err) {
    if (std::fflush(stream) == 0 && !std::ferror(stream)) return std::nullopt;
    if (err == 0) err = errno;  // left by the write that failed
    return Failure{1, std::string(what) + ": " + (err != 0 ? std::strerror(err) : "chyba zápisu")};
}

// Writes "rum-sim: REASON" to standard error and returns the failure's exit status. When
// standard error itself has failed the message may not get through; the status does.
inline int report(const Failure& failure) {
    std::fprintf(stderr, "rum-sim: %s\n", failure.reason.c_str());
    return failure.status;
}
