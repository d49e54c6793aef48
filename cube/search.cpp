// vevuvedu: the segment search `probe_path`, kept on an explicit stack of segments.
#include "search.hpp"

#include "mirror.hpp"
#include "parallel.hpp"
#include "walker.hpp"

#include <algorithm>

void start_walker(Walker& w, Cube& k, SearchStats& stats, Pruning pruning, int32_t filled,
                  int32_t first_segment) {
    w.kostka = &k;
    w.stats = &stats;
    w.edges = {k.nx, k.ny, k.nz};
    w.stride = {k.ny * k.nz, k.nz, 1};
    w.filled = filled;
    w.first_segment = first_segment;
    w.prune = pruning == Pruning::full && prune_supported(k);
    if (w.prune) prepare_pruner(w.pruner, k);
    // At most one segment for every two cells; a larger cube's stack grows as it needs.
    w.stack.clear();
    w.stack.reserve(static_cast<std::size_t>(std::min(k.celkem_poli / 2 + 2, 1 << 16)));
}

std::array<int32_t, 3> head_of(const Frame& f) {
    std::array<int32_t, 3> head = f.start;
    head[f.axis] += f.d;
    return head;
}

namespace {

int32_t cell_of(const Walker& w, const std::array<int32_t, 3>& at) {
    return w.kostka->index(at[0], at[1], at[2]);
}

// The step between the segment's cells in `cells`.
int32_t step_of(const Walker& w, const Frame& f) {
    return f.d > 0 ? w.stride[f.axis] : -w.stride[f.axis];
}

bool segment_free(const Walker& w, const Frame& f) {
    const int32_t step = step_of(w, f);
    int32_t cell = cell_of(w, f.start) + step;
    for (int32_t k = std::abs(f.d); k > 0; --k, cell += step)
        if (w.kostka->cells[cell] != 0) return false;
    return true;
}

void mark(Walker& w, const Frame& f, int32_t value) {
    const int32_t step = step_of(w, f);
    int32_t cell = cell_of(w, f.start) + step;
    for (int32_t k = std::abs(f.d); k > 0; --k, cell += step)
        w.kostka->cells[cell] = value;
}

bool holds_no_filling(Walker& w, const Frame& f) {
    const int32_t level = static_cast<int32_t>(w.stack.size());
    if (level == 0)
        return node_holds_no_filling(w.pruner, 0, *w.kostka, cell_of(w, head_of(f)), f.axis,
                                     w.stats->prune);
    const int32_t dir = 2 * f.axis + (f.d < 0 ? 1 : 0);
    return child_holds_no_filling(w.pruner, level, cell_of(w, f.start), dir, std::abs(f.d),
                                  w.stats->prune);
}

}  // namespace

Laid lay(Walker& w, const Frame& f) {
    if (!segment_free(w, f)) return Laid::blocked;
    mark(w, f, w.first_segment + static_cast<int32_t>(w.stack.size()));
    w.filled += std::abs(f.d);
    if (w.filled == w.kostka->celkem_poli) return Laid::full;
    // A segment along no axis (the first one of a box one cell long) continues nowhere.
    if (f.d == 0) return Laid::cut;
    return w.prune && holds_no_filling(w, f) ? Laid::cut : Laid::open;
}

void unlay(Walker& w, const Frame& f) {
    mark(w, f, 0);
    w.filled -= std::abs(f.d);
}

void unwind(Walker& w, std::size_t base) {
    for (; w.stack.size() > base; w.stack.pop_back())
        unlay(w, w.stack.back());
}

double share_done(const Walker& w, bool mirror) {
    double share = 0, scale = 1;
    for (std::size_t level = 0; level < w.stack.size(); ++level) {
        const Frame& f = w.stack[level];
        const std::array<int32_t, 3> head = head_of(f);
        const bool one_axis = mirror && level == 0;
        int32_t done = 0, total = 0, trial = 0;
        for (int32_t a = 0; a < (one_axis ? 1 : 2); ++a) {
            const int32_t axis = turns_after[f.axis][a];
            for (int32_t t = 0; t < w.edges[axis]; ++t, ++trial) {
                if (std::abs(t - head[axis]) < 2) continue;
                ++total;
                done += trial < f.next - 1;
            }
        }
        if (total == 0 || scale < 1e-12) break;
        scale /= total;
        share += done * scale;
    }
    return share;
}

namespace {

// The walk of the single-threaded search: every filling goes to the sink at once.
struct Sequential {
    Walker& w;
    const FillingSink& sink;
    const ProgressHook& progress;
    bool mirror;
    int32_t found = 0;
    bool failed = false;
    std::string text;
    std::vector<MirroredFilling> mirrors;  // of the fillings found, while `mirror`

    void filling(const Frame& last) {
        ++found;
        if (mirror) mirrors.push_back(mirror_filling(w, last));
        if (sink.write == nullptr || failed) return;
        text.clear();
        append_dump(text, *w.kostka);
        failed = !sink.write(text, sink.context);
    }
    void mirror_half() {
        found += static_cast<int32_t>(mirrors.size());
        if (sink.write == nullptr || failed || mirrors.empty()) return;
        text.clear();
        append_mirrors(text, mirrors, *w.kostka);
        failed = !sink.write(text, sink.context);
    }
    bool split(const Frame&) { return false; }
    // A filling that could not be written stops the search: nothing after it would be.
    bool tick() {
        if (progress.report != nullptr)
            progress.report(share_done(w, mirror), found, progress.context);
        return failed;
    }
};

}  // namespace

int32_t probe_path(Cube& kostka, int32_t x, int32_t y, int32_t z, int32_t dx, int32_t dy,
                   int32_t dz, int32_t segment, int32_t filled, const FillingSink& sink,
                   Pruning pruning, SearchStats* stats, const ProgressHook& progress) {
    SearchStats local_stats;
    Walker w;
    start_walker(w, kostka, stats != nullptr ? *stats : local_stats, pruning, filled, segment);
    const int32_t axis = dx != 0 ? 0 : dy != 0 ? 1 : dz != 0 ? 2 : 0;
    const Frame first{{x, y, z}, axis, dx + dy + dz, 0};
    // The mirror skip: swapping the second and third axes maps this start onto itself.
    const bool mirror = pruning == Pruning::full && mirror_symmetric(kostka, first.start, axis);
    Sequential v{w, sink, progress, mirror, 0, false, {}, {}};
    ++w.stats->calls;
    switch (lay(w, first)) {
    case Laid::blocked:
        return 0;
    case Laid::full:
        try {
            v.filling(first);
        } catch (...) {
            unlay(w, first);
            throw;
        }
        break;
    case Laid::cut:
        if (first.d != 0) ++w.stats->dead;
        break;
    case Laid::open:
        w.stack.push_back(first);
        w.stats->max_depth = std::max<uint64_t>(w.stats->max_depth, 1);
        try {
            walk(w, 0, mirror, SIZE_MAX, v);
        } catch (...) {
            unwind(w, 0);
            throw;
        }
        unwind(w, 0);
        if (v.failed && stats != nullptr) stats->write_failed = true;
        return v.found;
    }
    unlay(w, first);
    if (v.failed && stats != nullptr) stats->write_failed = true;
    return v.found;
}

int32_t take_start(Cube& k) {
    k.at(0, 0, 0) = 1;
    int32_t taken = 0;
    for (int32_t cell = 0; cell < k.celkem_poli; ++cell)
        taken += k.cells[cell] != 0;
    return taken;
}

Laid lay_first(Walker& w) {
    const Frame first{{0, 0, 0}, 0, w.kostka->nx - 1, 0};
    ++w.stats->calls;
    const Laid laid = lay(w, first);
    if (laid == Laid::open) {
        w.stack.push_back(first);
        w.stats->max_depth = std::max<uint64_t>(w.stats->max_depth, 1);
    } else if (laid != Laid::blocked) {
        unlay(w, first);
    }
    return laid;
}

BoxSearch search_box(Cube& kostka, const SearchOptions& options) {
    const int32_t filled = take_start(kostka);
    if (options.threads > 1) return search_box_parallel(kostka, filled, options);
    BoxSearch result;
    try {
        result.count = probe_path(kostka, 0, 0, 0, kostka.nx - 1, 0, 0, 2, filled, options.sink,
                                  options.pruning, &result.stats, options.progress);
        if (result.stats.write_failed) result.failure = SearchFailure::write;
    } catch (const std::bad_alloc&) {
        result.failure = SearchFailure::memory;
    }
    return result;
}

BoxSearch search_box(Cube& kostka, Pruning pruning, bool keep_printed) {
    BoxSearch result;
    SearchOptions options;
    options.pruning = pruning;
    if (keep_printed) {
        options.sink.context = &result.printed;
        options.sink.write = [](std::string_view text, void* printed) {
            static_cast<std::string*>(printed)->append(text);
            return true;
        };
    }
    BoxSearch found = search_box(kostka, options);
    found.printed = std::move(result.printed);
    return found;
}
