// vevuvedu: the segment search `probe_path`, kept on an explicit stack of segments.
#include "search.hpp"

#include "prune.hpp"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

// One laid segment: it starts at the marked cell `start` and covers the cells 1 .. |d| steps
// away along `axis`, in the direction of the sign of d. `next` numbers the continuation to try
// next: first every target on the first axis tried after `axis`, then every one on the second.
struct Frame {
    std::array<int32_t, 3> start;
    int32_t axis;
    int32_t d;
    int32_t next;
};

// The axes tried after a segment along each axis, in order.
constexpr int32_t turns_after[3][2] = {{1, 2}, {0, 2}, {1, 0}};

struct Search {
    Kostka& kostka;
    const SearchHooks& hooks;
    SearchStats& stats;
    std::array<int32_t, 3> edges;
    std::array<int32_t, 3> stride;  // distance in `cells` of one step along each axis
    int32_t filled;                 // cells marked so far
    int32_t found = 0;
    std::vector<Frame> stack;
};

Search start_search(Kostka& k, const SearchHooks& hooks, SearchStats& stats, int32_t filled) {
    return {k, hooks, stats, {k.nx, k.ny, k.nz}, {k.ny * k.nz, k.nz, 1}, filled, 0, {}};
}

// Marks the start cell (0,0,0) with 1 and counts the taken cells, that one included.
int32_t take_start(Kostka& k) {
    k.at(0, 0, 0) = 1;
    int32_t taken = 0;
    for (int32_t cell = 0; cell < k.celkem_poli; ++cell)
        taken += k.cells[cell] != 0;
    return taken;
}

std::array<int32_t, 3> head_of(const Frame& f) {
    std::array<int32_t, 3> head = f.start;
    head[f.axis] += f.d;
    return head;
}

// The flat index of the segment's first cell and the step between its cells.
int32_t first_cell(const Search& s, const Frame& f, int32_t& step) {
    step = f.d > 0 ? s.stride[f.axis] : -s.stride[f.axis];
    return s.kostka.index(f.start[0], f.start[1], f.start[2]) + step;
}

bool segment_free(const Search& s, const Frame& f) {
    int32_t step;
    int32_t cell = first_cell(s, f, step);
    for (int32_t k = std::abs(f.d); k > 0; --k, cell += step)
        if (s.kostka.cells[cell] != 0) return false;
    return true;
}

void mark(Search& s, const Frame& f, int32_t value) {
    int32_t step;
    int32_t cell = first_cell(s, f, step);
    for (int32_t k = std::abs(f.d); k > 0; --k, cell += step)
        s.kostka.cells[cell] = value;
}

// The share of the search done, from the choices made on the first three levels: the
// continuations tried before the current one at each level, out of all it will try.
void report_progress(const Search& s, bool mirror) {
    if (s.hooks.progress == nullptr) return;
    double share = 0, scale = 1;
    for (std::size_t level = 0; level < s.stack.size() && level < 3; ++level) {
        const Frame& f = s.stack[level];
        const std::array<int32_t, 3> head = head_of(f);
        const bool one_axis = mirror && level == 0 && s.found == 0;
        int32_t done = 0, total = 0, trial = 0;
        for (int32_t a = 0; a < (one_axis ? 1 : 2); ++a) {
            const int32_t axis = turns_after[f.axis][a];
            for (int32_t t = 0; t < s.edges[axis]; ++t, ++trial) {
                if (std::abs(t - head[axis]) < 2) continue;
                ++total;
                done += trial < f.next - 1;
            }
        }
        if (total == 0) break;
        scale /= total;
        share += done * scale;
    }
    s.hooks.progress(share, s.found, s.hooks.context);
}

}  // namespace

int32_t probe_path(Kostka& kostka, int32_t x, int32_t y, int32_t z, int32_t dx, int32_t dy,
                   int32_t dz, int32_t segment, int32_t filled, const SearchHooks& hooks,
                   Pruning pruning, SearchStats* stats) {
    SearchStats local_stats;
    Search s = start_search(kostka, hooks, stats != nullptr ? *stats : local_stats, filled);
    const int32_t axis = dx != 0 ? 0 : dy != 0 ? 1 : dz != 0 ? 2 : 0;
    const Frame first{{x, y, z}, axis, dx + dy + dz, 0};
    ++s.stats.calls;
    if (!segment_free(s, first)) return 0;

    PruneBoards boards;
    const bool prune = pruning == Pruning::full && prune_supported(kostka);
    if (prune) prepare_boards(boards, kostka);
    // The mirror skip: swapping the second and third axes maps this start onto itself.
    const bool mirror =
        pruning == Pruning::full && mirror_symmetric(kostka, first.start, first.axis);

    mark(s, first, segment);
    s.filled += std::abs(first.d);
    if (s.filled == kostka.celkem_poli) {
        hooks.dump(kostka, hooks.context);
        mark(s, first, 0);
        return 1;
    }
    // A segment along no axis continues nowhere.
    if (first.d == 0 ||
        (prune && holds_no_filling(boards, kostka, head_of(first), first.axis, s.stats))) {
        if (first.d != 0) ++s.stats.dead;
        mark(s, first, 0);
        return 0;
    }

    // Invariant: the stack holds the laid segments from the first one on, each marked with
    // `segment` plus its position, and `s.filled` counts the marked cells; the top's `next`
    // names its next continuation.
    // At most one segment for every two cells; a larger cube's stack grows as it needs.
    s.stack.reserve(static_cast<std::size_t>(std::min(kostka.celkem_poli / 2 + 1, 1 << 16)));
    s.stack.push_back(first);
    while (!s.stack.empty()) {
        Frame& top = s.stack.back();
        const int32_t on_first = s.edges[turns_after[top.axis][0]];
        const int32_t total = on_first + s.edges[turns_after[top.axis][1]];
        if (mirror && s.stack.size() == 1 && top.next == on_first && s.found == 0)
            top.next = total;  // no filling on the second axis: none on the mirrored third
        if (top.next >= total) {
            mark(s, top, 0);
            s.filled -= std::abs(top.d);
            s.stack.pop_back();
            continue;
        }
        const int32_t trial = top.next++;
        const int32_t new_axis = turns_after[top.axis][trial < on_first ? 0 : 1];
        const int32_t target = trial < on_first ? trial : trial - on_first;
        const std::array<int32_t, 3> head = head_of(top);
        const int32_t length = target - head[new_axis];
        if (length > -2 && length < 2) continue;  // every later segment covers 2 cells or more

        if ((++s.stats.calls & 0xffff) == 0) report_progress(s, mirror);
        const Frame next{head, new_axis, length, 0};
        if (!segment_free(s, next)) continue;
        mark(s, next, segment + static_cast<int32_t>(s.stack.size()));
        s.filled += std::abs(length);
        if (s.filled == kostka.celkem_poli) {
            ++s.found;
            hooks.dump(kostka, hooks.context);
        } else if (prune && holds_no_filling(boards, kostka, head_of(next), new_axis, s.stats)) {
            ++s.stats.dead;
        } else {
            s.stack.push_back(next);  // `top` is not used after this
            if (s.stack.size() > s.stats.max_depth) s.stats.max_depth = s.stack.size();
            continue;
        }
        mark(s, next, 0);
        s.filled -= std::abs(length);
    }
    return s.found;
}

BoxSearch search_box(Kostka& kostka, Pruning pruning, bool keep_printed) {
    BoxSearch result;
    const int32_t filled = take_start(kostka);
    SearchHooks hooks;
    hooks.context = keep_printed ? &result.printed : nullptr;
    hooks.dump = [](const Kostka& k, void* printed) {
        if (printed != nullptr) *static_cast<std::string*>(printed) += dump_text(k);
    };
    result.count =
        probe_path(kostka, 0, 0, 0, kostka.nx - 1, 0, 0, 2, filled, hooks, pruning, &result.stats);
    return result;
}

TreeEstimate estimate_search_tree(Kostka& kostka, uint64_t dives, uint32_t seed) {
    const int32_t filled = take_start(kostka);
    SearchHooks hooks;
    SearchStats stats;
    Search s = start_search(kostka, hooks, stats, filled);
    PruneBoards boards;
    const bool prune = prune_supported(kostka);
    if (prune) prepare_boards(boards, kostka);
    const Frame first{{0, 0, 0}, 0, kostka.nx - 1, 0};
    const bool mirror = mirror_symmetric(kostka, first.start, first.axis);
    std::mt19937 rng(seed);
    TreeEstimate result;
    double sum = 0, sum_squares = 0;
    std::vector<Frame> children;
    children.reserve(static_cast<std::size_t>(kostka.nx + kostka.ny + kostka.nz));
    const auto started = std::chrono::steady_clock::now();

    // Lays `f` if it can stay: free, not filling the box, not cut by the rules.
    auto lay = [&](const Frame& f, int32_t value) {
        ++stats.calls;
        if (!segment_free(s, f)) return false;
        mark(s, f, value);
        s.filled += std::abs(f.d);
        if (s.filled < kostka.celkem_poli && f.d != 0 &&
            !(prune && holds_no_filling(boards, kostka, head_of(f), f.axis, stats)))
            return true;
        mark(s, f, 0);
        s.filled -= std::abs(f.d);
        return false;
    };
    for (result.dives = 0; result.dives < dives; ++result.dives) {
        double estimate = 1, weight = 1;
        if (lay(first, 2)) s.stack.push_back(first);
        while (!s.stack.empty()) {
            const Frame top = s.stack.back();
            const std::array<int32_t, 3> head = head_of(top);
            children.clear();
            const int32_t axes = mirror && s.stack.size() == 1 ? 1 : 2;
            for (int32_t a = 0; a < axes; ++a) {
                const int32_t axis = turns_after[top.axis][a];
                for (int32_t t = 0; t < s.edges[axis]; ++t)
                    if (std::abs(t - head[axis]) >= 2)
                        children.push_back({head, axis, t - head[axis], 0});
            }
            const auto count = static_cast<int32_t>(children.size());
            if (count == 0) break;
            weight *= count;
            estimate += weight;
            const Frame next = children[static_cast<std::size_t>(
                std::uniform_int_distribution<int32_t>(0, count - 1)(rng))];
            if (!lay(next, 2 + static_cast<int32_t>(s.stack.size()))) break;
            s.stack.push_back(next);
        }
        for (; !s.stack.empty(); s.stack.pop_back()) {
            mark(s, s.stack.back(), 0);
            s.filled -= std::abs(s.stack.back().d);
        }
        sum += estimate;
        sum_squares += estimate * estimate;
    }
    const double n = static_cast<double>(result.dives);
    result.calls = sum / n;
    const double variance = n > 1 ? (sum_squares - sum * sum / n) / (n - 1) : 0;
    result.relative_error = std::sqrt(variance / n) / result.calls;
    result.seconds_per_call =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count() /
        static_cast<double>(stats.calls);
    return result;
}
