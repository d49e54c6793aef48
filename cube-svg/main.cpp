// vevuvedu-svg: reads the output of vevuvedu (a file, or standard input) and writes the picture
// of its fillings on standard output: one SVG image, or with --html one self-contained page. An
// output that is refused leaves standard output empty.
#include "failure.hpp"
#include "html.hpp"
#include "options.hpp"
#include "reader.hpp"
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
        written = write_checked("vevuvedu-svg " ORV_VERSION "\n");
    } else {
        const Options& options = command.options;
        const Read<Output> read = options.file.empty()
                                      ? read_output_stream(stdin, "", options.box)
                                      : read_output_file(options.file, options.box);
        if (read.failure) return report(*read.failure);
        written = write_checked(options.html ? draw_html(read.value) : draw_svg(read.value));
    }
    return written ? report(*written) : 0;
}
