// Fuzz target: orv-layout-svg's reading of its command line.
//
// The input is split at NUL bytes into arguments after the program name, and read twice: with
// standard input a terminal and without. Every argument list must give a request or a refusal
// with the usage status, the reason and the usage, without a sanitizer report. A drawing request
// takes "--html" exactly when it is given, and for its listing the one other argument ("-" and
// no argument both meaning standard input, which must then not be a terminal).
#include "options.hpp"
#include "split_words.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void require(bool holds) {
    if (!holds) std::abort();
}

void check(const std::vector<std::string>& args, bool stdin_is_terminal) {
    const Command command = read_command(args, stdin_is_terminal);
    if (command.failure) {
        require(command.failure->status == usage_status);
        require(command.failure->reason.find("\npoužití: orv-layout-svg") != std::string::npos);
        return;
    }
    if (command.request == Request::help) {
        require(args.at(0) == "--help");
        return;
    }
    if (command.request == Request::version) {
        require(args.at(0) == "--version");
        return;
    }
    bool html = false;
    std::vector<std::string> files;
    for (const std::string& arg : args) {
        if (arg == "--html")
            html = true;
        else
            files.push_back(arg);
    }
    require(command.options.html == html);
    require(files.size() <= 1);
    if (files.empty()) {
        require(!stdin_is_terminal && command.options.file.empty());
    } else {
        require(files[0] == "-" || (!files[0].empty() && files[0].front() != '-'));
        require(command.options.file == (files[0] == "-" ? "" : files[0]));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> args = split_words(data, size);
    check(args, true);
    check(args, false);
    return 0;
}
