// vevuvedu: running one work unit.
//
// The unit walks the top of the tree like the threaded search and deals with the events the
// fixed assignment gives it (unit_file.hpp), in order. Its state is the prefix of its events
// done: the fillings they found and the calls made below them, and the next event. A checkpoint
// writes that state; a run that starts from it skips every event before the next one, and as
// the state of a prefix does not depend on when or how often it was written, the result file
// of a resumed run is the same, byte for byte, as that of a run never stopped.
#include "unit.hpp"

#include "estimate_left.hpp"
#include "files.hpp"
#include "progress.hpp"
#include "threads.hpp"
#include "unit_file.hpp"
#include "walker.hpp"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <string_view>
#include <sys/file.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// How often the running unit looks at its signals, clock and checkpoint.
constexpr int watch_ms = 100;

struct Run {
    const UnitJob& job;
    std::string checkpoint_path;
    Clock::time_point started = Clock::now();
    Clock::time_point last_checkpoint = started;
    Clock::time_point last_progress = started;
    double share = 0;         // of the whole search's top walk, from the progress hook
    uint64_t calls_made = 0;  // by this run so far, from the progress hook
    std::optional<Failure> failure;
    const char* stopped_by = nullptr;
    int64_t resume_from = 0;  // the checkpoint's next event: fixed while the threads walk

    std::mutex lock;  // guards `state`: the search hands outcomes on while the watch reads it
    UnitFile state;
    std::vector<UnitOpen> carried;  // the checkpoint's events searched in part, resumed now
    LeftWatch left;                 // follows the events for the time left
};

double seconds_since(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

bool wanted(int64_t event, const void* context) {
    const auto& run = *static_cast<const Run*>(context);
    return event >= run.resume_from && owner_of(event, run.job.shards) == run.job.shard;
}

// Appends an outcome's fillings as a unit file keeps them: the cells, and the continuations that
// reach each one's mirror.
void append_fillings(std::vector<UnitFilling>& out, const EventOutcome& o) {
    for (std::size_t i = 0; i < o.cells.size(); ++i)
        out.push_back({o.event, o.cells[i],
                       i < o.mirrors.size() ? o.mirrors[i].trials : std::vector<int32_t>{}});
}

// Adds one event's outcome to the state: the events are handed on in order.
void take(EventOutcome& o, void* context) {
    auto& run = *static_cast<Run*>(context);
    std::lock_guard<std::mutex> hold(run.lock);
    append_fillings(run.state.fillings, o);
    run.state.calls += o.calls;
    run.state.next_event = o.event + 1;
}

// An event searched in part, as the search keeps it and as the file does.
UnitOpen open_of(const EventPlace& p) {
    UnitOpen o{p.outcome.event, p.outcome.calls, p.place, {}};
    append_fillings(o.fillings, p.outcome);
    return o;
}
EventPlace place_of_open(const UnitOpen& o) {
    EventPlace p;
    p.place = o.place;
    p.outcome.event = o.event;
    p.outcome.calls = o.calls;
    for (const UnitFilling& f : o.fillings) {
        ++p.outcome.found;
        p.outcome.cells.push_back(f.cells);
        // A unit keeps a mirror by the continuations that reach it; the merge makes its cells.
        if (!f.trials.empty()) p.outcome.mirrors.push_back({f.trials, {}});
    }
    return p;
}

// Writes the state: the events done, and the events searched in part that are not taken in:
// those `places` gives (the search's, at a stop or as its threads last published them), then
// those the checkpoint this run resumed from gave and this run has not reached.
std::optional<Failure> write_checkpoint(Run& run, const std::vector<EventPlace>& places = {}) {
    std::string text;
    {
        std::lock_guard<std::mutex> hold(run.lock);
        const int64_t next = run.state.next_event;
        auto& open = run.state.open;
        open.clear();
        for (const EventPlace& p : places)
            if (p.outcome.event >= next) open.push_back(open_of(p));
        for (const UnitOpen& o : run.carried)
            if (o.event >= next && std::none_of(places.begin(), places.end(), [&](const auto& p) {
                    return p.outcome.event == o.event;
                }))
                open.push_back(o);
        std::sort(open.begin(), open.end(),
                  [](const UnitOpen& x, const UnitOpen& y) { return x.event < y.event; });
        text = format_unit(run.state);
        open.clear();
    }
    return write_atomically(run.checkpoint_path, text);
}

void report_progress(const ProgressReport& now, void* context) {
    auto& run = *static_cast<Run*>(context);
    run.share = now.share_done;
    run.calls_made = now.calls;
}

void note_event(int64_t event, uint64_t calls, void* context) {
    note_finished(static_cast<Run*>(context)->left, event, calls);
}

void progress_line(Run& run) {
    std::size_t found = 0;
    unsigned long long calls;
    {
        // A filling with a mirror counts twice: the merge writes both.
        std::lock_guard<std::mutex> hold(run.lock);
        for (const UnitFilling& f : run.state.fillings)
            found += f.trials.empty() ? 1 : 2;
        calls = run.state.calls;
    }
    const double elapsed = seconds_since(run.started);
    const std::string left = time_left_text(run.left, run.calls_made, elapsed);
    std::fprintf(run.job.progress,
                 "vevuvedu: díl %lld/%lld: prohledáno %.4f %%, vyplnění %zu, volání %llu,"
                 " uplynulo %s, zbývá %s\n",
                 static_cast<long long>(run.job.shard), static_cast<long long>(run.job.shards),
                 100 * run.share, found, calls, duration_text(elapsed).c_str(), left.c_str());
    std::fflush(run.job.progress);
}

// Looks at the signals, the clock and the checkpoint; true stops the search.
bool watch(void* context) {
    auto& run = *static_cast<Run*>(context);
    const UnitJob& job = run.job;
    if (job.stop_signal != nullptr && *job.stop_signal != 0) {
        run.stopped_by = "signál";
        return true;
    }
    if (job.time_limit > 0 && seconds_since(run.started) >= job.time_limit) {
        run.stopped_by = "časový limit";
        return true;
    }
    if (job.progress_every > 0 && seconds_since(run.last_progress) >= job.progress_every) {
        run.last_progress = Clock::now();
        progress_line(run);
    }
    return run.failure.has_value();  // a checkpoint that could not be written stops the unit
}

// Whether a checkpoint is due while the search runs; `save` then writes it.
bool save_due(void* context) {
    auto& run = *static_cast<Run*>(context);
    const UnitJob& job = run.job;
    if (job.checkpoint_every <= 0 || seconds_since(run.last_checkpoint) < job.checkpoint_every)
        return false;
    run.last_checkpoint = Clock::now();
    return true;
}

void save(std::vector<EventPlace> places, void* context) {
    auto& run = *static_cast<Run*>(context);
    if (std::optional<Failure> f = write_checkpoint(run, places)) run.failure = f;
}

std::string shard_text(const UnitJob& job) {
    return std::to_string(job.shard) + "/" + std::to_string(job.shards);
}

// Reads the unit file at `path` when there is one: `missing` and no failure when there is none,
// a failure when it cannot be read, is damaged or belongs to another run.
UnitLoad read_existing(const std::string& path, const UnitIdentity& id, const char* what) {
    UnitLoad load = load_unit(path, what);
    if (load.missing) return {true, {}, std::nullopt};
    if (load.failure) return load;
    if (const char* differs = identity_difference(load.unit.id, id, true))
        load.failure = Failure{2, std::string(what) + " „" + path +
                                      "“ patří k jinému běhu (liší se " + differs + ")"};
    return load;
}

// The unit's lock, `out` + ".lock": held for as long as the process runs the unit, so that a
// second runner of the same unit (a task run twice, a driver started again while the first
// one's shards still run) ends at once instead of writing the same files. The lock ends with
// the process, however it ends; the file stays, as removing it could let a third runner in.
struct UnitLock {
    int fd = -1;
    ~UnitLock() {
        if (fd >= 0) close(fd);
    }
};

std::optional<Failure> take_lock(UnitLock& lock, const UnitJob& job) {
    const std::string path = job.out + ".lock";
    lock.fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lock.fd < 0)
        return failure_of(1, "zámek dílu „" + path + "“ nejde vytvořit", errno, "chyba zápisu");
    while (flock(lock.fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        if (errno == EWOULDBLOCK)
            return Failure{busy_status, "díl " + shard_text(job) +
                                            " už počítá jiný proces (drží zámek „" + path +
                                            "“); tento běh končí, nic nezměnil"};
        return failure_of(1, "zámek dílu „" + path + "“ nejde zamknout", errno, "chyba zápisu");
    }
    return std::nullopt;
}

// Removes what a write of the result or the checkpoint killed midway left: its temporary file,
// the path followed by six characters of mkstemp's (write_atomically). Only the holder of the
// unit's lock calls this, so no write of this unit is under way.
void remove_leftovers(const UnitJob& job) {
    const std::size_t slash = job.out.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : job.out.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? job.out : job.out.substr(slash + 1);
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return;
    auto leftover = [&](std::string_view name) {
        for (const std::string& of : {base + ".", base + ".checkpoint."}) {
            if (name.size() != of.size() + 6 || name.substr(0, of.size()) != of) continue;
            const std::string_view tail = name.substr(of.size());
            if (std::all_of(tail.begin(), tail.end(),
                            [](char c) { return std::isalnum(static_cast<unsigned char>(c)); }))
                return true;
        }
        return false;
    };
    while (const dirent* entry = readdir(dir))
        if (leftover(entry->d_name)) unlinkat(dirfd(dir), entry->d_name, 0);
    closedir(dir);
}

}  // namespace

uint64_t taken_hash(const Cube& kostka) {
    // Every cell as 4 bytes, least significant first, whatever the machine's byte order.
    uint64_t hash = fnv1a("");
    for (int32_t cell = 0; cell < kostka.celkem_poli; ++cell) {
        const auto v = static_cast<uint32_t>(kostka.cells[cell]);
        const char bytes[4] = {static_cast<char>(v & 0xff), static_cast<char>(v >> 8 & 0xff),
                               static_cast<char>(v >> 16 & 0xff), static_cast<char>(v >> 24)};
        hash = fnv1a(std::string_view(bytes, 4), hash);
    }
    return hash;
}

std::optional<Failure> run_unit(Cube& kostka, const UnitJob& job) {
    const UnitIdentity id{ORV_VERSION,        kostka.nx,       kostka.ny, kostka.nz,
                          taken_hash(kostka), job.split_depth, job.shard, job.shards};
    // A complete result is read without the lock, so that it also holds on a read-only disk;
    // once the lock is held, it is read again, as the runner that held the lock may just have
    // completed it.
    UnitLock lock;
    for (bool locked = false;; locked = true) {
        const UnitLoad done = read_existing(job.out, id, "výsledek");
        if (done.failure) return done.failure;
        if (!done.missing) {
            if (done.unit.complete) return std::nullopt;  // nothing left to do
            return Failure{2, "výsledek „" + job.out + "“ není hotový, je to kontrolní bod"};
        }
        if (locked) break;
        if (std::optional<Failure> f = take_lock(lock, job)) return f;
    }
    remove_leftovers(job);
    const Clock::time_point now = Clock::now();
    Run run{job, job.out + ".checkpoint", now, now, now, 0, 0, std::nullopt, nullptr, 0, {}, {}, {},
            {}};
    const UnitLoad resumed = read_existing(run.checkpoint_path, id, "kontrolní bod");
    if (resumed.failure) return resumed.failure;
    if (!resumed.missing) {
        if (resumed.unit.complete)
            return Failure{2, "kontrolní bod „" + run.checkpoint_path + "“ je hotový výsledek"};
        run.state = resumed.unit;
        run.resume_from = run.state.next_event;
        run.carried = std::move(run.state.open);
        run.state.open.clear();
    } else {
        run.state.id = id;
    }

    // A folder the result cannot be written to shows now, not after hours of search.
    if (std::optional<Failure> f = write_checkpoint(run)) return f;
    const int32_t filled = take_start(kostka);
    SearchOptions options;
    options.threads = job.threads;
    options.split_depth = job.split_depth;
    options.progress = {report_progress, note_event, &run};
    if (job.progress_every > 0)
        start_guessing(run.left, kostka, filled, options, wanted, &run, unit_guess_share);
    EventPlan plan;
    plan.wanted = wanted;
    plan.wanted_context = &run;
    plan.take = take;
    plan.take_context = &run;
    plan.watch = watch;
    plan.watch_context = &run;
    plan.watch_ms = watch_ms;
    plan.save_due = save_due;
    plan.save = save;
    std::map<int64_t, EventPlace> places;
    for (const UnitOpen& o : run.carried)
        places.emplace(o.event, place_of_open(o));
    plan.resume = &places;
    plan.keep_places = true;
    plan.stop_after_calls = job.stop_after_calls;
    ThreadedSearch search = search_threads(kostka, filled, options, plan);
    if (search.result.failure) return search.result.failure;
    if (run.failure) return run.failure;
    if (search.stopped) {
        if (run.stopped_by == nullptr) run.stopped_by = "počet volání";
        if (std::optional<Failure> f = write_checkpoint(run, search.places)) return f;
        return Failure{stopped_status, "díl " + shard_text(job) + " zastaven (" + run.stopped_by +
                                           "), stav uložen v „" + run.checkpoint_path +
                                           "“; týž příkaz bude pokračovat"};
    }
    UnitFile& u = run.state;
    u.complete = true;
    u.events = search.events;
    u.next_event = search.events;
    u.mirror_event = search.mirror_event;
    u.top_calls = search.top_calls;
    u.owned = 0;
    for (int64_t e = 0; e < u.events; ++e)
        u.owned += owner_of(e, job.shards) == job.shard;
    if (std::optional<Failure> f = write_atomically(job.out, format_unit(u))) return f;
    std::remove(run.checkpoint_path.c_str());  // the result holds everything it held
    return std::nullopt;
}
