// Estimates of the size of vevuvedu's pruned search tree for cubes too large to search here.
#include "estimate.hpp"

#include "estimate_left.hpp"
#include "mirror.hpp"
#include "walker.hpp"

#include <chrono>
#include <cmath>
#include <random>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Visits nothing: the estimates only count calls.
struct Counter {
    void filling(const Frame&) {}
    void mirror_half() {}
    bool split(const Frame&) { return false; }
    bool tick() const { return false; }
};

// Marks the start cell and sets a walk up with the first segment laid; false when that
// segment is blocked, fills the box or is cut.
bool start_at_first(Walker& w, Cube& k, SearchStats& stats) {
    start_walker(w, k, stats, take_start(k), 2);
    Counter none;
    return descend_first(w, none);
}

struct MeanOf {
    double sum = 0, sum_squares = 0;
    uint64_t n = 0;
    void add(double x) {
        sum += x;
        sum_squares += x * x;
        ++n;
    }
    double mean() const { return n > 0 ? sum / static_cast<double>(n) : 0; }
    double standard_error() const {
        if (n < 2) return 0;
        const double d = static_cast<double>(n);
        return std::sqrt((sum_squares - sum * sum / d) / (d - 1) / d);
    }
};

}  // namespace

TreeEstimate knuth_estimate(Cube& kostka, uint64_t dives, uint32_t seed) {
    SearchStats stats;
    Walker w;
    TreeEstimate result;
    if (!start_at_first(w, kostka, stats)) return result;
    const bool mirror = mirror_symmetric(kostka, {0, 0, 0}, 0);
    std::mt19937 rng(seed);
    MeanOf estimate;
    std::vector<Frame> children;
    const auto started = Clock::now();
    for (result.samples = 0; result.samples < dives; ++result.samples)
        estimate.add(1 + dive_calls(w, mirror, rng, children));  // the first segment's call too
    result.calls = estimate.mean();
    result.relative_error = estimate.standard_error() / result.calls;
    result.seconds_per_call = seconds_since(started) / static_cast<double>(stats.calls);
    return result;
}

namespace {

// The walk of the top: every continuation tried at the split depth is a member of the
// population, and a reservoir keeps a uniform sample of their paths.
struct Reservoir {
    Walker& w;
    std::mt19937& rng;
    uint64_t size;
    uint64_t seen = 0;
    std::vector<std::vector<Frame>> paths;

    void filling(const Frame&) {}
    void mirror_half() {}
    bool split(const Frame& next) {
        ++seen;
        std::size_t slot = paths.size();
        if (paths.size() == size) {
            const uint64_t pick = std::uniform_int_distribution<uint64_t>(0, seen - 1)(rng);
            if (pick >= size) return true;
            slot = static_cast<std::size_t>(pick);
        } else {
            paths.emplace_back();
        }
        paths[slot].assign(w.stack.begin(), w.stack.end());
        paths[slot].push_back(next);
        return true;
    }
    bool tick() const { return false; }
};

}  // namespace

TreeEstimate sampled_estimate(Cube& kostka, int32_t depth, uint64_t samples, uint32_t seed) {
    SearchStats top_stats;
    Walker w;
    TreeEstimate result;
    if (!start_at_first(w, kostka, top_stats)) return result;
    std::mt19937 rng(seed);
    Reservoir top{w, rng, samples, 0, {}};
    const bool mirror = mirror_symmetric(kostka, {0, 0, 0}, 0);
    walk(w, 0, mirror, static_cast<std::size_t>(depth), top);  // takes the first segment back

    SearchStats below;
    start_at_first(w, kostka, below);
    MeanOf subtree;
    below.calls = 0;
    const auto started = Clock::now();
    for (std::vector<Frame>& path : top.paths) {
        // Lays the path's segments again, the first one stays laid, then searches below the
        // last one; only the calls below it are counted, the top walk counted the rest.
        const uint64_t before = below.calls;
        for (std::size_t i = 1; i + 1 < path.size(); ++i) {
            path[i].next = 0;
            lay(w, path[i]);  // open: the top walk laid it so
            w.stack.push_back(path[i]);
        }
        const std::size_t base = w.stack.size();
        const Frame& last = path.back();
        Counter counter;
        if (descend(w, last, counter)) walk(w, base, false, SIZE_MAX, counter);
        unwind(w, 1);
        subtree.add(static_cast<double>(below.calls - before));
    }
    const double population = static_cast<double>(top.seen);
    result.calls = static_cast<double>(top_stats.calls) + population * subtree.mean();
    result.relative_error = population * subtree.standard_error() / result.calls;
    result.samples = subtree.n;
    result.population = top.seen;
    result.seconds_per_call = seconds_since(started) / static_cast<double>(below.calls);
    return result;
}
