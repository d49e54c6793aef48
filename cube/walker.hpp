// vevuvedu: one walk of the search: the laid segments on an explicit stack, laying and taking
// back a segment, and the loop that tries every continuation in order. The single search, the
// threads, the mirrors and the benchmarks' estimates all walk with it.
#pragma once

#include "prune.hpp"
#include "records.hpp"
#include "store.hpp"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

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
inline constexpr int32_t turns_after[3][2] = {{1, 2}, {0, 2}, {1, 0}};

struct Walker {
    Cube* kostka = nullptr;
    SearchStats* stats = nullptr;
    std::array<int32_t, 3> edges{};
    std::array<int32_t, 3> stride{};  // distance in `cells` of one step along each axis
    int32_t filled = 0;               // cells marked so far
    int32_t first_segment = 2;        // the number the first segment is marked with
    bool prune = false;
    uint64_t tick_mask = 0xffff;  // the walk asks its visitor whether to stop every mask + 1 calls
    Pruner pruner;
    std::vector<Frame> stack;
};

// Sets the walk up on a box whose taken cells hold a non-zero value; `filled` counts them.
// Allocates the pruning boards for the deepest path the box allows, and room on the stack for
// up to 65536 segments; a deeper path (a box of more than 131072 cells) grows the stack as it
// goes. Throws std::bad_alloc when the memory is not there.
void start_walker(Walker& w, Cube& kostka, SearchStats& stats, int32_t filled,
                  int32_t first_segment);

// Where the segment ends: the cell its continuations start from.
inline std::array<int32_t, 3> head_of(const Frame& f) {
    std::array<int32_t, 3> head = f.start;
    head[f.axis] += f.d;
    return head;
}

enum class Laid {
    blocked,  // a cell of the segment is taken: nothing was marked
    full,     // the segment fills the box: marked, a filling
    cut,      // marked, and the rules show the cells left hold no filling
    open,     // marked, and its continuations must be tried
};

// The rules' test of a laid segment that leaves cells free: true when they hold no filling.
bool holds_no_filling(Walker& w, const Frame& f);

// The step between the segment's cells in `cells`.
inline int32_t step_of(const Walker& w, const Frame& f) {
    return f.d > 0 ? w.stride[f.axis] : -w.stride[f.axis];
}

// The index in `cells` of the segment's start.
inline int32_t start_cell(const Walker& w, const Frame& f) {
    return w.kostka->index(f.start[0], f.start[1], f.start[2]);
}

// Checks and marks `f`, numbered as the next segment of the stack, and tells what it found.
// Whatever but `blocked`, the caller takes it back with `unlay` or pushes it on the stack.
// Both run at every call of the search, so they are here to be inlined into the walk.
inline Laid lay(Walker& w, const Frame& f) {
    const int32_t step = step_of(w, f);
    const int32_t length = std::abs(f.d);
    int32_t* const first = w.kostka->cells.get() + start_cell(w, f) + step;
    for (int32_t k = 0; k < length; ++k)
        if (first[k * step] != 0) return Laid::blocked;
    const int32_t value = w.first_segment + static_cast<int32_t>(w.stack.size());
    for (int32_t k = 0; k < length; ++k)
        first[k * step] = value;
    w.filled += length;
    if (w.filled == w.kostka->celkem_poli) return Laid::full;
    // A segment along no axis (the first one of a box one cell long) continues nowhere.
    if (f.d == 0) return Laid::cut;
    return w.prune && holds_no_filling(w, f) ? Laid::cut : Laid::open;
}

inline void unlay(Walker& w, const Frame& f) {
    const int32_t step = step_of(w, f);
    const int32_t length = std::abs(f.d);
    int32_t* const first = w.kostka->cells.get() + start_cell(w, f) + step;
    for (int32_t k = 0; k < length; ++k)
        first[k * step] = 0;
    w.filled -= length;
}

// Marks the start cell (0,0,0) with 1 and counts the taken cells, that one included.
int32_t take_start(Cube& kostka);

// The first segment: from (0,0,0) along the first axis to its far end.
Frame first_frame(const Cube& kostka);

// Takes back every segment above the first `base` of the stack.
void unwind(Walker& w, std::size_t base);

// The share of the search done at the present node, from the choices made on every level: the
// continuations tried before the present one at each level, out of all it will try (with
// `mirror`, the start tries the second axis only).
double share_done(const Walker& w, bool mirror);

// Lays `f` as the next segment and acts on what `lay` found, the one place that does: a filling
// goes to `v.filling(f)` and is taken back, a cut is counted and taken back, an open segment is
// pushed for its continuations to be tried. True when it was pushed. A visitor that throws
// still leaves the box as it was.
template <class Visitor>
bool descend(Walker& w, const Frame& f, Visitor& v) {
    switch (lay(w, f)) {
    case Laid::blocked:
        return false;
    case Laid::full:
        try {
            v.filling(f);
        } catch (...) {
            unlay(w, f);
            throw;
        }
        break;
    case Laid::cut:
        break;
    case Laid::open:
        try {
            w.stack.push_back(f);
        } catch (...) {
            unlay(w, f);
            throw;
        }
        return true;
    }
    unlay(w, f);
    return false;
}

// How many continuations `top` tries, numbered as `continuation` numbers them: the targets on
// both axes it may turn to, or with `first_axis_only` (the first segment of a walk that skips
// the mirrored half) those on the first.
inline int32_t continuations(const Walker& w, const Frame& top, bool first_axis_only = false) {
    const int32_t on_first = w.edges[turns_after[top.axis][0]];
    return first_axis_only ? on_first : on_first + w.edges[turns_after[top.axis][1]];
}

// The segment that continuation `trial` of `top` lays: first every target on the first axis
// tried after `top.axis`, then every one on the second. False for a target within one cell of
// the head, which no segment after the first may reach.
inline bool continuation(const Walker& w, const Frame& top, int32_t trial, Frame& next) {
    const int32_t on_first = w.edges[turns_after[top.axis][0]];
    const int32_t new_axis = turns_after[top.axis][trial < on_first ? 0 : 1];
    const int32_t target = trial < on_first ? trial : trial - on_first;
    const std::array<int32_t, 3> head = head_of(top);
    const int32_t length = target - head[new_axis];
    if (length > -2 && length < 2) return false;  // every later segment covers 2 cells or more
    next = {head, new_axis, length, 0};
    return true;
}

// Counts a call and lays the first segment with `descend`: true when it was pushed.
template <class Visitor>
bool descend_first(Walker& w, Visitor& v) {
    ++w.stats->calls;
    return descend(w, first_frame(*w.kostka), v);
}

// Tries every continuation of the segments on the stack above `base`, deepest first, in the
// search's order, and takes each back when done, until the stack holds `base` segments. The
// visitor `v` decides:
//   v.filling(last)        the segment `last` has filled the box (it is marked while this
//                          runs, and not on the stack);
//   v.mirror_half()        with `mirror`, once, at the start's switch to the third axis, which
//                          the walk then skips: the visitor stands in the mirrors of the
//                          fillings found so far (see mirror.hpp);
//   v.split(next) -> bool  for a continuation that would lie `split_depth` segments deep:
//                          true when the visitor has dealt with it itself;
//   v.tick() -> bool       every 65536 tries (`w.tick_mask`): true stops the walk where it
//                          is, and `place_of` tells where that is.
template <class Visitor>
void walk(Walker& w, std::size_t base, bool mirror, std::size_t split_depth, Visitor& v) {
    // Invariant: the stack holds the laid segments, each marked with the first segment's
    // number plus its position, and `w.filled` counts the marked cells; the top's `next`
    // names its next continuation.
    while (w.stack.size() > base) {
        Frame& top = w.stack.back();
        const int32_t on_first = w.edges[turns_after[top.axis][0]];
        const int32_t total = on_first + w.edges[turns_after[top.axis][1]];
        if (mirror && w.stack.size() == 1 && top.next == on_first) {
            v.mirror_half();  // the third axis holds the mirrors of the second's fillings
            top.next = total;
        }
        if (top.next >= total) {
            unlay(w, top);
            w.stack.pop_back();
            continue;
        }
        const int32_t trial = top.next++;
        Frame next;
        if (!continuation(w, top, trial, next)) continue;

        // A stop leaves `trial` consumed and its call counted: place_of gives both back.
        if ((++w.stats->calls & w.tick_mask) == 0 && v.tick()) return;
        if (w.stack.size() == split_depth && v.split(next)) continue;
        descend(w, next, v);  // `top` is not used after this
    }
}

// Where a walk stopped by its visitor's tick stands below `base`: the `next` of every frame
// from `base` up, the top's given back the trial its stop consumed. Replaying it into a walker
// that holds the same `base` frames (`replay`) gives the same stack, and the walk continues
// from there with the same calls: the stop's call is counted again when the trial is taken.
std::vector<int32_t> place_of(const Walker& w, std::size_t base);

// Lays `first` (continuation `base` of the stack, open when the place was taken) and then the
// frames of `place` above it, each the continuation its parent had last consumed, without
// counting a call: the stack, the marked cells and the rules' state become what they were.
// False when a frame of the place cannot be laid (a place that does not belong to this box).
bool replay(Walker& w, const Frame& first, const std::vector<int32_t>& place);
