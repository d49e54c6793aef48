// Fuzz target: vevuvedu's reading of its command line.
//
// The input is split at NUL bytes into arguments after the program name. Every argument list must
// give either an edge the cube can be built with (1 .. max_edge) or a failure status with a
// message, without a sanitizer report.
#include "cube.hpp"
#include "store.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> words{"vevuvedu"};
    std::string word;
    for (std::size_t k = 0; k < size; ++k) {
        if (data[k] == 0) {
            words.push_back(word);
            word.clear();
        } else {
            word += static_cast<char>(data[k]);
        }
    }
    if (size > 0) words.push_back(word);
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);

    const EdgeArgument edge = read_edge(static_cast<int>(words.size()), argv.data());
    if (!edge.failure && (edge.n < 1 || edge.n > max_edge)) std::abort();
    if (edge.failure && (edge.failure->status == 0 || edge.failure->reason.empty())) std::abort();
    return 0;
}
