// vevuvedu: counts and prints the fillings of an N x N x N cube by one path of straight segments.
#include "cube.hpp"
#include "usage.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Makes sure everything written to standard output really left the process: a full disk or a
// closed file must not end with the search's status.
int finish(int status) {
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return status;
    const int err = errno;  // left by the write that failed
    return report({1, std::string("zápis na standardní výstup selhal: ") +
                          (err != 0 ? std::strerror(err) : "chyba zápisu")});
}

}  // namespace

int main(int argc, char** argv) {
    if (const char* answer = help_or_version(argc, argv)) {
        std::fputs(answer, stdout);
        return finish(0);
    }
    return finish(run_vevuvedu(argc, argv));
}
