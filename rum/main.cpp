// rum-sim: writes the rum level of every step to standard error, then the two results.
#include "failure.hpp"
#include "rum.hpp"
#include "usage.hpp"

#include <cerrno>
#include <cstdio>
#include <optional>

// The trace on standard error is part of what the program produces, so it is checked like the
// results on standard output.
int main(int argc, char** argv) {
    if (const char* answer = help_or_version(argc, argv)) {
        std::fputs(answer, stdout);
        const std::optional<Failure> results =
            unwritten(stdout, "zápis na standardní výstup selhal", 0);
        return results ? report(*results) : 0;
    }
    int trace_errno = 0;  // the reason the first trace line could not be written
    const RumState s = rum_simulate<double>([&](float level) {
        if (std::fprintf(stderr, "%lf\n", static_cast<double>(level)) < 0 && trace_errno == 0)
            trace_errno = errno;
    });
    std::printf("V tuzemáčku je: %lf\n", static_cast<double>(s.tuzemacek));
    std::printf("V rumu máme: %lf\n", static_cast<double>(s.rum));

    const std::optional<Failure> results =
        unwritten(stdout, "zápis na standardní výstup selhal", 0);
    const std::optional<Failure> trace =
        unwritten(stderr, "zápis na standardní chybový výstup selhal", trace_errno);
    int status = 0;
    if (results) status = report(*results);
    if (trace) status = report(*trace);
    return status;
}
