// Fuzz target: vevuvedu's box size and taken-cell file.
//
// The input's first line is the box size ("AxBxC"), the rest the taken-cell file. A size must be
// refused (status 2) or give a box; boxes of up to 4096 cells are then built and the file read:
// refused with status 2 and its line named, or every listed cell marked and no other, the start
// free, without a sanitizer report.
#include "box.hpp"
#include "store.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t end = input.find('\n');
    const std::string_view size_text = input.substr(0, end);
    const Read<BoxSize> read = read_box_size(size_text);
    if (read.failure) {
        if (read.failure->status != 2) std::abort();
        return 0;
    }
    const BoxSize& box = read.value;
    if (box.nx < 1 || box.ny < 1 || box.nz < 1) std::abort();
    if (static_cast<int64_t>(box.nx) * box.ny * box.nz > 4096) return 0;
    Cube k;
    if (!make_cube(k, box.nx, box.ny, box.nz)) std::abort();
    const std::string_view file = end == std::string_view::npos ? "" : input.substr(end + 1);
    const std::optional<Failure> failure = read_taken(file, "taken", k);
    if (failure) {
        if (failure->status != 2 || failure->reason.find("řádek") == std::string::npos)
            std::abort();
        return 0;
    }
    if (k.cells[0] != 0) std::abort();
    for (int32_t c = 0; c < k.celkem_poli; ++c)
        if (k.cells[c] != 0 && k.cells[c] != taken_cell) std::abort();
    return 0;
}
