// vevuvedu: the search on several threads, with the output of the single walk.
//
// Every thread walks the top of the tree itself, the same walk in the same order, down to the
// split depth. On the way it numbers the events: each continuation tried at the split depth,
// each filling found above it, and the start's switch to the mirrored third axis. The events a
// plan wants are ranked in that order, and a shared counter hands the ranks out as tickets; a
// thread deals with an event only when it holds its ticket (it searches the subtree, or keeps
// the filling) and passes over the others. Each event's outcome is held until every wanted
// event before it is done, then handed on: the sink sees the fillings exactly in the order of
// the single walk, and the count is the sum. At the switch to the mirrored half, the mirrors of
// the fillings before it stand in for that half, so its thread waits for every event before it
// to be handed on (unless the plan leaves the mirrors to whoever gathers every event).
#include "threads.hpp"

#include "walker.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// Events may run this far ahead of the oldest one not yet handed on, so the outcomes held stay
// few.
constexpr int64_t window = 1 << 16;

// Where one thread's event stands, as the thread last published it: a checkpoint taken while
// the search runs reads it (see `publish`).
struct Slot {
    std::mutex lock;
    bool busy = false;  // an event is being searched and `place` is where it stood
    EventPlace place;
};

struct Shared {
    const SearchOptions* options = nullptr;
    EventPlan* plan = nullptr;
    const Cube* box = nullptr;  // the box as given, copied by every thread
    int32_t filled = 0;
    bool mirror = false;
    std::atomic<int64_t> next_ticket{0};
    std::atomic<bool> stop{false};
    std::atomic<uint64_t> calls_below{0};   // of every subtree searched, in steps of a tick
    uint64_t tick_calls = 0x10000;          // the calls between two ticks of a walk
    std::atomic<bool> budget_spent{false};  // `stop_after_calls` stopped the search

    std::mutex lock;
    std::condition_variable changed;
    int64_t written = 0;                   // wanted events handed on, by rank
    std::map<int64_t, EventOutcome> held;  // done but not yet handed on, by rank
    std::vector<MirroredFilling> mirrors;  // of the fillings handed on
    bool mirrors_written = false;          // the switch to the mirrored half is handed on
    int64_t found = 0;
    double share = 0;
    std::optional<Failure> failure;
    SearchStats stats;
    int64_t events = 0;
    uint64_t top_calls = 0;
    std::atomic<int64_t> mirror_event{-1};
    int running = 0;
    std::vector<EventPlace> places;  // with `keep_places`: the events a stop caught midway
    // With `save`: one slot a thread, and the round of publishing their places that the watch
    // asked for last.
    std::vector<std::unique_ptr<Slot>> slots;
    std::atomic<uint64_t> publish{0};
};

void fail(Shared& sh, Failure failure) {
    std::lock_guard<std::mutex> hold(sh.lock);
    if (!sh.failure) sh.failure = std::move(failure);
    sh.stop = true;
    sh.changed.notify_all();
}

// Hands one outcome on: to the plan, or its text to the sink.
bool hand_on(Shared& sh, EventOutcome& o) {
    if (sh.plan->take != nullptr) {
        sh.plan->take(o, sh.plan->take_context);
        return true;
    }
    const FillingSink& sink = sh.options->sink;
    if (o.text.empty() || sink.write == nullptr || sink.write(o.text, sink.context)) return true;
    sh.failure = write_failure();
    return false;
}

// Keeps the outcome of the wanted event ranked `rank` and hands on every outcome that is now
// next in order.
void finish(Shared& sh, int64_t rank, EventOutcome&& outcome) {
    std::lock_guard<std::mutex> hold(sh.lock);
    sh.held.emplace(rank, std::move(outcome));
    for (auto next = sh.held.begin(); next != sh.held.end() && next->first == sh.written;
         next = sh.held.erase(next)) {
        EventOutcome& o = next->second;
        if (!sh.stop && !hand_on(sh, o)) sh.stop = true;
        const ProgressHook& progress = sh.options->progress;
        if (progress.event_done != nullptr) progress.event_done(o.event, o.calls, progress.context);
        sh.found += o.found;
        sh.mirrors_written = sh.mirrors_written || o.mirror_switch;
        sh.share = o.share;
        std::move(o.mirrors.begin(), o.mirrors.end(), std::back_inserter(sh.mirrors));
        ++sh.written;
    }
    sh.changed.notify_all();
}

// Adds the filling the box now holds, `last` its final segment, to an event's outcome.
void keep_filling(const Shared& sh, EventOutcome& outcome, const Walker& w, const Frame& last) {
    ++outcome.found;
    const Cube& k = *w.kostka;
    if (sh.plan->take != nullptr)
        outcome.cells.emplace_back(k.cells.get(), k.cells.get() + k.celkem_poli);
    else
        dump(outcome.text, k);
    if (sh.mirror) outcome.mirrors.push_back(mirror_filling(w, last));
}

// The walk below one event's continuation: fillings are kept in its outcome.
struct Subtree {
    Shared& sh;
    Walker& w;
    EventOutcome& outcome;
    Slot* slot = nullptr;       // where its place is published, with `save`
    std::size_t base = 0;       // the stack's size below the event's segment
    uint64_t calls_before = 0;  // the outcome's calls when this walk began, less the walker's
    uint64_t published = 0;     // the round of publishing this walk answered last

    // Publishes where the walk stands: a place it has been at, the stop's trial and call given
    // back as a stop gives them, with the outcome so far.
    void publish() {
        std::lock_guard<std::mutex> hold(slot->lock);
        slot->busy = true;
        slot->place.place = place_of(w, base);
        slot->place.outcome = outcome;
        slot->place.outcome.calls = calls_before + w.stats->calls - 1;
    }

    void filling(const Frame& last) { keep_filling(sh, outcome, w, last); }
    void mirror_half() {}
    bool split(const Frame&) { return false; }
    // Called every tick of this thread's subtrees.
    bool tick() {
        const uint64_t below =
            sh.calls_below.fetch_add(sh.tick_calls, std::memory_order_relaxed) + sh.tick_calls;
        const uint64_t budget = sh.plan->stop_after_calls;
        if (budget != 0 && below >= budget) {
            sh.budget_spent = true;
            sh.stop = true;
        }
        if (slot != nullptr) {
            const uint64_t round = sh.publish.load(std::memory_order_relaxed);
            if (round != published) {
                published = round;
                publish();
            }
        }
        return sh.stop;
    }
};

// The walk of the top of the tree, dealing with the events whose tickets this thread holds.
struct Splitter {
    Shared& sh;
    Slot* slot;  // this thread's, with `save`
    Walker& w;
    SearchStats& top_stats;   // the walk of the top, the same in every thread
    SearchStats& task_stats;  // the subtrees this thread searched
    int64_t event = 0;        // events numbered so far
    int64_t rank = 0;         // wanted events among them
    int64_t ticket = 0;
    bool stopped = false;  // the walk of the top ended early

    // Numbers the next event; true when it is this thread's to deal with, once there is room
    // to hold its outcome.
    bool take(EventOutcome& o) {
        const int64_t e = event++;
        if (sh.plan->wanted != nullptr && !sh.plan->wanted(e, sh.plan->wanted_context))
            return false;
        const int64_t r = rank++;
        if (r != ticket || sh.stop) return false;
        std::unique_lock<std::mutex> hold(sh.lock);
        sh.changed.wait(hold, [&] { return r < sh.written + window || sh.stop; });
        if (sh.stop) return false;
        hold.unlock();
        o.event = e;
        o.share = share_done(w, sh.mirror);
        return true;
    }
    void done(EventOutcome&& outcome) {
        finish(sh, rank - 1, std::move(outcome));
        ticket = sh.next_ticket++;
    }

    void filling(const Frame& last) {
        EventOutcome o;
        if (!take(o)) return;
        keep_filling(sh, o, w, last);
        done(std::move(o));
    }
    // Once every event before this one is handed on, all the fillings to mirror are known.
    void mirror_half() {
        sh.mirror_event = event;  // every thread numbers it alike
        EventOutcome o;
        if (!take(o)) return;
        o.mirror_switch = true;
        if (sh.plan->take == nullptr) {
            std::unique_lock<std::mutex> hold(sh.lock);
            sh.changed.wait(hold, [&] { return sh.written == rank - 1 || sh.stop; });
            if (sh.stop) return;
            o.found = static_cast<int32_t>(sh.mirrors.size());
            append_mirrors(o.text, sh.mirrors, *w.kostka);
        }
        done(std::move(o));
    }
    // Searches the subtree of event `o.event` below `next`, or goes on where an earlier
    // search of it stopped; when this search stops first, its place is kept.
    bool split(const Frame& next) {
        EventOutcome o;
        if (!take(o)) return true;
        w.stats = &task_stats;
        const uint64_t before = task_stats.calls;
        const std::size_t base = w.stack.size();
        Subtree below{sh, w, o};
        const EventPlace* earlier = resumed(o.event);
        bool open = false;
        if (earlier == nullptr) {
            open = descend(w, next, below);
        } else {
            const int64_t event = o.event;
            const double share = o.share;
            o = earlier->outcome;
            o.event = event;
            o.share = share;
            open = !earlier->place.empty() && replay(w, next, earlier->place);
            if (!earlier->place.empty() && !open) {
                fail(sh, Failure{2, "místo události " + std::to_string(event) +
                                        " v kontrolním bodě do tohoto kvádru nepatří"});
                w.stats = &top_stats;
                return true;
            }
        }
        const uint64_t earlier_calls = o.calls;
        below.slot = slot;
        below.base = base;
        below.calls_before = earlier_calls - before;
        below.published = sh.publish.load(std::memory_order_relaxed);
        if (open) walk(w, base, false, SIZE_MAX, below);
        if (slot != nullptr) {
            std::lock_guard<std::mutex> hold(slot->lock);
            slot->busy = false;
        }
        // The walk ends early only at a stop; its last call is counted again when it goes on.
        const bool midway = w.stack.size() > base;
        o.calls = earlier_calls + task_stats.calls - before - (midway ? 1 : 0);
        if (sh.stop && sh.plan->keep_places) {
            EventPlace kept{midway ? place_of(w, base) : std::vector<int32_t>{}, o};
            std::lock_guard<std::mutex> hold(sh.lock);
            sh.places.push_back(std::move(kept));
        }
        unwind(w, base);
        w.stats = &top_stats;
        if (!sh.stop) done(std::move(o));
        return true;
    }
    const EventPlace* resumed(int64_t event) const {
        if (sh.plan->resume == nullptr) return nullptr;
        const auto found = sh.plan->resume->find(event);
        return found == sh.plan->resume->end() ? nullptr : &found->second;
    }
    bool tick() {
        stopped = sh.stop;
        return stopped;
    }
};

void add_stats(SearchStats& sum, const SearchStats& s) {
    sum.calls += s.calls;
    sum.prune.rounds += s.prune.rounds;
    sum.prune.quick_cuts += s.prune.quick_cuts;
}

void work(Shared& sh, std::size_t index) {
    const bool count_top = index == 0;
    Slot* const slot = index < sh.slots.size() ? sh.slots[index].get() : nullptr;
    try {
        Cube k;
        if (!copy_cube(k, *sh.box)) throw std::bad_alloc();
        SearchStats top_stats, task_stats;
        Walker w;
        start_walker(w, k, top_stats, sh.filled, 2);
        if (sh.plan->stop_after_calls != 0) w.tick_mask = 0;
        Splitter top{sh, slot, w, top_stats, task_stats, 0, 0, sh.next_ticket++, false};
        if (descend_first(w, top))
            walk(w, 0, sh.mirror, static_cast<std::size_t>(sh.options->split_depth), top);
        unwind(w, 0);
        std::lock_guard<std::mutex> hold(sh.lock);
        add_stats(sh.stats, task_stats);
        if (count_top) add_stats(sh.stats, top_stats);
        if (!top.stopped) {
            sh.events = top.event;
            sh.top_calls = top_stats.calls;
        }
    } catch (const std::bad_alloc&) {
        fail(sh, memory_failure());
    }
    std::lock_guard<std::mutex> hold(sh.lock);
    --sh.running;
    sh.changed.notify_all();
}

// The outcomes held and the places the threads last published, in event order: with the
// search's lock held, so that no outcome is handed on meanwhile. A place of an event whose
// outcome is held or handed on is no longer its state; the caller passes over events it has
// taken in.
std::vector<EventPlace> places_now(Shared& sh) {
    std::vector<EventPlace> places;
    for (const auto& [rank, outcome] : sh.held)
        places.push_back({{}, outcome});
    for (const std::unique_ptr<Slot>& slot : sh.slots) {
        std::lock_guard<std::mutex> hold(slot->lock);
        if (!slot->busy) continue;
        const int64_t event = slot->place.outcome.event;
        if (std::none_of(places.begin(), places.end(),
                         [&](const EventPlace& p) { return p.outcome.event == event; }))
            places.push_back(slot->place);
    }
    std::sort(places.begin(), places.end(), [](const EventPlace& a, const EventPlace& b) {
        return a.outcome.event < b.outcome.event;
    });
    return places;
}

// Reports the progress and asks the plan's watch, every so often, until every thread is done.
bool watch_threads(Shared& sh) {
    const ProgressHook& progress = sh.options->progress;
    const EventPlan& plan = *sh.plan;
    const auto every = std::chrono::milliseconds(plan.watch != nullptr ? plan.watch_ms : 500);
    bool stopped = false;
    std::unique_lock<std::mutex> hold(sh.lock);
    auto next_look = Clock::now();
    while (sh.running > 0) {
        sh.changed.wait_until(hold, next_look);
        if (Clock::now() < next_look) continue;
        next_look = Clock::now() + every;
        if (sh.running == 0) break;
        // The mirrors of the fillings handed on are found too, though written at the switch.
        const int64_t found =
            sh.found + (sh.mirrors_written ? 0 : static_cast<int64_t>(sh.mirrors.size()));
        const ProgressReport now{sh.share, found, sh.calls_below.load(std::memory_order_relaxed)};
        hold.unlock();
        if (progress.report != nullptr) progress.report(now, progress.context);
        const bool stop = !stopped && plan.watch != nullptr && plan.watch(plan.watch_context);
        const bool save =
            !stop && !stopped && !sh.slots.empty() && plan.save_due(plan.watch_context);
        // Every thread publishes its place at its next tick: a checkpoint reads the places
        // of the round before, at most an interval and a tick old.
        sh.publish.fetch_add(1, std::memory_order_relaxed);
        hold.lock();
        if (save) plan.save(places_now(sh), plan.watch_context);
        if (stop) {
            stopped = true;
            sh.stop = true;
            sh.changed.notify_all();
        }
    }
    return stopped;
}

}  // namespace

ThreadedSearch search_threads(Cube& kostka, int32_t filled, const SearchOptions& options,
                              EventPlan& plan) {
    Shared sh;
    sh.options = &options;
    sh.plan = &plan;
    sh.box = &kostka;
    sh.filled = filled;
    sh.mirror = mirror_symmetric(kostka, {0, 0, 0}, 0);
    // Set before any thread starts: the threads read them without the lock.
    if (plan.stop_after_calls != 0) sh.tick_calls = 1;
    if (plan.keep_places && plan.save != nullptr)
        for (int t = 0; t < std::max(options.threads, 1); ++t)
            sh.slots.push_back(std::make_unique<Slot>());
    std::vector<std::thread> threads;
    for (int t = 0; t < std::max(options.threads, 1); ++t) {
        {
            std::lock_guard<std::mutex> hold(sh.lock);
            ++sh.running;
        }
        try {
            threads.emplace_back(work, std::ref(sh), static_cast<std::size_t>(t));
        } catch (const std::system_error&) {
            std::lock_guard<std::mutex> hold(sh.lock);
            --sh.running;
            break;  // fewer threads than asked for still search everything
        }
    }
    ThreadedSearch result;
    if (threads.empty()) {
        {
            std::lock_guard<std::mutex> hold(sh.lock);
            ++sh.running;
        }
        work(sh, 0);
    }
    result.stopped = watch_threads(sh);
    for (std::thread& t : threads)
        t.join();
    result.stopped = result.stopped || sh.budget_spent;
    if (plan.keep_places && result.stopped) {
        // Done but held for the events before them, which the stop caught: whole places.
        for (auto& [rank, outcome] : sh.held)
            sh.places.push_back({{}, std::move(outcome)});
        std::sort(sh.places.begin(), sh.places.end(), [](const EventPlace& a, const EventPlace& b) {
            return a.outcome.event < b.outcome.event;
        });
        result.places = std::move(sh.places);
    }
    result.result.count = static_cast<int32_t>(sh.found);
    result.result.stats = sh.stats;
    result.result.failure = sh.failure;
    result.events = sh.events;
    result.top_calls = sh.top_calls;
    result.mirror_event = sh.mirror_event;
    return result;
}
