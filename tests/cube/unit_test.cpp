// A work unit stopped and run again: its checkpoints carry it to the result of a run never
// stopped, byte for byte.
#include "box.hpp"
#include "boxes.hpp"
#include "files.hpp"
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
