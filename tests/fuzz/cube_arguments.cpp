// Fuzz target: vevuvedu's reading of its command line.
//
// The input is split at NUL bytes into arguments after the program name. Every argument list must
// give either a request the program can run (a box of 1 .. 2^31 - 1 cells, a cube's edge up to
// max_edge, a shard K below M) or a failure status with a message, without a sanitizer report.
#include "arguments.hpp"
#include "split_words.hpp"
#include "store.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> words{"vevuvedu"};
    for (std::string& word : split_words(data, size))
        words.push_back(std::move(word));
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);

    const Read<int32_t> edge = read_edge(static_cast<int>(words.size()), argv.data());
    if (!edge.failure && (edge.value < 1 || edge.value > max_edge)) std::abort();
    if (edge.failure && (edge.failure->status == 0 || edge.failure->reason.empty())) std::abort();

    const Read<Request> read =
        read_request(static_cast<int>(words.size()), argv.data(), {"3", nullptr});
    if (read.failure) {
        if (read.failure->status == 0 || read.failure->reason.empty()) std::abort();
        return 0;
    }
    const Request& r = read.value;
    if (r.mode == Mode::plain || r.mode == Mode::shard) {
        if (r.nx < 1 || r.ny < 1 || r.nz < 1 ||
            static_cast<int64_t>(r.nx) * r.ny * r.nz > 2147483647)
            std::abort();
        if (r.cube && (r.nx != r.ny || r.ny != r.nz || r.nx > max_edge)) std::abort();
    }
    if (r.mode == Mode::shard &&
        (r.shard < 0 || r.shard >= r.shards || r.out.empty() || r.split_depth < 1))
        std::abort();
    if (r.mode == Mode::merge && r.inputs.empty()) std::abort();
    if (r.mode == Mode::verify && r.inputs.size() != 2) std::abort();
    return 0;
}
