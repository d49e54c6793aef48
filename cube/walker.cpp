// vevuvedu: one walk of the search: laying and taking back a segment, and where the walk is.
#include "walker.hpp"

#include <algorithm>

void start_walker(Walker& w, Cube& k, SearchStats& stats, int32_t filled, int32_t first_segment) {
    w.kostka = &k;
    w.stats = &stats;
    w.edges = {k.nx, k.ny, k.nz};
    w.stride = {k.ny * k.nz, k.nz, 1};
    w.filled = filled;
    w.first_segment = first_segment;
    w.prune = prune_supported(k);
    if (w.prune) prepare_pruner(w.pruner, k);
    // At most one segment for every two cells; a larger cube's stack grows as it needs.
    w.stack.clear();
    w.stack.reserve(static_cast<std::size_t>(std::min(k.celkem_poli / 2 + 2, 1 << 16)));
}

bool holds_no_filling(Walker& w, const Frame& f) {
    const int32_t level = static_cast<int32_t>(w.stack.size());
    if (level == 0) {
        const std::array<int32_t, 3> head = head_of(f);
        return node_holds_no_filling(w.pruner, 0, *w.kostka,
                                     w.kostka->index(head[0], head[1], head[2]), f.axis,
                                     w.stats->prune);
    }
    const int32_t dir = 2 * f.axis + (f.d < 0 ? 1 : 0);
    return child_holds_no_filling(w.pruner, level, start_cell(w, f), dir, std::abs(f.d),
                                  w.stats->prune);
}

void unwind(Walker& w, std::size_t base) {
    for (; w.stack.size() > base; w.stack.pop_back())
        unlay(w, w.stack.back());
}

double share_done(const Walker& w, bool mirror) {
    double share = 0, scale = 1;
    for (std::size_t level = 0; level < w.stack.size(); ++level) {
        const Frame& f = w.stack[level];
        const int32_t tried = continuations(w, f, mirror && level == 0);
        int32_t done = 0, total = 0;
        Frame next;
        for (int32_t trial = 0; trial < tried; ++trial) {
            if (!continuation(w, f, trial, next)) continue;
            ++total;
            done += trial < f.next - 1;
        }
        if (total == 0 || scale < 1e-12) break;
        scale /= total;
        share += done * scale;
    }
    return share;
}

int32_t take_start(Cube& k) {
    k.at(0, 0, 0) = 1;
    int32_t taken = 0;
    for (int32_t cell = 0; cell < k.celkem_poli; ++cell)
        taken += k.cells[cell] != 0;
    return taken;
}

Frame first_frame(const Cube& k) { return {{0, 0, 0}, 0, k.nx - 1, 0}; }

std::vector<int32_t> place_of(const Walker& w, std::size_t base) {
    std::vector<int32_t> place;
    for (std::size_t level = base; level < w.stack.size(); ++level)
        place.push_back(w.stack[level].next);
    if (!place.empty()) --place.back();
    return place;
}

bool replay(Walker& w, const Frame& first, const std::vector<int32_t>& place) {
    // The replay's own calls and cuts are no work of the search: they go to a scratch record.
    SearchStats replayed;
    SearchStats* const stats = w.stats;
    w.stats = &replayed;
    const std::size_t base = w.stack.size();
    Frame f = first;
    bool laid = !place.empty();
    for (std::size_t i = 0; laid && i < place.size(); ++i) {
        if (i > 0) {
            const Frame& top = w.stack.back();
            const int32_t trial = place[i - 1] - 1;
            laid = trial >= 0 && trial < continuations(w, top) && continuation(w, top, trial, f);
            if (!laid) break;
        }
        const Laid how = lay(w, f);
        laid = how == Laid::open;
        if (how != Laid::blocked && !laid) unlay(w, f);
        if (!laid) break;
        w.stack.push_back(f);
        w.stack.back().next = place[i];
    }
    if (laid) {
        const Frame& top = w.stack.back();
        laid = top.next >= 0 && top.next < continuations(w, top);
    }
    if (!laid) unwind(w, base);
    w.stats = stats;
    return laid;
}
