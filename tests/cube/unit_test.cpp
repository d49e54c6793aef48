// Work units against the single walk: every box's events dealt to M units, each run on its own,
// then merged, give the single walk's fillings in its order, whatever M, the split depth and the
// threads; a unit run again does nothing.
#include "box.hpp"
#include "boxes.hpp"
#include "merge.hpp"
#include "unit.hpp"
#include "unit_file.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

bool append(std::string_view text, void* printed) {
    static_cast<std::string*>(printed)->append(text);
    return true;
}

struct Folder {
    fs::path path;
    Folder() {
        char name[] = "/tmp/vevuvedu-units-XXXXXX";
        path = mkdtemp(name);
    }
    ~Folder() { fs::remove_all(path); }
};

TEST(WorkUnits, MergedGiveTheSingleWalksFillingsInItsOrder) {
    std::mt19937 rng(14);
    int32_t boxes = 0, fillings = 0;
    while (boxes < 40) {
        Walk w = random_walk(rng, 4 + static_cast<int32_t>(rng() % 3),
                             4 + static_cast<int32_t>(rng() % 3), 2 + static_cast<int32_t>(rng() % 4),
                             1 + static_cast<int32_t>(rng() % 20));
        if (!end_in_ring(rng, w)) continue;
        const Cube k = walk_box(rng, w, 0);
        Cube single = copy_of(k);
        const KeptSearch plain = search_kept(single, Pruning::full);
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
        const SetRead set = read_unit_set({folder.path.string()});
        ASSERT_FALSE(set.failure) << set.failure->reason;
        // The bound a reader puts on the events holds for every real search.
        for (const UnitFile& u : set.set.units)
            ASSERT_LE(u.events, most_events(u.id)) << snapshot(k);
        std::string printed;
        const BoxSearch merged = merge_units(set.set, {append, &printed});
        const std::string label = snapshot(k) + std::to_string(m) + " units, depth " +
                                  std::to_string(depth);
        ASSERT_EQ(merged.count, plain.count) << label;
        ASSERT_EQ(printed, plain.printed) << label;
        EXPECT_EQ(merged.stats.calls, plain.stats.calls) << label;
    }
    EXPECT_GE(fillings, 80);  // the comparison sees many fillings
}

// The result file a unit writes from `k` run as one piece (budget 0) or stopped at its
// checkpoint after every `budget` calls and run again until it ends; the runs it took in
// `runs`.
std::string unit_result(const Cube& k, UnitJob job, uint64_t budget, int& runs) {
    runs = 0;
    for (;;) {
        job.stop_after_calls = budget;
        Cube copy = copy_of(k);
        const std::optional<Failure> f = run_unit(copy, job);
        ++runs;
        if (!f) break;
        if (f->status != stopped_status || runs > 400) {
            ADD_FAILURE() << "run " << runs << ": status " << f->status << ": " << f->reason;
            return {};
        }
        job.threads = 1 + (job.threads % 3);  // a resumed unit may run on other threads
    }
    std::string text;
    read_file(job.out, text);
    return text;
}

// A unit stopped at any call, on any number of threads, and run again ends with the result
// file of a run never stopped, calls and all: a checkpoint holds the exact place of every event
// its run was searching and every outcome it held, and the run after it goes on from there.
TEST(WorkUnits, StoppedAtAnyCallTheyEndWithTheFileOfARunNeverStopped) {
    std::mt19937 rng(21);
    std::vector<Cube> boxes;
    boxes.push_back(box(4, 5, 6));
    boxes.push_back(box(5, 5, 5));  // mirrored at the start
    {
        Cube mirrored = box(3, 6, 6);
        ASSERT_FALSE(load_taken(ORV_CUBE_CASES "/box-mirrored-pairs/files/taken", mirrored));
        boxes.push_back(std::move(mirrored));
    }
    while (boxes.size() < 12) {
        Walk w = random_walk(rng, 4 + static_cast<int32_t>(rng() % 2), 5, 5, 30);
        if (end_in_ring(rng, w)) boxes.push_back(walk_box(rng, w, boxes.size() % 2 == 0 ? 0 : 2));
    }
    int32_t stops = 0, fillings = 0;
    for (const Cube& k : boxes) {
        Folder folder;
        UnitJob job;
        job.shards = 1 + static_cast<int64_t>(rng() % 3);
        job.shard = static_cast<int64_t>(rng() % static_cast<uint64_t>(job.shards));
        job.split_depth = 1 + static_cast<int32_t>(rng() % 4);
        job.threads = 1 + static_cast<int>(rng() % 3);
        job.out = (folder.path / "whole.vvr").string();
        int runs = 0;
        const std::string whole = unit_result(k, job, 0, runs);
        const UnitLoad read = load_unit(job.out, "výsledek");
        ASSERT_FALSE(read.failure) << read.failure->reason;
        const uint64_t calls = read.unit.calls;
        if (calls < 20) continue;
        // From a few stops to a few dozen, each at a call drawn at random.
        const uint64_t budget = 1 + rng() % (calls / 4);
        job.out = (folder.path / "stopped.vvr").string();
        const std::string stopped = unit_result(k, job, budget, runs);
        ASSERT_EQ(stopped, whole) << snapshot(k) << job.split_depth << " deep, budget " << budget;
        stops += runs - 1;
        fillings += static_cast<int32_t>(read.unit.fillings.size());
    }
    EXPECT_GE(stops, 40);  // the comparison sees many stops
    EXPECT_GE(fillings, 8);
}

}  // namespace
