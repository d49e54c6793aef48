// Fuzz target: vevuvedu's reader of work-unit files, which come from other machines.
//
// Every input must be refused with a message and status 2, or read into a unit that writes back
// as exactly the input (the format has one spelling for each unit), without a sanitizer report.
#include "unit_file.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const UnitRead read = parse_unit(text, "fuzz.vvr");
    if (read.failure) {
        if (read.failure->status != 2 || read.failure->reason.empty()) std::abort();
        return 0;
    }
    if (format_unit(read.unit) != text) std::abort();
    return 0;
}
