// The merge against the single walk: every box's events dealt to M units, each run on its own,
// then merged, give the single walk's fillings in its order, whatever M, the split depth and the
// threads; a unit run again does nothing.
#include "boxes.hpp"
#include "merge.hpp"
#include "unit.hpp"
#include "unit_file.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

namespace {

namespace fs = std::filesystem;

TEST(WorkUnits, MergedGiveTheSingleWalksFillingsInItsOrder) {
    std::mt19937 rng(14);
    int32_t boxes = 0, fillings = 0;
    while (boxes < 40) {
        Walk w = random_walk(
            rng, 4 + static_cast<int32_t>(rng() % 3), 4 + static_cast<int32_t>(rng() % 3),
            2 + static_cast<int32_t>(rng() % 4), 1 + static_cast<int32_t>(rng() % 20));
        if (!end_in_ring(rng, w)) continue;
        const Cube k = walk_box(rng, w, 0);
        Cube single = copy_of(k);
        const KeptSearch plain = search_kept(single);
        ++boxes;
        fillings += plain.count;
        const int64_t m = 1 + static_cast<int64_t>(rng() % 6);
        const int32_t depth = 1 + static_cast<int32_t>(rng() % 6);
        Folder folder;
        for (int64_t shard = 0; shard < m; ++shard) {
            UnitJob job;
            job.shard = shard;
            job.shards = m;
            job.split_depth = depth;
            job.threads = 1 + static_cast<int>(shard % 3);
            job.out = (folder.path / ("shard-" + std::to_string(shard) + ".vvr")).string();
            Cube copy = copy_of(k);
            ASSERT_FALSE(run_unit(copy, job));
            const auto written = fs::last_write_time(job.out);
            Cube again = copy_of(k);
            ASSERT_FALSE(run_unit(again, job));  // complete: nothing done
            EXPECT_EQ(fs::last_write_time(job.out), written);
        }
        const Read<UnitSet> set = read_unit_set({folder.path.string()});
        ASSERT_FALSE(set.failure) << set.failure->reason;
        // The bound a reader puts on the events holds for every real search.
        for (const UnitFile& u : set.value.units)
            ASSERT_LE(u.events, most_events(u.id)) << snapshot(k);
        std::string printed;
        const BoxSearch merged = merge_units(set.value, {append, &printed});
        const std::string label =
            snapshot(k) + std::to_string(m) + " units, depth " + std::to_string(depth);
        ASSERT_EQ(merged.count, plain.count) << label;
        ASSERT_EQ(printed, plain.printed) << label;
        EXPECT_EQ(merged.stats.calls, plain.stats.calls) << label;
    }
    EXPECT_GE(fillings, 80);  // the comparison sees many fillings
}

}  // namespace
