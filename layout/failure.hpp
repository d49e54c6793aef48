// orv-layout: how a step reports that it failed, the check that an output stream was really
// written, and the one place that tells the user.
//
// A step that can fail returns std::optional<Failure> (nothing on success) and its caller checks
// it. Only the frame in main.cpp prints a failure, with `report`; no other code writes a message
// or ends the process.
#pragma once

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

namespace layout {

// Status of every error. A normal run ends with the count of trading passes reduced to 8 bits,
// which can be any value, so an error is told by its message on standard error.
inline constexpr int error_status = 255;

struct Failure {
    int status = error_status;  // the exit status the program ends with
    std::string reason;         // what failed and why, as it follows "orv-layout: "
};

// Makes sure everything written to `stream` really left the process: a full disk or a closed
// file must not end with a normal status. `what` names the stream in the message.
inline std::optional<Failure> check_written(std::FILE* stream, const char* what) {
    errno = 0;
    if (std::fflush(stream) == 0 && !std::ferror(stream)) return std::nullopt;
    const int err = errno;  // left by the write that failed
    return Failure{error_status, std::string("zápis na ") + what + " selhal: " +
                                     (err != 0 ? std::strerror(err) : "chyba zápisu")};
}

// Writes "orv-layout: REASON" to standard error and returns the failure's exit status. When
// standard error itself has failed the message may not get through; the status does.
inline int report(const Failure& failure) {
    std::fprintf(stderr, "orv-layout: %s\n", failure.reason.c_str());
    return failure.status;
}

}  // namespace layout
