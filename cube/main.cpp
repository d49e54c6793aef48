// vevuvedu: counts and prints the fillings of an N x N x N cube by one path of straight segments.
#include "cube.hpp"
#include "failure.hpp"
#include "usage.hpp"

#include <cstdio>
#include <optional>

int main(int argc, char** argv) {
    Ending ending;
    if (const char* answer = help_or_version(argc, argv))
        std::fputs(answer, stdout);
    else
        ending = run_vevuvedu(argc, argv);
    // Standard output that failed is the first thing to tell: a search stopped by it failed
    // because of it.
    if (const std::optional<Failure> unwritten = output_failure()) return report(*unwritten);
    return ending.failure ? report(*ending.failure) : ending.status;
}
