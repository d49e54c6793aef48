// vevuvedu: the time left of a search, from the work ahead of it.
//
// A quick pass at the start guesses the calls below every event of the top walk (threads.hpp)
// by a few random dives each: the product of the branching counts along a random path, summed
// over its levels, is an unbiased estimate of the calls of a subtree (Knuth's estimate). One
// event's guess is rough, and on a heavy-tailed subtree the dives usually land low; so the
// guesses are not taken at their word but through their ratio to the truth: as events finish,
// the calls they made against what was guessed for them give the factor r, and the work ahead
// is r times the guesses of the events not yet done, less what the events in flight have done.
// Its spread comes from how far the finished events strayed from r times their guess; the time
// left is that range over the calls made a second so far. Until enough events have finished,
// nothing is claimed.
//
// The pass walks its own copy of the box on a thread of its own and never touches the search;
// the search only tells it which events finished with how many calls, and how many calls it
// has made (a counter it keeps every 65536 calls anyway).
#pragma once

#include "records.hpp"
#include "store.hpp"
#include "walker.hpp"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// One random dive below the segment on top of the stack: an estimate of the calls its
// continuations make down to the bottom of its subtree (with `mirror`, a dive from the first
// segment tries the second axis only, as the search does). The box is left as it was; the
// walk's counters count the segments the dive lays.
double dive_calls(Walker& w, bool mirror, std::mt19937& rng, std::vector<Frame>& scratch);

// How long the guessing pass may take: rounds of one dive for every event, at least one round,
// more while both limits allow. With `share` above 0 the pass also keeps to that share of one
// processor's time, sleeping off what it used beyond it, so that beside a search on one
// processor it costs at most that share more.
struct GuessBudget {
    int32_t rounds = 64;
    double seconds = 2;
    double share = 0;
};

// The share of a processor the pass keeps to beside a work unit.
inline constexpr double unit_guess_share = 1.0 / 16;

// The guessed calls below each event: the mean of its dives, and that mean's variance (from the
// dives' spread; with a single dive, the guess squared, as if it were off by itself).
struct EventGuess {
    double calls = 0;
    double variance = 0;
};

// More events than this are not guessed (their guesses would take 16 bytes each).
inline constexpr std::size_t max_guessed_events = std::size_t{1} << 24;

// The guess for every event of the top walk to `split_depth`, numbered as the threaded search
// numbers them (a filling above the depth and the switch to the mirrored half make no calls:
// 0). `kostka` has its start taken, `filled` cells marked. Empty when `stop` became true first,
// or when the top walk has more than `max_guessed_events` events.
std::vector<EventGuess> guess_event_sizes(Cube& kostka, int32_t filled, int32_t split_depth,
                                          const GuessBudget& budget, const std::atomic<bool>& stop,
                                          uint32_t seed);

// The events finished so far, each with its guess g and its true calls a; and the same in
// blocks of consecutive events, each closed once its guesses reach `block_size`, of which the
// lowest and the highest ratio a / g are kept.
struct LeftTally {
    int64_t events = 0;         // finished with a guess above 0 (the others make no calls)
    double guessed = 0;         // sum of g
    double guess_variance = 0;  // sum of the guesses' variances
    double calls = 0;           // sum of a
    double squares = 0;         // sum of a * a / g

    double block_size = 0;  // set before the first event: a share of the guesses of all events
    double block_guessed = 0, block_calls = 0;  // of the block still open
    int64_t blocks = 0;                         // closed
    double low_ratio = 0, high_ratio = 0;       // over the closed blocks
};

// Blocks of this share of all the guesses: a block is many events, and the first one closes
// within the first few per cent of the work.
inline constexpr double block_share = 1.0 / 64;

void add_finished(LeftTally& tally, const EventGuess& guess, double calls);

// What the guesses say of the events not finished: the sum of their guesses and its variance.
struct GuessAhead {
    double calls = 0;
    double variance = 0;
};

// The calls still to make: a range, or unknown (too few events finished to tell).
struct CallsLeft {
    bool known = false;
    double low = 0, high = 0;
};

// Finished events and closed blocks needed before a range is claimed.
inline constexpr int64_t min_finished_events = 16;
inline constexpr int64_t min_blocks = 1;

// From the finished events, the guesses of the events not finished and the calls already made
// inside them (`in_flight`), three readings of the work ahead, and the range is their span:
// - the guesses at their word (they are unbiased): ahead.calls - in_flight, give or take two
//   standard deviations of the guesses;
// - corrected by the finished events: r * ahead.calls - in_flight, where each event's calls are
//   taken to stray from r * g with a variance proportional to g (the factor estimated from the
//   finished ones), give or take two standard deviations, the uncertainty of r counted too;
// - the lowest and the highest ratio of a block times ahead.calls, less in_flight.
// Each of the first two trusts something that fails on heavy-tailed trees: the dives land low
// on the largest subtrees, and in the walk's order the events ahead are not like those behind
// (on a 5 x 5 x 6 box the ratio drifts from 2 at the start to under 1 and back to 1.7 near the
// end). The blocks' ratios measure that drift on this very search, so the range holds it.
CallsLeft calls_left(const LeftTally& done, const GuessAhead& ahead, double in_flight);

// Follows a running search for its progress line. `start_guessing` runs the guessing pass on a
// thread; `note_finished` takes each event's calls as the search hands it on; `time_left_text`
// gives the line's text. Destroying it stops and joins the pass.
struct LeftWatch {
    ~LeftWatch();

    std::thread pass;
    std::atomic<bool> stop{false};
    Cube box;  // the pass's own copy

    std::mutex lock;  // guards the rest: the pass, the search and the progress line share it
    bool ready = false;
    std::vector<EventGuess> guesses;
    GuessAhead wanted;  // the sums over the events the search deals with
    std::vector<std::pair<int64_t, uint64_t>> early;  // finished before the guesses were ready
    double finished_calls = 0;                        // of every event finished
    LeftTally tally;
};

// Starts the pass on a copy of `kostka` (its start taken, `filled` cells marked) for a search of
// `options` that deals with the events `wanted` accepts (nullptr: all), at most `share` of one
// processor's time (0: as much as it takes). Without a thread or the memory for the copy, the
// time left stays unknown.
void start_guessing(LeftWatch& watch, const Cube& kostka, int32_t filled,
                    const SearchOptions& options, bool (*wanted)(int64_t, const void*),
                    const void* wanted_context, double share = 0);

void note_finished(LeftWatch& watch, int64_t event, uint64_t calls);

// "asi 4 min 10 s až 7 min 30 s", or "zatím neznámo", for a search that has made `calls` calls
// below its events in `seconds`.
std::string time_left_text(LeftWatch& watch, uint64_t calls, double seconds);
