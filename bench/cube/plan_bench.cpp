// vevuvedu-plan-bench: how evenly the search of a cube splits by estimate. A position is a node
// of the search named by its path of continuations from the first segment. Starting from the
// first segment, the position with the largest estimated work (the mean of random dives below
// it, Knuth's estimate) is split into its children until none is above a target share of the
// whole, or the time is up; the positions are then dealt out in walk order to M units of even
// estimated work, and the spread of the units' estimates is reported.
//
//   vevuvedu-plan-bench SIZE UNITS [DIVES [SECONDS [SHARE [TRUTH]]]]
//
// SIZE is N (a cube) or AxBxC; DIVES random dives a position (default 16), SECONDS of splitting
// at most (default 60), SHARE the target as a fraction of one unit's even share (default
// 0.125); TRUTH units, spread evenly over all (UNITS: every one), are then searched to the end
// and their true calls reported too.
#include "estimate_left.hpp"
#include "mirror.hpp"
#include "walker.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <queue>
#include <random>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Piece {
    std::vector<int32_t> trials;  // the continuation taken at each level below the first segment
    double estimate = 0;          // its calls, guessed; 0 for a filling
    bool split = false;           // replaced by its children
};

struct Planner {
    Cube box;
    SearchStats stats;
    Walker w;
    bool mirror = false;
    int dives = 16;
    std::mt19937 rng{20261211};
    std::vector<Frame> scratch;
};

// Lays the first segment and the position's segments above it (a position kept as a piece is
// open all the way); a walk's place numbers each frame's continuation one past the trial taken.
bool lay_position(Planner& p, const std::vector<int32_t>& trials) {
    unwind(p.w, 0);
    std::vector<int32_t> place;
    for (int32_t trial : trials)
        place.push_back(trial + 1);
    place.push_back(0);
    return replay(p.w, first_frame(p.box), place);
}

double estimate_here(Planner& p) {
    double sum = 0;
    for (int i = 0; i < p.dives; ++i)
        sum += dive_calls(p.w, p.mirror, p.rng, p.scratch);
    return sum / p.dives;
}

// The children of the position laid now, as pieces; the estimate of those cut or blocked is
// nothing to share out, and a filling is a piece of no work.
void children(Planner& p, const std::vector<int32_t>& trials, std::vector<Piece>& out) {
    const Frame top = p.w.stack.back();
    const int32_t tried = continuations(p.w, top, p.mirror && p.w.stack.size() == 1);
    for (int32_t trial = 0; trial < tried; ++trial) {
        Frame next;
        if (!continuation(p.w, top, trial, next)) continue;
        Piece child{trials, 0, false};
        child.trials.push_back(trial);
        const Laid how = lay(p.w, next);
        if (how == Laid::blocked) continue;
        if (how == Laid::open) {
            p.w.stack.push_back(next);
            child.estimate = estimate_here(p);
            p.w.stack.pop_back();
        }
        unlay(p.w, next);
        if (how != Laid::cut) out.push_back(std::move(child));
    }
}

// Visits nothing: the walks here only count calls.
struct Counter {
    void filling(const Frame&) {}
    void mirror_half() {}
    bool split(const Frame&) { return false; }
    bool tick() { return false; }
};

// The calls of the whole subtree below the position laid now.
double true_calls(Planner& p, bool at_first) {
    Counter count;
    const uint64_t before = p.stats.calls;
    walk(p.w, p.w.stack.size() - 1, p.mirror && at_first, 0, count);
    return static_cast<double>(p.stats.calls - before);
}

double share_at(const std::vector<double>& sorted, double q) {
    return sorted[static_cast<std::size_t>(q * static_cast<double>(sorted.size() - 1))];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: vevuvedu-plan-bench SIZE UNITS [DIVES [SECONDS [SHARE [TRUTH]]]]\n");
        return 2;
    }
    int32_t e[3] = {0, 0, 0};
    const int read = std::sscanf(argv[1], "%dx%dx%d", &e[0], &e[1], &e[2]);
    if (read == 1) e[1] = e[2] = e[0];
    const int64_t units = std::atoll(argv[2]);
    Planner p;
    p.dives = argc > 3 ? std::atoi(argv[3]) : 16;
    const double seconds = argc > 4 ? std::atof(argv[4]) : 60;
    const double share = argc > 5 ? std::atof(argv[5]) : 0.125;
    const int64_t truth = argc > 6 ? std::atoll(argv[6]) : 0;
    if ((read != 1 && read != 3) || e[0] < 2 || e[1] < 1 || e[2] < 1 || units < 1 || truth < 0 ||
        truth > units || p.dives < 1 || !make_cube(p.box, e[0], e[1], e[2])) {
        std::fprintf(stderr, "vevuvedu-plan-bench: no such cube or plan\n");
        return 2;
    }
    const Clock::time_point start = Clock::now();
    start_walker(p.w, p.box, p.stats, take_start(p.box), 2);
    p.mirror = mirror_symmetric(p.box, {0, 0, 0}, 0);
    Counter quiet;
    if (!descend_first(p.w, quiet)) {
        std::fprintf(stderr, "vevuvedu-plan-bench: the first segment is all there is\n");
        return 2;
    }

    // Invariant: the pieces not split cover the tree below the first segment exactly, and
    // `total` is the sum of their estimates.
    std::vector<Piece> pieces{{{}, estimate_here(p), false}};
    double total = pieces[0].estimate;
    auto smaller = [&](std::size_t a, std::size_t b) {
        return pieces[a].estimate < pieces[b].estimate;
    };
    std::priority_queue<std::size_t, std::vector<std::size_t>, decltype(smaller)> largest(smaller);
    largest.push(0);
    std::vector<Piece> born;
    int64_t splits = 0;
    while (!largest.empty() && seconds_since(start) < seconds) {
        const std::size_t i = largest.top();
        if (pieces[i].estimate <= share * total / static_cast<double>(units)) break;
        largest.pop();
        if (!lay_position(p, pieces[i].trials)) return 3;  // a kept piece is always open
        born.clear();
        children(p, pieces[i].trials, born);
        pieces[i].split = true;
        total -= pieces[i].estimate;
        ++splits;
        for (Piece& child : born) {
            total += child.estimate;
            pieces.push_back(std::move(child));
            if (pieces.back().estimate > 0) largest.push(pieces.size() - 1);
        }
    }
    const double planned = seconds_since(start);

    std::vector<const Piece*> kept;
    for (const Piece& piece : pieces)
        if (!piece.split) kept.push_back(&piece);
    std::sort(kept.begin(), kept.end(),
              [](const Piece* a, const Piece* b) { return a->trials < b->trials; });
    // Walk order, dealt out: unit k takes the pieces up to (k + 1) / M of the whole.
    std::vector<double> unit_work(static_cast<std::size_t>(units), 0);
    std::vector<double> unit_truth(static_cast<std::size_t>(units), 0);
    const int64_t step = truth > 0 ? units / truth : 0;  // every step-th unit is searched
    double before = 0, largest_piece = 0;
    std::size_t deepest = 0;
    for (const Piece* piece : kept) {
        const int64_t k = std::min<int64_t>(
            units - 1, static_cast<int64_t>(before / total * static_cast<double>(units)));
        unit_work[static_cast<std::size_t>(k)] += piece->estimate;
        if (truth > 0 && k % step == 0 && k / step < truth && piece->estimate > 0) {
            if (!lay_position(p, piece->trials)) return 3;
            unit_truth[static_cast<std::size_t>(k)] += true_calls(p, piece->trials.empty());
        }
        before += piece->estimate;
        largest_piece = std::max(largest_piece, piece->estimate);
        deepest = std::max(deepest, piece->trials.size());
    }
    std::vector<double> sorted = unit_work;
    std::sort(sorted.begin(), sorted.end());
    const double even = total / static_cast<double>(units);
    std::printf("%dx%dx%d, %lld units, %d dives a position, %.1f s of splitting (%s)\n", e[0], e[1],
                e[2], static_cast<long long>(units), p.dives, planned,
                largest.empty() ||
                        pieces[largest.top()].estimate <= share * total / static_cast<double>(units)
                    ? "every piece below the target"
                    : "time up");
    std::printf("estimated calls %.3g (at 0.47 us a call: %.3g core-hours)\n", total,
                total * 0.47e-6 / 3600);
    std::printf("pieces %zu after %lld splits, %.0f dives, deepest %zu levels below the first\n",
                kept.size(), static_cast<long long>(splits),
                static_cast<double>(p.dives) * static_cast<double>(pieces.size()), deepest + 1);
    std::printf("largest piece %.3g of an even unit's share\n", largest_piece / even);
    std::printf(
        "units over an even share: min %.3g, 10 %% %.3g, median %.3g, 90 %% %.3g, max %.3g\n",
        sorted.front() / even, share_at(sorted, 0.1) / even, share_at(sorted, 0.5) / even,
        share_at(sorted, 0.9) / even, sorted.back() / even);
    if (truth > 0) {
        std::vector<double> searched, guessed;
        for (int64_t k = 0; k < truth * step; k += step) {
            searched.push_back(unit_truth[static_cast<std::size_t>(k)]);
            guessed.push_back(unit_work[static_cast<std::size_t>(k)]);
        }
        const double calls = std::accumulate(searched.begin(), searched.end(), 0.0);
        const double estimated = std::accumulate(guessed.begin(), guessed.end(), 0.0);
        std::sort(searched.begin(), searched.end());
        const double mean = calls / static_cast<double>(truth);
        std::printf("%lld units searched: true calls %.3g (%.3g times their estimate)\n",
                    static_cast<long long>(truth), calls, calls / estimated);
        std::printf("their true calls over their mean: min %.3g, 10 %% %.3g, median %.3g, "
                    "90 %% %.3g, max %.3g\n",
                    searched.front() / mean, share_at(searched, 0.1) / mean,
                    share_at(searched, 0.5) / mean, share_at(searched, 0.9) / mean,
                    searched.back() / mean);
    }
    return 0;
}
