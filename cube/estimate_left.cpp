// vevuvedu: the time left of a search, from the work ahead of it.
#include "estimate_left.hpp"

#include "mirror.hpp"
#include "progress.hpp"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <new>
#include <system_error>
#include <thread>
#include <time.h>

namespace {

using Clock = std::chrono::steady_clock;

// Visits nothing: a dive only counts.
struct Quiet {
    void filling(const Frame&) {}
    void mirror_half() {}
    bool split(const Frame&) { return false; }
    bool tick() const { return false; }
};

double thread_seconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// Keeps the pass to its share of a processor: now and then it compares the processor time its
// thread has used with the time since it started, and sleeps off the excess in short naps, so
// that a stop is seen soon.
struct Pace {
    double share = 0;  // 0: no limit
    const std::atomic<bool>& stop;
    Clock::time_point started = Clock::now();
    int32_t steps = 0;

    void keep() {
        if (share <= 0 || (++steps & 63) != 0) return;
        const double used = thread_seconds();
        for (;;) {
            const double ahead =
                used / share - std::chrono::duration<double>(Clock::now() - started).count();
            if (ahead <= 0 || stop.load(std::memory_order_relaxed)) return;
            std::this_thread::sleep_for(std::chrono::duration<double>(std::min(ahead, 0.05)));
        }
    }
};

// The walk of the top in one round of the pass: every event gets one dive added to its sum.
struct Round {
    Walker& w;
    std::mt19937& rng;
    std::vector<EventGuess>& sums;  // of the dives, and of their squares
    std::vector<Frame>& scratch;
    const std::atomic<bool>& stop;
    Pace& pace;
    std::size_t event = 0;
    bool too_many = false;
    EventGuess spare;  // stands in for the events beyond the last kept

    EventGuess& slot() {
        if (event == sums.size()) {  // the first round numbers the events
            if (sums.size() == max_guessed_events) {
                too_many = true;
                return spare;
            }
            sums.emplace_back();
        }
        return sums[event++];
    }
    void filling(const Frame&) { slot(); }
    void mirror_half() { slot(); }
    bool split(const Frame& next) {
        EventGuess& sum = slot();
        if (too_many || stop.load(std::memory_order_relaxed)) return true;
        pace.keep();
        Quiet quiet;
        if (descend(w, next, quiet)) {
            const std::size_t base = w.stack.size() - 1;
            const double calls = dive_calls(w, false, rng, scratch);
            sum.calls += calls;
            sum.variance += calls * calls;
            unwind(w, base);
        }
        return true;
    }
    bool tick() {
        pace.steps |= 63;  // 65536 calls of the top walk: time to look at the clock
        pace.keep();
        return too_many || stop.load(std::memory_order_relaxed);
    }
};

}  // namespace

double dive_calls(Walker& w, bool mirror, std::mt19937& rng, std::vector<Frame>& scratch) {
    const std::size_t base = w.stack.size();
    double total = 0, weight = 1;
    Quiet quiet;
    for (;;) {
        const Frame top = w.stack.back();
        scratch.clear();
        const int32_t tried = continuations(w, top, mirror && w.stack.size() == 1);
        Frame next;
        for (int32_t trial = 0; trial < tried; ++trial)
            if (continuation(w, top, trial, next)) scratch.push_back(next);
        if (scratch.empty()) break;
        weight *= static_cast<double>(scratch.size());
        total += weight;
        next = scratch[std::uniform_int_distribution<std::size_t>(0, scratch.size() - 1)(rng)];
        ++w.stats->calls;
        if (!descend(w, next, quiet)) break;
    }
    unwind(w, base);
    return total;
}

std::vector<EventGuess> guess_event_sizes(Cube& kostka, int32_t filled, int32_t split_depth,
                                          const GuessBudget& budget, const std::atomic<bool>& stop,
                                          uint32_t seed) {
    const auto started = Clock::now();
    const bool mirror = mirror_symmetric(kostka, {0, 0, 0}, 0);
    SearchStats stats;
    Walker w;
    start_walker(w, kostka, stats, filled, 2);
    std::mt19937 rng(seed);
    std::vector<EventGuess> sums;
    std::vector<Frame> scratch;
    int32_t rounds = 0;
    Pace pace{budget.share, stop};
    do {
        Round round{w, rng, sums, scratch, stop, pace, 0, false, {}};
        if (descend_first(w, round))
            walk(w, 0, mirror, static_cast<std::size_t>(split_depth), round);
        unwind(w, 0);
        if (round.too_many || stop.load(std::memory_order_relaxed)) return {};
        ++rounds;
    } while (rounds < budget.rounds &&
             std::chrono::duration<double>(Clock::now() - started).count() < budget.seconds);
    const double n = rounds;
    for (EventGuess& g : sums) {
        const double mean = g.calls / n;
        g.variance =
            rounds > 1 ? std::max(0.0, g.variance - n * mean * mean) / (n - 1) / n : mean * mean;
        g.calls = mean;
    }
    return sums;
}

void add_finished(LeftTally& tally, const EventGuess& guess, double calls) {
    if (guess.calls <= 0) return;
    ++tally.events;
    tally.guessed += guess.calls;
    tally.guess_variance += guess.variance;
    tally.calls += calls;
    tally.squares += calls * calls / guess.calls;
    tally.block_guessed += guess.calls;
    tally.block_calls += calls;
    if (tally.block_guessed < tally.block_size) return;
    const double ratio = tally.block_calls / tally.block_guessed;
    tally.low_ratio = tally.blocks == 0 ? ratio : std::min(tally.low_ratio, ratio);
    tally.high_ratio = tally.blocks == 0 ? ratio : std::max(tally.high_ratio, ratio);
    ++tally.blocks;
    tally.block_guessed = tally.block_calls = 0;
}

CallsLeft calls_left(const LeftTally& done, const GuessAhead& ahead, double in_flight) {
    CallsLeft left;
    if (done.events < min_finished_events || done.blocks < min_blocks || done.guessed <= 0)
        return left;
    const double guess_ahead = ahead.calls;
    const double r = done.calls / done.guessed;
    // sum (a - r g)^2 / g over the finished events, over n - 1: the variance of an event's
    // calls about r g, per unit of guess.
    const double s2 =
        std::max(0.0, done.squares - done.calls * r) / static_cast<double>(done.events - 1);
    // The events ahead stray on their own (s2 * guess_ahead), and r is known only from the
    // finished ones (its variance s2 / guessed, times guess_ahead squared).
    const double spread = std::sqrt(s2 * guess_ahead * (1 + guess_ahead / done.guessed));
    const double mid = r * guess_ahead - in_flight;
    const double as_guessed = guess_ahead - in_flight;
    const double guess_spread = std::sqrt(std::max(0.0, ahead.variance));
    left.known = true;
    left.low = std::max(0.0, std::min({mid - 2 * spread, as_guessed - 2 * guess_spread,
                                       done.low_ratio * guess_ahead - in_flight}));
    left.high = std::max({left.low, mid + 2 * spread, as_guessed + 2 * guess_spread,
                          done.high_ratio * guess_ahead - in_flight});
    return left;
}

LeftWatch::~LeftWatch() {
    stop = true;
    if (pass.joinable()) pass.join();
}

namespace {

// With the lock held and the guesses ready.
void tally_event(LeftWatch& watch, int64_t event, uint64_t calls) {
    if (event >= 0 && static_cast<std::size_t>(event) < watch.guesses.size())
        add_finished(watch.tally, watch.guesses[static_cast<std::size_t>(event)],
                     static_cast<double>(calls));
}

// Takes the guesses in: their sum over the wanted events, then the events finished meanwhile.
void publish(LeftWatch& watch, std::vector<EventGuess> guesses,
             bool (*wanted)(int64_t, const void*), const void* wanted_context) {
    GuessAhead sum;
    for (std::size_t e = 0; e < guesses.size(); ++e)
        if (wanted == nullptr || wanted(static_cast<int64_t>(e), wanted_context)) {
            sum.calls += guesses[e].calls;
            sum.variance += guesses[e].variance;
        }
    std::lock_guard<std::mutex> hold(watch.lock);
    watch.guesses = std::move(guesses);
    watch.wanted = sum;
    watch.tally.block_size = block_share * sum.calls;
    watch.ready = true;
    for (const auto& [event, calls] : watch.early)
        tally_event(watch, event, calls);
    watch.early.clear();
}

}  // namespace

void start_guessing(LeftWatch& watch, const Cube& kostka, int32_t filled,
                    const SearchOptions& options, bool (*wanted)(int64_t, const void*),
                    const void* wanted_context, double share) {
    if (!copy_cube(watch.box, kostka)) return;
    const int32_t depth = options.split_depth;
    try {
        watch.pass = std::thread([&watch, filled, depth, wanted, wanted_context, share] {
            try {
                GuessBudget budget;
                budget.share = share;
                std::vector<EventGuess> guesses =
                    guess_event_sizes(watch.box, filled, depth, budget, watch.stop, 1);
                if (!guesses.empty()) publish(watch, std::move(guesses), wanted, wanted_context);
            } catch (const std::bad_alloc&) {
                // no guesses: the time left stays unknown
            }
        });
    } catch (const std::system_error&) {
        // no thread for the pass: the time left stays unknown
    }
}

void note_finished(LeftWatch& watch, int64_t event, uint64_t calls) {
    std::lock_guard<std::mutex> hold(watch.lock);
    watch.finished_calls += static_cast<double>(calls);
    if (watch.ready)
        tally_event(watch, event, calls);
    else
        watch.early.emplace_back(event, calls);
}

std::string time_left_text(LeftWatch& watch, uint64_t calls, double seconds) {
    CallsLeft left;
    {
        std::lock_guard<std::mutex> hold(watch.lock);
        if (watch.ready)
            left = calls_left(watch.tally,
                              {std::max(0.0, watch.wanted.calls - watch.tally.guessed),
                               std::max(0.0, watch.wanted.variance - watch.tally.guess_variance)},
                              std::max(0.0, static_cast<double>(calls) - watch.finished_calls));
    }
    if (!left.known || calls == 0 || seconds <= 0) return "zatím neznámo";
    const double per_second = static_cast<double>(calls) / seconds;
    return "asi " + duration_text(left.low / per_second) + " až " +
           duration_text(left.high / per_second);
}
