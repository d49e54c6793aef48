// Fuzz target: vevuvedu-svg's reader of vevuvedu's output, and the picture and the page of
// every output it accepts.
//
// The reader must accept or refuse every input without a sanitizer report; a refusal comes with
// the output's status and names the input and the line (or says the input is empty). An accepted
// output has a box whose cells its fillings fill: every filling's path starts at (0,0,0), steps
// from cell to neighbouring cell, never revisits one, numbers its segments 1, 2, ... along it and
// covers every cell but the taken ones, the same in every filling. The picture's tags must nest
// as XML asks, and it must draw every cell of every filling once and one piece of tube for every
// step; the page must hold every filling's layers.
#include "html.hpp"
#include "picture_checks.hpp"
#include "reader.hpp"
#include "svg.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void check_filling(const Output& output, const Filling& f) {
    const Box& b = output.box;
    require(static_cast<int64_t>(f.values.size()) == b.cells());
    require(static_cast<int64_t>(f.path.size()) == b.cells() - output.taken);
    require(f.path.front() == (Cell{0, 0, 0}));
    std::string seen(f.values.size(), 0);
    int segment = 1;
    for (std::size_t i = 0; i < f.path.size(); ++i) {
        const Cell c = f.path[i];
        require(c.x >= 0 && c.y >= 0 && c.z >= 0 && c.x < b.nx && c.y < b.ny && c.z < b.nz);
        const std::size_t at = static_cast<std::size_t>(b.index(c));
        require(seen[at] == 0);
        seen[at] = 1;
        const int v = f.values[at];
        require(v == segment || v == segment + 1);
        segment = v;
        if (i > 0) {
            const Cell p = f.path[i - 1];
            require(std::abs(c.x - p.x) + std::abs(c.y - p.y) + std::abs(c.z - p.z) == 1);
        }
    }
    require(static_cast<int>(f.segments.size()) == segment);
    for (std::size_t at = 0; at < f.values.size(); ++at)
        require((seen[at] == 1) == (f.values[at] != taken_value));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const Read<Output> read = read_output(text, "out", std::nullopt);
    if (read.failure) {
        require(read.failure->status == bad_output_status);
        require(read.failure->reason.rfind("out, řádek ", 0) == 0 ||
                read.failure->reason.rfind("out: výstup je prázdný", 0) == 0);
        return 0;
    }
    const Output& output = read.value;
    for (const Filling& f : output.fillings) {
        check_filling(output, f);
        for (std::size_t i = 0; i < f.values.size(); ++i)
            require((f.values[i] == taken_value) ==
                    (output.fillings.front().values[i] == taken_value));
    }
    if (output.box.cells() * static_cast<int64_t>(output.fillings.size()) > 20000) return 0;
    const std::string svg = draw_svg(output);
    require(nested(svg));
    int64_t steps = 0;
    for (const Filling& f : output.fillings)
        steps += static_cast<int64_t>(f.path.size()) - 1;
    require(static_cast<int64_t>(occurrences(svg, "<rect class=\"cell")) ==
            output.box.cells() * static_cast<int64_t>(output.fillings.size()));
    require(static_cast<int64_t>(occurrences(svg, "<line class=\"piece\"")) == steps);
    const std::string page = draw_html(output);
    require(occurrences(page, "class=\"filling-layers\"") == output.fillings.size());
    return 0;
}
