// The mirrors at the start: a filling's mirror gets the continuations the walk takes to reach
// it, the numbers the mirrors are sorted by.
#include "boxes.hpp"
#include "mirror.hpp"
#include "walker.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

// The whole walk of a box, both axes at the start: for every filling, the continuations it took
// and those `mirror_filling` gives its mirror, each by the text of the filling they belong to.
struct Numbering {
    Walker& w;
    std::map<std::string, std::vector<int32_t>> taken, mirrored;

    void filling(const Frame& last) {
        std::vector<int32_t> trials;
        for (const Frame& f : w.stack)
            trials.push_back(f.next - 1);  // `next` has moved past the continuation taken
        taken[dump_text(*w.kostka)] = trials;
        const MirroredFilling m = mirror_filling(w, last);
        Cube mirror = box(w.kostka->nx, w.kostka->ny, w.kostka->nz);
        std::memcpy(mirror.cells.get(), m.cells.data(), m.cells.size() * sizeof(int32_t));
        mirrored[dump_text(mirror)] = m.trials;
    }
    void mirror_half() {}
    bool split(const Frame&) { return false; }
    bool tick() const { return false; }
};

// The order of the mirrors rests on their numbering: the numbers given a filling's mirror are
// the ones the walk takes to reach that mirror.
TEST(MirrorHalf, AMirrorIsNumberedAsTheWalkReachesIt) {
    Cube k = picture(3, 6,
                     {".####. #####. #####. #####. #####. .....#",
                      ".####. ###### ###### ###### #####. .###.#",
                      "...... ...... ..###. ..###. ..###. .....#"});
    SearchStats stats;
    Walker w;
    start_walker(w, k, stats, take_start(k), 2);
    Numbering v{w, {}, {}};
    ASSERT_TRUE(descend_first(w, v));
    walk(w, 0, false, SIZE_MAX, v);
    ASSERT_EQ(v.taken.size(), 4u);
    for (const auto& [text, trials] : v.mirrored) {
        ASSERT_EQ(v.taken.count(text), 1u) << text;
        EXPECT_EQ(trials, v.taken.at(text)) << text;
    }
}

}  // namespace
