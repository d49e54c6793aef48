// The search on several threads against the single walk: the same fillings in the same order,
// the same count and the same work, whatever the number of threads and the split depth; and the
// mirrors that stand in for the third axis at the start, on several threads.
#include "boxes.hpp"
#include "cube.hpp"
#include "mirror.hpp"
#include "walker.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <new>
#include <random>
#include <string>
#include <vector>

namespace {

struct Outcome {
    BoxSearch result;
    std::string printed;
    std::vector<std::size_t> writes;  // the length of each text the sink was given
};

// Searches a copy of `k`; the sink refuses the write numbered `refuse` (from 1; 0: none) and
// throws std::bad_alloc at the write numbered `throw_at`.
Outcome run(const Cube& k, int threads, int32_t split_depth, std::size_t refuse = 0,
            std::size_t throw_at = 0) {
    struct Sink {
        Outcome* run;
        std::size_t refuse, throw_at;
    };
    Outcome r;
    Sink sink{&r, refuse, throw_at};
    SearchOptions options;
    options.threads = threads;
    options.split_depth = split_depth;
    options.sink.context = &sink;
    options.sink.write = [](std::string_view text, void* context) {
        auto& s = *static_cast<Sink*>(context);
        const std::size_t n = s.run->writes.size() + 1;
        if (n == s.throw_at) throw std::bad_alloc();
        if (n == s.refuse) return false;
        s.run->writes.push_back(text.size());
        s.run->printed.append(text);
        return true;
    };
    Cube copy = copy_of(k);
    r.result = search_box(copy, options);
    EXPECT_EQ(snapshot(copy), [&] {
        Cube marked = copy_of(k);
        marked.at(0, 0, 0) = 1;
        return snapshot(marked);
    }());
    return r;
}

// Boxes whose walks end in rings, so each has two fillings or more.
std::vector<Cube> boxes_with_fillings(std::size_t count) {
    std::vector<Cube> boxes;
    std::mt19937 rng(11);
    while (boxes.size() < count) {
        const int32_t nx = 4 + static_cast<int32_t>(rng() % 3),
                      ny = 4 + static_cast<int32_t>(rng() % 3);
        Walk w = random_walk(rng, nx, ny, 2 + static_cast<int32_t>(rng() % 4),
                             1 + static_cast<int32_t>(rng() % 20));
        if (end_in_ring(rng, w)) boxes.push_back(walk_box(rng, w, 0));
    }
    return boxes;
}

TEST(ParallelSearch, GivesTheSingleWalksFillingsCountAndWorkOnAnyNumberOfThreads) {
    int32_t fillings = 0;
    for (const Cube& k : boxes_with_fillings(100)) {
        const Outcome single = run(k, 1, 8);
        fillings += single.result.count;
        for (int threads : {2, 3, 8})
            for (int32_t split : {1, 2, 3, 5}) {
                const Outcome r = run(k, threads, split);
                const std::string label = snapshot(k) + std::to_string(threads) +
                                          " threads, split " + std::to_string(split);
                ASSERT_EQ(r.result.count, single.result.count) << label;
                ASSERT_EQ(r.printed, single.printed) << label;
                EXPECT_EQ(r.result.stats.calls, single.result.stats.calls) << label;
                EXPECT_FALSE(r.result.failure);
            }
    }
    EXPECT_GE(fillings, 200);  // the comparison sees many fillings
}

TEST(ParallelSearch, MirrorSkipWaitsForTheWholeSecondAxis) {
    // Every layer but the last taken, the last one free only on its border: the two fillings go
    // round the border either way, the second one found on the third axis.
    Cube k = box(3, 5, 5);
    for (int32_t x = 0; x < 3; ++x)
        for (int32_t y = 0; y < 5; ++y)
            for (int32_t z = 0; z < 5; ++z) {
                const bool border = y == 0 || z == 0 || y == 4 || z == 4;
                if ((y > 0 || z > 0) && (x < 2 || !border)) k.at(x, y, z) = -1;
            }
    const Outcome single = run(k, 1, 8);
    ASSERT_EQ(single.result.count, 2);
    for (int threads : {2, 8})
        for (int32_t split : {1, 2, 4}) {
            const Outcome r = run(k, threads, split);
            EXPECT_EQ(r.printed, single.printed);
            EXPECT_EQ(r.result.stats.calls, single.result.stats.calls);
        }
    // A whole cube, mirror-symmetric, where the second axis holds nothing.
    const Outcome cube4 = run(box(4, 4, 4), 1, 8);
    EXPECT_EQ(run(box(4, 4, 4), 3, 2).result.stats.calls, cube4.result.stats.calls);
}

TEST(ParallelSearch, MirrorsOfTheSecondAxisStandInForTheThirdInItsOrder) {
    struct Picture {
        int32_t nx, n;
        std::vector<std::string> layers;
    };
    // clang-format off
    const Picture pictures[] = {
        {3, 5, {".###. ####. ####. ####. ....#", ".###. ##### ##### ####. .##.#",
                "..... ..... ..##. ..##. ....#"}},
        {5, 5, {".###. ####. ####. ####. ....#", ".###. ##### ##### ####. .##.#",
                ".###. ##### ##### ####. .##.#", ".###. ##### ##### ####. .##.#",
                "..... ..... ..##. ..##. ....#"}},
        {3, 6, {".####. #####. #####. #####. #####. .....#",
                ".####. ###### ###### ###### #####. .###.#",
                "...... ...... ..###. ..###. ..###. .....#"}},
    };
    // clang-format on
    for (const Picture& p : pictures) {
        const Cube k = picture(p.nx, p.n, p.layers);
        const KeptSearch plain = plain_search(k);
        ASSERT_EQ(plain.count, 4) << snapshot(k);
        for (int threads : {1, 2, 3, 8})
            for (int32_t split : {1, 2, 4}) {
                const Outcome r = run(k, threads, split);
                const std::string label = snapshot(k) + std::to_string(threads) +
                                          " threads, split " + std::to_string(split);
                ASSERT_EQ(r.result.count, plain.count) << label;
                ASSERT_EQ(r.printed, plain.printed) << label;
                EXPECT_LT(r.result.stats.calls, plain.stats.calls) << label;
            }
        // Taken cells whose values differ across the diagonal would print differently in the
        // mirror: such a box is searched whole.
        Cube skewed = copy_of(k);
        ASSERT_NE(skewed.at(0, 0, 1), 0);  // taken in every picture
        skewed.at(0, 0, 1) = 2;
        skewed.at(0, 1, 0) = 3;
        const KeptSearch whole = plain_search(skewed);
        EXPECT_EQ(whole.count, 4);
        EXPECT_EQ(run(skewed, 1, 8).printed, whole.printed);
        EXPECT_EQ(run(skewed, 2, 2).printed, whole.printed);
    }
}

// A filling that cannot be written stops the search: the sink has taken whole fillings only,
// the first ones in order, and the failure is reported; so is memory that runs out in a thread.
// Split below every filling's depth, each filling is a write of its own.
TEST(ParallelSearch, AFailedWriteOrMissingMemoryStopsWithNothingHalfWritten) {
    for (const Cube& k : boxes_with_fillings(10)) {
        const Outcome single = run(k, 1, 8);
        ASSERT_GE(single.writes.size(), 2u);
        for (int threads : {1, 2, 3, 8}) {
            const Outcome refused = run(k, threads, 100, 2);
            ASSERT_TRUE(refused.result.failure) << threads;
            EXPECT_EQ(refused.result.failure->status, 1) << threads;
            ASSERT_EQ(refused.writes.size(), 1u) << threads;
            EXPECT_EQ(refused.printed, single.printed.substr(0, single.writes[0]));
            const Outcome thrown = run(k, threads, 100, 0, 2);
            ASSERT_TRUE(thrown.result.failure) << threads;
            EXPECT_EQ(thrown.result.failure->status, 3) << threads;
            EXPECT_EQ(thrown.printed, refused.printed) << threads;
        }
    }
}

}  // namespace
