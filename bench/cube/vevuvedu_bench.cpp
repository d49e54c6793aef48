// Measures vevuvedu's search: calls, time and time per call for the cubes that finish, the
// speed on 1, 2 and all threads on a box that runs for seconds, and estimates of the N = 6 tree.
//
//   vevuvedu-bench [REPEATS [SAMPLES [DIVES]]]
//
// REPEATS runs of each timing (default 5), SAMPLES subtrees searched for the N = 6 estimate
// (default 2000), DIVES random dives for Knuth's estimate (default 1000000).
#include "cube.hpp"
#include "estimate.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

Cube box(int32_t nx, int32_t ny, int32_t nz) {
    Cube k;
    if (!make_cube(k, nx, ny, nz)) std::abort();
    return k;
}

struct Timing {
    BoxSearch result;
    double min = 0, median = 0;
};

Timing time_search(int32_t nx, int32_t ny, int32_t nz, int threads, int repeats) {
    std::vector<double> times;
    Timing t;
    for (int i = 0; i < repeats; ++i) {
        Cube k = box(nx, ny, nz);
        SearchOptions options;
        options.threads = threads;
        const auto start = Clock::now();
        t.result = search_box(k, options);
        times.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    t.min = times.front();
    t.median = times[times.size() / 2];
    return t;
}

void measure(int32_t n, int repeats) {
    const Timing t = time_search(n, n, n, 1, repeats);
    const SearchStats& s = t.result.stats;
    std::printf("N = %d: %d fillings, %llu calls (%llu segments cut by the parent's roles alone;"
                " %.2f propagation rounds a call), time min %.3f s,"
                " median %.3f s over %d runs, %.3f us a call\n",
                n, t.result.count, static_cast<unsigned long long>(s.calls),
                static_cast<unsigned long long>(s.prune.quick_cuts),
                static_cast<double>(s.prune.rounds) / static_cast<double>(s.calls), t.min, t.median,
                repeats, 1e6 * t.min / static_cast<double>(s.calls));
}

// The 5 x 5 x 6 box: a whole search of some seconds, the same on every number of threads.
void scaling(int repeats) {
    const unsigned all = std::max(1u, std::thread::hardware_concurrency());
    double single = 0;
    for (int threads : {1, 2, static_cast<int>(all)}) {
        const Timing t = time_search(5, 5, 6, threads, repeats);
        if (threads == 1) single = t.min;
        std::printf("5 x 5 x 6 box on %d thread(s): %llu calls, %d fillings, time min %.2f s,"
                    " median %.2f s, %.2fx the single thread\n",
                    threads, static_cast<unsigned long long>(t.result.stats.calls), t.result.count,
                    t.min, t.median, single / t.min);
    }
}

void report(const char* how, int32_t n, const TreeEstimate& e) {
    const double seconds = e.calls * e.seconds_per_call;
    std::printf("N = %d, %s: %.3g calls (+-%.1f %%), %.3f us a call, so about %.3g s on one"
                " thread (%.2f h)\n",
                n, how, e.calls, 100 * e.relative_error, 1e6 * e.seconds_per_call, seconds,
                seconds / 3600);
}

}  // namespace

int main(int argc, char** argv) {
    const int repeats = argc > 1 ? std::atoi(argv[1]) : 5;
    const uint64_t samples = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 2000;
    const uint64_t dives = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 1000000;
    measure(4, repeats);
    measure(5, repeats);
    scaling(repeats > 3 ? 3 : repeats);
    // N = 5 checks the estimates against the count above.
    for (int32_t n : {5, 6}) {
        Cube k = box(n, n, n);
        const TreeEstimate sampled =
            sampled_estimate(k, 8, n == 5 ? samples / 4 : samples, 20261208);
        char how[96];
        std::snprintf(how, sizeof how, "%llu of %llu subtrees at depth 8 searched",
                      static_cast<unsigned long long>(sampled.samples),
                      static_cast<unsigned long long>(sampled.population));
        report(how, n, sampled);
        Cube d = box(n, n, n);
        report("Knuth's random dives", n, knuth_estimate(d, n == 5 ? dives / 10 : dives, 20261208));
    }
    return 0;
}
