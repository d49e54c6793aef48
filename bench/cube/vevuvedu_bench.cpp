// Measures the pruned search of vevuvedu: calls and time for whole cubes that finish, and
// Knuth's estimate of the tree for a cube that does not.
//
//   vevuvedu-bench [REPEATS [DIVES]]
#include "search.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

Kostka cube(int32_t n) {
    Kostka k;
    if (!make_kostka(k, n, n, n)) std::abort();
    return k;
}

void measure(int32_t n, int repeats) {
    std::vector<double> times;
    BoxSearch r;
    for (int i = 0; i < repeats; ++i) {
        Kostka k = cube(n);
        const auto start = std::chrono::steady_clock::now();
        r = search_box(k, Pruning::full, false);
        times.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    std::printf("N = %d: %d fillings, %llu calls (%llu cut by the rules, %llu propagation rounds),"
                " time min %.3f s, median %.3f s over %d runs\n",
                n, r.count, static_cast<unsigned long long>(r.stats.calls),
                static_cast<unsigned long long>(r.stats.dead),
                static_cast<unsigned long long>(r.stats.prune_rounds), times.front(),
                times[times.size() / 2], repeats);
}

void estimate(int32_t n, uint64_t dives) {
    Kostka k = cube(n);
    const TreeEstimate e = estimate_search_tree(k, dives, 20261208);
    const double seconds = e.calls * e.seconds_per_call;
    std::printf("N = %d: Knuth estimate over %llu dives: %.3g calls (+-%.0f %%), %.2f us a call,"
                " so about %.3g s (%.3g days)\n",
                n, static_cast<unsigned long long>(e.dives), e.calls, 100 * e.relative_error,
                1e6 * e.seconds_per_call, seconds, seconds / 86400);
}

}  // namespace

int main(int argc, char** argv) {
    const int repeats = argc > 1 ? std::atoi(argv[1]) : 5;
    const uint64_t dives = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1000000;
    measure(4, repeats);
    measure(5, repeats);
    estimate(4, dives / 10);  // checks the estimator against the counts above
    estimate(5, dives / 10);
    estimate(6, dives);
    return 0;
}
