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

Cube cube(int32_t n) {
    Cube k;
    if (!make_cube(k, n, n, n)) std::abort();
    return k;
}

void measure(int32_t n, int repeats) {
    std::vector<double> times;
    BoxSearch r;
    for (int i = 0; i < repeats; ++i) {
        Cube k = cube(n);
        const auto start = std::chrono::steady_clock::now();
        r = search_box(k, Pruning::full, false);
        times.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    std::printf("N = %d: %d fillings, %llu calls (%llu cut by the rules, %llu propagation rounds),"
                " %llu quick cuts, time min %.3f s, median %.3f s over %d runs\n",
                n, r.count, static_cast<unsigned long long>(r.stats.calls),
                static_cast<unsigned long long>(r.stats.dead),
                static_cast<unsigned long long>(r.stats.prune.rounds),
                static_cast<unsigned long long>(r.stats.prune.quick_cuts), times.front(),
                times[times.size() / 2], repeats);
}

}  // namespace

int main(int argc, char** argv) {
    const int repeats = argc > 1 ? std::atoi(argv[1]) : 5;
    const uint64_t dives = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1000000;
    measure(4, repeats);
    measure(5, repeats);
    return 0;
}
