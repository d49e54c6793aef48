// vevuvedu: the search on several threads, with the output of the single walk.
//
// Every thread walks the top of the tree itself, the same walk in the same order, down to the
// split depth. On the way it numbers the events: each continuation tried at the split depth,
// and each filling found above it. A shared counter hands the event numbers out as tickets, in
// order; a thread deals with an event only when it holds its ticket (it searches the subtree,
// or keeps the filling) and passes over the others. Each event's outcome is held until every
// event before it is done, then written: the sink sees the fillings exactly in the order of the
// single walk, and the count is the sum. The start's switch to the mirrored third axis is one
// more event: the mirrors of the fillings before it stand in for that half, so its thread waits
// for every event before it to be written.
#include "parallel.hpp"

#include "mirror.hpp"
#include "walker.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Events may run this far ahead of the oldest one not yet written, so the outcomes held stay few.
constexpr int64_t window = 1 << 16;

struct Outcome {
    int32_t found = 0;
    std::string text;                      // the fillings found, as `dump` writes them
    std::vector<MirroredFilling> mirrors;  // theirs, when the start is mirror-symmetric
    double share = 0;                      // the share of the search done before this event
};

struct Shared {
    const SearchOptions* options = nullptr;
    const Cube* box = nullptr;  // the box as given, copied by every thread
    int32_t filled = 0;
    bool mirror = false;
    std::atomic<int64_t> next_ticket{0};
    std::atomic<bool> stop{false};

    std::mutex lock;
    std::condition_variable changed;
    int64_t written = 0;                   // events written; every event before it is done
    std::map<int64_t, Outcome> held;       // events done but not yet written
    std::vector<MirroredFilling> mirrors;  // of the fillings written
    int64_t found = 0;
    double share = 0;
    SearchFailure failure = SearchFailure::none;
    SearchStats stats;
    int running = 0;
};

void fail(Shared& sh, SearchFailure failure) {
    std::lock_guard<std::mutex> hold(sh.lock);
    if (sh.failure == SearchFailure::none) sh.failure = failure;
    sh.stop = true;
    sh.changed.notify_all();
}

// Keeps event `e`'s outcome and writes every outcome that is now next in order.
void finish(Shared& sh, int64_t e, Outcome&& outcome) {
    std::lock_guard<std::mutex> hold(sh.lock);
    sh.held.emplace(e, std::move(outcome));
    for (auto next = sh.held.begin(); next != sh.held.end() && next->first == sh.written;
         next = sh.held.erase(next)) {
        const Outcome& o = next->second;
        if (!o.text.empty() && sh.options->sink.write != nullptr && !sh.stop &&
            !sh.options->sink.write(o.text, sh.options->sink.context)) {
            sh.failure = SearchFailure::write;
            sh.stop = true;
        }
        sh.found += o.found;
        sh.share = o.share;
        std::move(o.mirrors.begin(), o.mirrors.end(), std::back_inserter(sh.mirrors));
        ++sh.written;
    }
    sh.changed.notify_all();
}

// Adds the filling the box now holds, `last` its final segment, to an event's outcome.
void keep_filling(Shared& sh, Outcome& outcome, const Walker& w, const Frame& last) {
    ++outcome.found;
    append_dump(outcome.text, *w.kostka);
    if (sh.mirror) outcome.mirrors.push_back(mirror_filling(w, last));
}

// The walk below one event's continuation: fillings are kept in its outcome.
struct Subtree {
    Shared& sh;
    Walker& w;
    Outcome& outcome;

    void filling(const Frame& last) { keep_filling(sh, outcome, w, last); }
    void mirror_half() {}
    bool split(const Frame&) { return false; }
    bool tick() const { return sh.stop; }
};

// The walk of the top of the tree, dealing with the events whose tickets this thread holds.
struct Splitter {
    Shared& sh;
    Walker& w;
    SearchStats& top_stats;   // the walk of the top, the same in every thread
    SearchStats& task_stats;  // the subtrees this thread searched
    int64_t event = 0;        // events numbered so far
    int64_t ticket = 0;

    // Takes the next event number; true when it is this thread's to deal with, once there is
    // room to hold its outcome.
    bool take(double& share) {
        const int64_t e = event++;
        if (e != ticket || sh.stop) return false;
        std::unique_lock<std::mutex> hold(sh.lock);
        sh.changed.wait(hold, [&] { return e < sh.written + window || sh.stop; });
        if (sh.stop) return false;
        hold.unlock();
        share = share_done(w, sh.mirror);
        return true;
    }
    void done(Outcome&& outcome) {
        finish(sh, event - 1, std::move(outcome));
        ticket = sh.next_ticket++;
    }

    void filling(const Frame& last) {
        Outcome o;
        if (!take(o.share)) return;
        keep_filling(sh, o, w, last);
        done(std::move(o));
    }
    // Once every event before this one is written, all the fillings to mirror are known.
    void mirror_half() {
        Outcome o;
        if (!take(o.share)) return;
        {
            std::unique_lock<std::mutex> hold(sh.lock);
            sh.changed.wait(hold, [&] { return sh.written == event - 1 || sh.stop; });
            if (sh.stop) return;
            o.found = static_cast<int32_t>(sh.mirrors.size());
            append_mirrors(o.text, sh.mirrors, *w.kostka);
        }
        done(std::move(o));
    }
    bool split(const Frame& next) {
        Outcome o;
        if (!take(o.share)) return true;
        w.stats = &task_stats;
        switch (lay(w, next)) {
        case Laid::blocked:
            break;
        case Laid::full:
            keep_filling(sh, o, w, next);
            unlay(w, next);
            break;
        case Laid::cut:
            ++task_stats.dead;
            unlay(w, next);
            break;
        case Laid::open: {
            const std::size_t base = w.stack.size();
            w.stack.push_back(next);
            task_stats.max_depth = std::max<uint64_t>(task_stats.max_depth, w.stack.size());
            Subtree below{sh, w, o};
            walk(w, base, false, SIZE_MAX, below);
            unwind(w, base);
            break;
        }
        }
        w.stats = &top_stats;
        if (!sh.stop) done(std::move(o));
        return true;
    }
    bool tick() const { return sh.stop; }
};

void add_stats(SearchStats& sum, const SearchStats& s) {
    sum.calls += s.calls;
    sum.dead += s.dead;
    sum.max_depth = std::max(sum.max_depth, s.max_depth);
    sum.prune.rounds += s.prune.rounds;
    sum.prune.quick_cuts += s.prune.quick_cuts;
}

void work(Shared& sh, bool count_top) {
    try {
        Cube k;
        if (!copy_cube(k, *sh.box)) throw std::bad_alloc();
        SearchStats top_stats, task_stats;
        Walker w;
        start_walker(w, k, top_stats, sh.options->pruning, sh.filled, 2);
        lay_first(w);  // open: the caller has checked
        Splitter top{sh, w, top_stats, task_stats, 0, sh.next_ticket++};
        walk(w, 0, sh.mirror, static_cast<std::size_t>(sh.options->split_depth), top);
        std::lock_guard<std::mutex> hold(sh.lock);
        add_stats(sh.stats, task_stats);
        if (count_top) add_stats(sh.stats, top_stats);
    } catch (const std::bad_alloc&) {
        fail(sh, SearchFailure::memory);
    }
    std::lock_guard<std::mutex> hold(sh.lock);
    --sh.running;
    sh.changed.notify_all();
}

}  // namespace

BoxSearch search_box_parallel(Cube& kostka, int32_t filled, const SearchOptions& options) {
    // A first segment that is blocked, fills the box or is cut leaves nothing to share out.
    {
        SearchStats stats;
        Walker w;
        start_walker(w, kostka, stats, options.pruning, filled, 2);
        const Laid laid = lay_first(w);
        unwind(w, 0);
        if (laid != Laid::open || options.split_depth < 1) {
            SearchOptions single = options;
            single.threads = 1;
            return search_box(kostka, single);
        }
    }
    Shared sh;
    sh.options = &options;
    sh.box = &kostka;
    sh.filled = filled;
    sh.mirror = options.pruning == Pruning::full && mirror_symmetric(kostka, {0, 0, 0}, 0);
    std::vector<std::thread> threads;
    try {
        for (int t = 0; t < options.threads; ++t) {
            {
                std::lock_guard<std::mutex> hold(sh.lock);
                ++sh.running;
            }
            try {
                threads.emplace_back(work, std::ref(sh), t == 0);
            } catch (...) {
                std::lock_guard<std::mutex> hold(sh.lock);
                --sh.running;
                throw;
            }
        }
    } catch (const std::system_error&) {
        // Fewer threads than asked for still search everything.
        if (threads.empty()) {
            SearchOptions single = options;
            single.threads = 1;
            return search_box(kostka, single);
        }
    }
    {
        // Reports the progress twice a second until every thread is done.
        std::unique_lock<std::mutex> hold(sh.lock);
        auto next_report = Clock::now();
        while (sh.running > 0) {
            sh.changed.wait_until(hold, next_report);
            if (Clock::now() < next_report) continue;
            next_report = Clock::now() + std::chrono::milliseconds(500);
            if (options.progress.report != nullptr && sh.running > 0) {
                const double share = sh.share;
                const int64_t found = sh.found;
                hold.unlock();
                options.progress.report(share, found, options.progress.context);
                hold.lock();
            }
        }
    }
    for (std::thread& t : threads)
        t.join();
    BoxSearch result;
    result.count = static_cast<int32_t>(sh.found);
    result.stats = sh.stats;
    result.failure = sh.failure;
    return result;
}
