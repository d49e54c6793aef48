// A walk's place: stopped at any call, kept as the `next` of its frames and replayed into a
// fresh walker, it stands where the stopped one stood, and both go on to the same end with the
// same calls and fillings. A place that does not fit the box is refused, the box untouched.
#include "boxes.hpp"
#include "walker.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

// Counts the fillings, and stops the walk once it has made `stop_at` calls (ticks every call).
struct Stopping {
    Walker& w;
    uint64_t stop_at;
    int32_t fillings = 0;

    void filling(const Frame&) { ++fillings; }
    void mirror_half() {}
    bool split(const Frame&) { return false; }
    bool tick() const { return w.stats->calls >= stop_at; }
};

bool same_stacks(const Walker& a, const Walker& b) {
    if (a.stack.size() != b.stack.size()) return false;
    for (std::size_t i = 0; i < a.stack.size(); ++i) {
        const Frame &x = a.stack[i], &y = b.stack[i];
        if (x.start != y.start || x.axis != y.axis || x.d != y.d || x.next != y.next) return false;
    }
    return true;
}

TEST(Walker, APlaceReplayedStandsWhereTheWalkStoppedAndGoesOnToTheSameEnd) {
    std::mt19937 rng(7);
    int32_t checked = 0;
    for (int32_t round = 0; round < 60; ++round) {
        const Cube shape = round % 3 == 0 ? box(4, 5, 5)
                                          : random_walk_box(rng, 5, 5, 4 + round % 2,
                                                            static_cast<int32_t>(rng() % 3));
        // The whole walk first, for its calls and fillings.
        Cube k = copy_of(shape);
        SearchStats whole_stats;
        Walker whole;
        start_walker(whole, k, whole_stats, take_start(k), 2);
        Stopping all{whole, UINT64_MAX};
        if (descend_first(whole, all)) walk(whole, 0, false, SIZE_MAX, all);
        if (whole_stats.calls < 10) continue;

        Cube stopped_box = copy_of(shape);
        SearchStats stats;
        Walker stopped;
        start_walker(stopped, stopped_box, stats, take_start(stopped_box), 2);
        stopped.tick_mask = 0;
        Stopping first{stopped, 2 + rng() % (whole_stats.calls - 2)};
        ASSERT_TRUE(descend_first(stopped, first));
        walk(stopped, 0, false, SIZE_MAX, first);
        ASSERT_GT(stopped.stack.size(), 0u);  // it stopped midway
        const std::vector<int32_t> place = place_of(stopped, 0);
        --stats.calls;  // the stop's call, counted again when the walk goes on

        Cube fresh_box = copy_of(shape);
        SearchStats fresh_stats;
        Walker fresh;
        start_walker(fresh, fresh_box, fresh_stats, take_start(fresh_box), 2);
        ASSERT_TRUE(replay(fresh, first_frame(fresh_box), place));
        EXPECT_EQ(snapshot(fresh_box), snapshot(stopped_box));
        EXPECT_EQ(fresh.filled, stopped.filled);
        // Give the stopped walk its trial back, as the place does, and let both go on.
        --stopped.stack.back().next;
        ASSERT_TRUE(same_stacks(fresh, stopped));
        fresh_stats.calls = stats.calls;
        Stopping rest{fresh, UINT64_MAX, first.fillings};
        walk(fresh, 0, false, SIZE_MAX, rest);
        first.stop_at = UINT64_MAX;
        walk(stopped, 0, false, SIZE_MAX, first);
        EXPECT_EQ(fresh_stats.calls, whole_stats.calls);
        EXPECT_EQ(stats.calls, whole_stats.calls);
        EXPECT_EQ(rest.fillings, all.fillings);
        EXPECT_EQ(first.fillings, all.fillings);
        EXPECT_EQ(snapshot(fresh_box), snapshot(k));  // every segment taken back
        ++checked;

        // A place with a trial the box does not have, or a segment onto taken cells.
        std::vector<int32_t> wrong = place;
        wrong.back() = 1000;
        Cube other = copy_of(shape);
        Walker refused;
        SearchStats refused_stats;
        start_walker(refused, other, refused_stats, take_start(other), 2);
        const std::string before = snapshot(other);
        EXPECT_FALSE(replay(refused, first_frame(other), wrong));
        EXPECT_EQ(snapshot(other), before);
        EXPECT_TRUE(refused.stack.empty());
    }
    EXPECT_GE(checked, 30);
}

}  // namespace
