// Fuzz target: the whole orv-editor dialogue on one input.
//
// Every input must end the dialogue (libFuzzer's -timeout guards each one) without a sanitizer
// report, and a stream that reaches its end is never a read failure. The editor keeps every record
// it creates for the life of the process, so scripts/fuzz runs this target in bounded chunks.
#include "questions.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static std::FILE* const sink = std::fopen("/dev/null", "w");
    // fmemopen needs a buffer of at least one byte; /dev/null is the empty input.
    std::FILE* in = size == 0 ? std::fopen("/dev/null", "r")
                              : fmemopen(const_cast<std::uint8_t*>(data), size, "r");
    if (in == nullptr || sink == nullptr) std::abort();
    const std::optional<Failure> failure = run_editor({in, sink});
    std::fclose(in);
    if (failure) std::abort();
    return 0;
}
