// orv-editor: an interactive editor for a network of questions, on standard input and output.
#include "failure.hpp"
#include "questions.hpp"
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
    return report_failure("zápis na standardní výstup selhal",
                          err != 0 ? std::strerror(err) : "chyba zápisu", 1);
}

}  // namespace

int main(int argc, char** argv) {
    if (const char* answer = help_or_version(argc, argv)) {
        std::fputs(answer, stdout);
        return finish(0);
    }
    return finish(run_editor({stdin, stdout}));
}
