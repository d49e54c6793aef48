// Fuzz target: vevuvedu's reader of work-unit files, which come from other machines.
//
// Every input must be refused with a message and status 2, or read into a unit that writes back
// as exactly the input (the format has one spelling for each unit), without a sanitizer report.
// The input is read as it is, and once more with its last line replaced by the right checksum,
// so that the fuzzer reaches the fields behind the checksum test.
#include "unit_file.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void check(std::string_view text) {
    const Read<UnitFile> read = parse_unit(text, "fuzz.vvr");
    if (read.failure) {
        if (read.failure->status != 2 || read.failure->reason.empty()) std::abort();
        return;
    }
    if (format_unit(read.value) != text) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    check(text);
    const std::size_t end =
        text.size() >= 2 ? text.rfind('\n', text.size() - 2) : std::string::npos;
    std::string fixed(text.substr(0, end == std::string::npos ? 0 : end + 1));
    char sum[32];
    std::snprintf(sum, sizeof sum, "checksum %016llx\n",
                  static_cast<unsigned long long>(fnv1a(fixed)));
    check(fixed + sum);
    return 0;
}
