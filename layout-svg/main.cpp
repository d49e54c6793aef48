// orv-layout-svg: reads an orv-layout listing on standard input and writes its picture, one SVG
// image, on standard output. A listing that is refused leaves standard output empty.
#include "listing.hpp"
#include "svg.hpp"
#include "usage.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

int report(const Failure& failure) {
    std::fprintf(stderr, "orv-layout-svg: %s\n", failure.reason.c_str());
    return failure.status;
}

// Writes `text` and makes sure it really left the process: a full disk or a closed file must
// not end with a success status.
int write_out(const std::string& text) {
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0)
        return 0;
    const int err = errno;  // left by the write that failed
    return report({1, std::string("zápis na standardní výstup selhal: ") +
                          (err != 0 ? std::strerror(err) : "chyba zápisu")});
}

}  // namespace

int main(int argc, char** argv) {
    if (const char* answer = help_or_version(argc, argv)) return write_out(answer);
    const ListingRead read = read_listing(stdin);
    if (read.failure) return report(*read.failure);
    return write_out(draw_svg(read.listing));
}
