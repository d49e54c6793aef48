// vevuvedu-svg: how a step reports that it failed, and the check that the output really left.
#pragma once

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

// Why the program stops: the exit status and the message for standard error.
struct Failure {
    int status;
    std::string reason;
};

// What a fallible reader gives back: the value read, meaningful only without a failure. A record
// that carries more than a value holds its failure the same way.
template <class T>
struct Read {
    T value{};
    std::optional<Failure> failure;
};

inline constexpr int write_failed_status = 1;

// Prints "vevuvedu-svg: reason" on standard error and gives the exit status. Only the frame
// (main.cpp) calls it; every other step hands its Failure up.
inline int report(const Failure& failure) {
    std::fprintf(stderr, "vevuvedu-svg: %s\n", failure.reason.c_str());
    return failure.status;
}

// Writes `text` to standard output and makes sure it really left the process: a full disk or a
// closed stream must not end with a success status.
inline std::optional<Failure> write_checked(const std::string& text) {
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0)
        return std::nullopt;
    const int err = errno;  // left by the write that failed
    return Failure{write_failed_status, std::string("zápis na standardní výstup selhal: ") +
                                            (err != 0 ? std::strerror(err) : "chyba zápisu")};
}
