// vevuvedu: the mirrors of the second half's fillings, in the third half's order.
#include "mirror.hpp"

#include <algorithm>
#include <cstring>
#include <new>

bool mirror_symmetric(const Cube& k, const std::array<int32_t, 3>& start, int32_t axis) {
    if (axis != 0 || k.ny != k.nz || start[1] != start[2]) return false;
    for (int32_t x = 0; x < k.nx; ++x)
        for (int32_t y = 0; y < k.ny; ++y)
            for (int32_t z = 0; z < y; ++z)
                if (k.at(x, y, z) != k.at(x, z, y)) return false;
    return true;
}

namespace {

// The axis a segment along `axis` runs along in the mirror.
int32_t mirrored_axis(int32_t axis) { return axis == 0 ? 0 : 3 - axis; }

// The number `Frame::next` gives the continuation `f` of a segment along `parent_axis`, both in
// the mirror.
int32_t trial_of(const Walker& w, int32_t parent_axis, const Frame& f) {
    const int32_t axis = mirrored_axis(f.axis);
    const std::array<int32_t, 3> start = {f.start[0], f.start[2], f.start[1]};
    const int32_t target = start[axis] + f.d;
    const int32_t first = turns_after[mirrored_axis(parent_axis)][0];
    return (axis == first ? 0 : w.edges[first]) + target;
}

}  // namespace

MirroredFilling mirror_of(const Cube& k, std::vector<int32_t> trials) {
    MirroredFilling m;
    m.trials = std::move(trials);
    m.cells.resize(static_cast<std::size_t>(k.celkem_poli));
    for (int32_t x = 0; x < k.nx; ++x)
        for (int32_t y = 0; y < k.ny; ++y)
            for (int32_t z = 0; z < k.nz; ++z)
                m.cells[static_cast<std::size_t>(k.index(x, y, z))] = k.at(x, z, y);
    return m;
}

MirroredFilling mirror_filling(const Walker& w, const Frame& last) {
    std::vector<int32_t> trials;
    for (std::size_t level = 1; level <= w.stack.size(); ++level) {
        const Frame& f = level < w.stack.size() ? w.stack[level] : last;
        trials.push_back(trial_of(w, w.stack[level - 1].axis, f));
    }
    return mirror_of(*w.kostka, std::move(trials));
}

void append_mirrors(std::string& text, std::vector<MirroredFilling>& mirrors, const Cube& shape) {
    std::sort(
        mirrors.begin(), mirrors.end(),
        [](const MirroredFilling& a, const MirroredFilling& b) { return a.trials < b.trials; });
    Cube k;
    if (!make_cube(k, shape.nx, shape.ny, shape.nz)) throw std::bad_alloc();
    for (const MirroredFilling& m : mirrors) {
        std::memcpy(k.cells.get(), m.cells.data(), m.cells.size() * sizeof(int32_t));
        dump(text, k);
    }
}
