// rum-sim: how a step reports that it failed, and the one place that tells the user.
//
// A step that can fail returns a value the caller checks, std::optional<Failure> (nothing on
// success); only the frame in main.cpp prints a failure, with `report`.
#pragma once

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

struct Failure {
    int status;          // the exit status the program ends with
    std::string reason;  // what failed and why, as it follows "rum-sim: "
};

// Writes "rum-sim: REASON" to standard error and returns the failure's exit status. When
// standard error itself has failed the message may not get through; the status does.
inline int report(const Failure& failure) {
    std::fprintf(stderr, "rum-sim: %s\n", failure.reason.c_str());
    return failure.status;
}
