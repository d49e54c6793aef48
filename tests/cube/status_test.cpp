// Where a run of work units stands, read from its files: the state of every unit, and the calls
// and fillings found so far, against what the units did and what the merge of the finished run
// gives.
#include "box.hpp"
#include "boxes.hpp"
#include "files.hpp"
#include "merge.hpp"
#include "status.hpp"
#include "unit.hpp"
#include "unit_file.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

struct UnitRun {
    Cube k;
    Folder folder;
    int64_t shards = 4;
    std::vector<uint64_t> whole = {};  // each unit's calls below its events, run to its end

    std::string file(int64_t shard) const {
        return (folder.path / ("shard-" + std::to_string(shard) + ".vvr")).string();
    }
    // Runs unit `shard`, stopped after `calls` calls below its events (0: to its end).
    std::optional<Failure> run(int64_t shard, uint64_t calls = 0) const {
        UnitJob job;
        job.shard = shard;
        job.shards = shards;
        job.split_depth = 2;
        job.out = file(shard);
        job.stop_after_calls = calls;
        Cube copy = copy_of(k);
        return run_unit(copy, job);
    }
    uint64_t calls_of(int64_t shard) const { return load_unit(file(shard), "výsledek").unit.calls; }
};

// A 6 x 6 x 6 box with six fillings and no mirrored half, its units each with some work below
// their events; the calls of each run to its end in `whole`, the folder left empty.
bool make_busy(UnitRun& run) {
    run.k = box(6, 6, 6);
    if (load_taken(ORV_CUBE_CASES "/box-six-fillings/files/taken", run.k)) return false;
    for (int64_t shard = 0; shard < run.shards; ++shard) {
        if (run.run(shard)) return false;
        run.whole.push_back(run.calls_of(shard));
        if (run.whole.back() < 100) return false;
    }
    for (const fs::directory_entry& f : fs::directory_iterator(run.folder.path))
        fs::remove(f.path());
    return true;
}

TEST(RunStatus, TellsEveryUnitsStateAndTheCallsAndFillingsSoFar) {
    UnitRun run;
    ASSERT_TRUE(make_busy(run));
    ASSERT_FALSE(run.run(0));
    ASSERT_FALSE(run.run(3));
    const uint64_t stop = run.whole[1] / 2;  // unit 1 stops halfway
    const std::optional<Failure> stopped = run.run(1, stop);
    ASSERT_TRUE(stopped);
    ASSERT_EQ(stopped->status, stopped_status);

    Read<RunStatus> read = read_run_status(run.folder.path.string());
    ASSERT_FALSE(read.failure) << read.failure->reason;
    EXPECT_EQ(read.value.units, 4);
    EXPECT_EQ(read.value.complete, (std::vector<int64_t>{0, 3}));
    EXPECT_EQ(read.value.stopped, (std::vector<int64_t>{1}));
    EXPECT_EQ(read.value.untouched, 1);
    // The call that stopped unit 1 is given back, to be made again when it goes on.
    EXPECT_EQ(read.value.calls, run.whole[0] + run.whole[3] + stop - 1);
    const std::string head = "díly 4\nhotové 2\nzastavené 1\nnezačaté 1\nvolání ";
    const std::string text = format_status(read.value);
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_NE(text.find("\nzastavené-díly 1\nnezačaté-díly 2\n"), std::string::npos) << text;

    // Finished: the calls below the events and the fillings are the merged run's.
    ASSERT_FALSE(run.run(1));
    ASSERT_FALSE(run.run(2));
    read = read_run_status(run.folder.path.string());
    ASSERT_FALSE(read.failure) << read.failure->reason;
    EXPECT_EQ(read.value.complete.size(), 4u);
    EXPECT_TRUE(read.value.stopped.empty() && read.value.untouched == 0);
    const Read<UnitSet> set = read_unit_set({run.folder.path.string()});
    ASSERT_FALSE(set.failure) << set.failure->reason;
    const BoxSearch merged = merge_units(set.value, {});
    EXPECT_EQ(read.value.calls + set.value.units[0].top_calls, merged.stats.calls);
    EXPECT_EQ(read.value.fillings, merged.count);  // no mirrors for the merge to add
    EXPECT_EQ(merged.count, 6);
}

// What cannot be told is refused, with the file named: another run's file, two results of one
// unit, a damaged file, a folder without units. A checkpoint left beside a result counts once.
TEST(RunStatus, RefusesFilesThatDoNotTellOneRunAndCountsAUnitOnce) {
    UnitRun run;
    ASSERT_TRUE(make_busy(run));
    const std::string folder = run.folder.path.string();
    EXPECT_EQ(read_run_status(folder).failure->status, 2);
    ASSERT_FALSE(run.run(0));
    const uint64_t whole = read_run_status(folder).value.calls;

    UnitRun other;
    other.k = box(4, 4, 4);
    ASSERT_FALSE(other.run(2));
    fs::copy_file(other.file(2), run.folder.path / "zz-other.vvr");
    Read<RunStatus> read = read_run_status(folder);
    ASSERT_TRUE(read.failure);
    EXPECT_EQ(read.failure->status, 2);
    EXPECT_NE(read.failure->reason.find("zz-other.vvr"), std::string::npos) << read.failure->reason;
    fs::remove(run.folder.path / "zz-other.vvr");

    fs::copy_file(run.file(0), run.folder.path / "again.vvr");
    read = read_run_status(folder);
    ASSERT_TRUE(read.failure);
    EXPECT_NE(read.failure->reason.find("dva výsledky"), std::string::npos) << read.failure->reason;
    fs::remove(run.folder.path / "again.vvr");

    UnitRun stopped;
    stopped.k = copy_of(run.k);
    ASSERT_TRUE(stopped.run(0, 10));
    fs::copy_file(stopped.file(0) + ".checkpoint", run.file(0) + ".checkpoint");
    read = read_run_status(folder);
    ASSERT_FALSE(read.failure) << read.failure->reason;
    EXPECT_EQ(read.value.complete, (std::vector<int64_t>{0}));
    EXPECT_TRUE(read.value.stopped.empty());
    EXPECT_EQ(read.value.calls, whole);

    std::string text;
    ASSERT_TRUE(read_file(run.file(0), text));
    text[text.size() / 2] ^= 1;
    ASSERT_FALSE(write_atomically(run.file(0), text));
    read = read_run_status(folder);
    ASSERT_TRUE(read.failure);
    EXPECT_EQ(read.failure->status, 2);
    EXPECT_NE(read.failure->reason.find("shard-0.vvr"), std::string::npos) << read.failure->reason;
}

// The report of a run of many units lists the units by runs, so its length follows the files,
// not M.
TEST(RunStatus, ListsUnitsByRuns) {
    RunStatus status;
    status.units = 1000000000;
    status.complete = {0, 1, 2, 5, 10};
    status.stopped = {3, 7, 8, 9};
    status.untouched = status.units - 9;
    const std::string text = format_status(status);
    EXPECT_NE(text.find("\nnezačaté 999999991\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nzastavené-díly 3 7-9\nnezačaté-díly 4 6 11-999999999\n"),
              std::string::npos)
        << text;
    status.units = 11;
    status.untouched = 2;
    EXPECT_NE(format_status(status).find("\nnezačaté-díly 4 6\n"), std::string::npos);
}

}  // namespace
