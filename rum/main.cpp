// rum-sim: writes the rum level of every step to standard error, then the two results.
#include "rum.hpp"
#include "usage.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Makes sure everything written to standard output really left the process: a full disk or a
// closed file must not end with a success status.
int finish(int status) {
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return status;
    const int err = errno;  // left by the write that failed
    std::fprintf(stderr, "rum-sim: zápis na standardní výstup selhal: %s\n",
                 err != 0 ? std::strerror(err) : "chyba zápisu");
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (const char* answer = help_or_version(argc, argv)) {
        std::fputs(answer, stdout);
        return finish(0);
    }
    const RumState s = rum_simulate<double>(
        [](float level) { std::fprintf(stderr, "%lf\n", static_cast<double>(level)); });
    std::printf("V tuzemáčku je: %lf\n", static_cast<double>(s.tuzemacek));
    std::printf("V rumu máme: %lf\n", static_cast<double>(s.rum));
    return finish(0);
}
