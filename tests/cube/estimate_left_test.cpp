// The time left: the guesses of the events' sizes against the calls each event truly makes, and
// the range of calls left against the true remainder as a search goes through its events.
#include "boxes.hpp"
#include "estimate_left.hpp"
#include "threads.hpp"
#include "walker.hpp"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace {

// Every event's true calls, from the threaded search on one thread.
std::vector<double> true_event_calls(const Cube& k, int32_t split_depth) {
    struct Calls {
        std::vector<double> of;
    } calls;
    Cube copy = copy_of(k);
    const int32_t filled = take_start(copy);
    SearchOptions options;
    options.split_depth = split_depth;
    EventPlan plan;
    plan.take = [](EventOutcome& o, void* context) {
        auto& c = *static_cast<Calls*>(context);
        c.of.resize(static_cast<std::size_t>(o.event) + 1, 0);
        c.of[static_cast<std::size_t>(o.event)] = static_cast<double>(o.calls);
    };
    plan.take_context = &calls;
    const ThreadedSearch s = search_threads(copy, filled, options, plan);
    calls.of.resize(static_cast<std::size_t>(s.events), 0);
    return calls.of;
}

std::vector<EventGuess> guesses_of(const Cube& k, int32_t split_depth, int32_t rounds,
                                   uint32_t seed) {
    Cube copy = copy_of(k);
    const int32_t filled = take_start(copy);
    const std::atomic<bool> stop{false};
    return guess_event_sizes(copy, filled, split_depth, {rounds, 1e9}, stop, seed);
}

// Goes through the events in the search's order and checks the range of calls left against
// the true remainder after the first 5, 20, 50 and 80 per cent of the calls: it holds the truth,
// and it is narrower at 80 per cent than at 20 (not at every step: a block that strays further
// than any before it widens it for a while).
void check_ranges(const Cube& k, int32_t split_depth, int32_t rounds) {
    const std::vector<double> truth = true_event_calls(k, split_depth);
    const std::vector<EventGuess> guess = guesses_of(k, split_depth, rounds, 1);
    ASSERT_EQ(truth.size(), guess.size());
    const double total = std::accumulate(truth.begin(), truth.end(), 0.0);
    GuessAhead ahead;
    for (const EventGuess& g : guess) {
        ahead.calls += g.calls;
        ahead.variance += g.variance;
    }
    LeftTally tally;
    tally.block_size = block_share * ahead.calls;
    double done = 0, width_at_20 = 0;
    std::size_t mark = 0;
    const double marks[] = {0.05, 0.2, 0.5, 0.8};
    for (std::size_t e = 0; e < truth.size() && mark < 4; ++e) {
        add_finished(tally, guess[e], truth[e]);
        done += truth[e];
        if (done < marks[mark] * total) continue;
        const CallsLeft left = calls_left(
            tally, {ahead.calls - tally.guessed, ahead.variance - tally.guess_variance}, 0);
        SCOPED_TRACE(testing::Message()
                     << k.nx << "x" << k.ny << "x" << k.nz << " at " << 100 * done / total << " %");
        ASSERT_TRUE(left.known);
        EXPECT_LE(left.low, total - done);
        EXPECT_GE(left.high, total - done);
        if (mark == 1) width_at_20 = left.high - left.low;
        if (mark == 3) {
            EXPECT_LT(left.high - left.low, width_at_20);
        }
        ++mark;
    }
    EXPECT_EQ(mark, 4u);
}

}  // namespace

// The guesses are numbered like the search's events: a filling above the split depth and the
// switch to the mirrored half make no calls, and a subtree is guessed at none exactly when it
// makes none. Over the many events at the default depth the guesses add up to near the truth.
TEST(TimeLeft, GuessesFollowTheSearchsEvents) {
    for (const Cube& k : {box(1, 1, 1), box(4, 4, 4), box(5, 5, 5), box(4, 5, 6), box(3, 4, 8)})
        for (int32_t depth : {1, 3, 8}) {
            SCOPED_TRACE(testing::Message()
                         << k.nx << "x" << k.ny << "x" << k.nz << " depth " << depth);
            const std::vector<double> truth = true_event_calls(k, depth);
            const std::vector<EventGuess> guess = guesses_of(k, depth, 16, 7);
            ASSERT_EQ(truth.size(), guess.size());
            double t = 0, g = 0;
            for (std::size_t e = 0; e < truth.size(); ++e) {
                EXPECT_EQ(truth[e] == 0, guess[e].calls == 0) << e;
                t += truth[e];
                g += guess[e].calls;
            }
            if (depth == 8 && truth.size() > 1000) {
                EXPECT_NEAR(g / t, 1, 0.25);
            }
        }
}

// (One test a box: each is a whole search or two, and the sanitizer build runs them side by side.)
TEST(TimeLeft, RangeHoldsTheCallsLeftAndNarrowsOnSmallTrees) {
    check_ranges(box(5, 5, 5), 8, 16);
    check_ranges(box(4, 6, 6), 8, 4);
}
TEST(TimeLeft, RangeHoldsTheCallsLeftAndNarrowsWithFewDives) { check_ranges(box(5, 5, 6), 6, 2); }
TEST(TimeLeft, RangeHoldsTheCallsLeftAndNarrowsWithOneDiveAnEvent) {
    check_ranges(box(5, 5, 6), 8, 1);  // as on a tree too large for more
}

// Nothing is claimed before enough events and a block have finished; the calls already made
// inside the events in flight come off; a search with nothing ahead has nothing left.
TEST(TimeLeft, RangeRules) {
    LeftTally tally;
    tally.block_size = 100;
    for (int i = 0; i < 15; ++i)
        add_finished(tally, {10, 4}, 10);
    EXPECT_FALSE(calls_left(tally, {1000, 400}, 0).known);  // 15 events, a block of 150
    add_finished(tally, {0, 0}, 0);                         // no calls: not an event that counts
    EXPECT_FALSE(calls_left(tally, {1000, 400}, 0).known);
    add_finished(tally, {10, 4}, 10);
    const CallsLeft left = calls_left(tally, {1000, 400}, 0);
    ASSERT_TRUE(left.known);  // every event as guessed: the ratio 1 and no spread
    EXPECT_DOUBLE_EQ(left.low, 1000 - 2 * 20);
    EXPECT_DOUBLE_EQ(left.high, 1000 + 2 * 20);
    const CallsLeft later = calls_left(tally, {1000, 400}, 300);
    EXPECT_DOUBLE_EQ(later.low, 700 - 2 * 20);
    EXPECT_DOUBLE_EQ(later.high, 700 + 2 * 20);
    const CallsLeft none = calls_left(tally, {0, 0}, 0);
    EXPECT_TRUE(none.known);
    EXPECT_EQ(none.low, 0);
    EXPECT_EQ(none.high, 0);
}

// A block whose events made twice their guesses makes the range reach twice the guesses ahead,
// one that made half of them, half.
TEST(TimeLeft, RangeReachesTheHighestBlockRatio) {
    LeftTally tally;
    tally.block_size = 100;
    for (int i = 0; i < 10; ++i)
        add_finished(tally, {10, 0}, 10);
    for (int i = 0; i < 10; ++i)
        add_finished(tally, {10, 0}, 20);
    for (int i = 0; i < 10; ++i)
        add_finished(tally, {10, 0}, 5);
    ASSERT_EQ(tally.blocks, 3);
    const CallsLeft left = calls_left(tally, {1000, 0}, 0);
    ASSERT_TRUE(left.known);
    EXPECT_DOUBLE_EQ(left.high, 2000);
    EXPECT_DOUBLE_EQ(left.low, 500);
}
