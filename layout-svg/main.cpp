// orv-layout-svg: reads an orv-layout listing (a file, or standard input) and writes its
// picture on standard output: one SVG image, or with --html one self-contained page. A listing
// that is refused leaves standard output empty.
#include "failure.hpp"
#include "html.hpp"
#include "listing.hpp"
#include "options.hpp"
#include "picture.hpp"
#include "svg.hpp"
#include "usage.hpp"

#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv) {
    const Command command =
        read_command(std::vector<std::string>(argv + 1, argv + argc), isatty(STDIN_FILENO) == 1);
    if (command.failure) return report(*command.failure);
    std::optional<Failure> written;
    if (command.request == Request::help) {
        written = write_checked(svg_help);
    } else if (command.request == Request::version) {
        written = write_checked("orv-layout-svg " ORV_VERSION "\n");
    } else {
        const Options& options = command.options;
        const Read<Listing> read =
            options.file.empty() ? read_listing(stdin) : read_listing_file(options.file);
        if (read.failure) return report(*read.failure);
        const Picture picture = plan_picture(read.value);
        written = write_checked(options.html ? draw_html(picture) : draw_svg(picture));
    }
    return written ? report(*written) : 0;
}
