// vevuvedu: showing that a subtree of the search holds no filling.
//
// What remains of a filling below a node is one walk c1, c2, ..., cm through every free cell:
// c1 is a neighbour of the head h (the end of the last segment), each cell a neighbour of the
// one before, in straight segments of at least two cells, each at a right angle to the one
// before, the first at a right angle to the last laid one. Every cell of such a walk plays one
// role:
//   straight along an axis  its walk neighbours are its two neighbours on that axis;
//   a turn                  its walk neighbours lie on two different axes (12 kinds);
//   the end cm              it has one walk neighbour (6 kinds, by its direction).
// A turn closes one segment and opens the next, so the cells on both sides of a turn lie inside
// segments: they are straight cells (two turns in a row, a turn right after h, or the end right
// after a turn would make a segment of one cell). For the same reason c1 is straight, and the
// end's neighbour is a straight cell, never h. Every rule below only removes roles or subtrees
// that no such walk can use, so a subtree is cut only when it holds no filling.
#include "prune.hpp"

#include <bit>

namespace {

constexpr int32_t role_count = 21;

struct Role {
    int32_t dirs[2];  // directions of the walk neighbours: 0 +x, 1 -x, 2 +y, 3 -y, 4 +z, 5 -z
    int32_t degree;   // 2, or 1 for the end
    bool straight;
};

constexpr int32_t axis_of(int32_t dir) { return dir / 2; }
constexpr int32_t reverse(int32_t dir) { return dir ^ 1; }

constexpr std::array<Role, role_count> make_roles() {
    std::array<Role, role_count> roles{};
    int32_t r = 0;
    for (int32_t axis = 0; axis < 3; ++axis)
        roles[r++] = {{2 * axis, 2 * axis + 1}, 2, true};
    for (int32_t a = 0; a < 6; ++a)
        for (int32_t b = 0; b < 6; ++b)
            if (axis_of(a) < axis_of(b)) roles[r++] = {{a, b}, 2, false};
    for (int32_t a = 0; a < 6; ++a)
        roles[r++] = {{a, a}, 1, false};
    return roles;
}
constexpr std::array<Role, role_count> roles = make_roles();
constexpr int32_t first_end_role = 15;

constexpr bool uses_link(const Role& role, int32_t dir) {
    return role.dirs[0] == dir || (role.degree == 2 && role.dirs[1] == dir);
}

// Bit boards of W words: W is the smallest power of two that holds the box's cells, so the
// operations compile to straight-line code for each size.
template <std::size_t W>
using Bits = std::array<uint64_t, W>;

template <std::size_t W>
Bits<W> board_and(const Bits<W>& a, const Bits<W>& b) {
    Bits<W> out;
    for (std::size_t i = 0; i < W; ++i)
        out[i] = a[i] & b[i];
    return out;
}
template <std::size_t W>
Bits<W> board_and_not(const Bits<W>& a, const Bits<W>& b) {
    Bits<W> out;
    for (std::size_t i = 0; i < W; ++i)
        out[i] = a[i] & ~b[i];
    return out;
}
template <std::size_t W>
void or_into(Bits<W>& a, const Bits<W>& b) {
    for (std::size_t i = 0; i < W; ++i)
        a[i] |= b[i];
}
template <std::size_t W>
bool any_outside(const Bits<W>& a, const Bits<W>& b) {  // a has a cell b lacks
    uint64_t outside = 0;
    for (std::size_t i = 0; i < W; ++i)
        outside |= a[i] & ~b[i];
    return outside != 0;
}
template <std::size_t W>
int32_t count(const Bits<W>& a) {
    int32_t n = 0;
    for (std::size_t i = 0; i < W; ++i)
        n += std::popcount(a[i]);
    return n;
}
template <std::size_t W>
Bits<W> first_words(const Board& a) {
    Bits<W> out;
    for (std::size_t i = 0; i < W; ++i)
        out[i] = a[i];
    return out;
}
template <std::size_t W>
bool test(const Bits<W>& a, int32_t cell) {
    return (a[static_cast<std::size_t>(cell / 64)] >> (cell % 64)) & 1;
}
template <std::size_t W>
void set(Bits<W>& a, int32_t cell) {
    a[static_cast<std::size_t>(cell / 64)] |= uint64_t{1} << (cell % 64);
}

// The cells c whose neighbour c + dir is in `b`.
template <std::size_t W>
Bits<W> toward(const PruneBoards& pb, const Bits<W>& b, int32_t dir) {
    const int32_t w = static_cast<int32_t>(W);
    const int32_t off = pb.offset[dir];
    const int32_t k = off < 0 ? -off : off;
    const int32_t q = k / 64, r = k % 64;
    Bits<W> out;
    for (int32_t i = 0; i < w; ++i) {
        uint64_t lo, hi;
        if (off > 0) {  // bit i of the result is bit i + k of b
            lo = i + q < w ? b[i + q] : 0;
            hi = i + q + 1 < w ? b[i + q + 1] : 0;
            out[i] = r != 0 ? (lo >> r) | (hi << (64 - r)) : lo;
        } else {  // bit i of the result is bit i - k of b
            hi = i - q >= 0 ? b[i - q] : 0;
            lo = i - q - 1 >= 0 ? b[i - q - 1] : 0;
            out[i] = r != 0 ? (hi << r) | (lo >> (64 - r)) : hi;
        }
        out[i] &= pb.inside[dir][i];
    }
    return out;
}

}  // namespace

bool prune_supported(const Kostka& kostka) { return kostka.celkem_poli <= 64 * board_words; }

void prepare_boards(PruneBoards& pb, const Kostka& k) {
    pb = PruneBoards{};
    pb.words = (k.celkem_poli + 63) / 64;
    const int32_t edges[3] = {k.nx, k.ny, k.nz};
    const int32_t stride[3] = {k.ny * k.nz, k.nz, 1};
    for (int32_t dir = 0; dir < 6; ++dir)
        pb.offset[dir] = dir % 2 == 0 ? stride[axis_of(dir)] : -stride[axis_of(dir)];
    for (int32_t x = 0; x < k.nx; ++x)
        for (int32_t y = 0; y < k.ny; ++y)
            for (int32_t z = 0; z < k.nz; ++z) {
                const int32_t cell = k.index(x, y, z);
                const int32_t at[3] = {x, y, z};
                if ((x + y + z) % 2 == 0) set(pb.even, cell);
                for (int32_t dir = 0; dir < 6; ++dir) {
                    const int32_t c = at[axis_of(dir)] + (dir % 2 == 0 ? 1 : -1);
                    if (c >= 0 && c < edges[axis_of(dir)]) set(pb.inside[dir], cell);
                }
            }
}

namespace {

template <std::size_t W>
bool holds_no_filling_in(const PruneBoards& pb, const Kostka& k, int32_t h, int32_t last_axis,
                         SearchStats& stats) {
    using B = Bits<W>;
    B free{};
    for (int32_t cell = 0; cell < k.celkem_poli; ++cell)
        if (k.cells[cell] == 0) set(free, cell);
    const int32_t m = count(free);

    // Colours: a step changes the parity of x + y + z, so the walk c1 .. cm alternates colours
    // starting with the one h lacks. Of the m free cells, (m + 1) / 2 must have the colour h
    // lacks, and the end cm has h's colour when m is even, the other one when m is odd.
    const B even = first_words<W>(pb.even);
    const bool head_even = test(even, h);
    const B odd = board_and_not(free, even);
    const int32_t unlike_head = head_even ? count(odd) : m - count(odd);
    if (unlike_head != (m + 1) / 2) return true;
    const B end_colour = head_even == (m % 2 == 0) ? board_and(free, even) : odd;

    // Role propagation. Every free cell starts with every role (the end only on its colour),
    // and h with every exit at a right angle to the last segment. A role stays only while every
    // walk neighbour it needs can answer it: a straight cell's neighbour must use the link
    // back (any role using it, or h when h may exit that way, as c1 is straight); a turn's or
    // end's neighbour must be straight along that link's axis. An exit of h stays only while
    // the cell it leads to may be straight along it. Removing unsupported roles until nothing
    // changes keeps every role that some walk gives a cell, so a free cell left without any,
    // or h without an exit, proves the subtree empty.
    std::array<B, role_count> role{};
    for (int32_t r = 0; r < role_count; ++r)
        role[r] = r < first_end_role ? free : end_colour;
    uint32_t exits = 0;
    for (int32_t dir = 0; dir < 6; ++dir)
        if (axis_of(dir) != last_axis && test(pb.inside[dir], h) && test(free, h + pb.offset[dir]))
            exits |= 1u << dir;

    std::array<B, 6> uses{};  // cells with a role that uses a link in that direction
    // Invariant: every role that a walk from h gives a cell is still in `role`, and the exit
    // it takes from h is still in `exits`.
    for (bool changed = true; changed;) {
        ++stats.prune_rounds;
        changed = false;
        uses = {};
        std::array<B, 6> may_skip{};  // cells with a role that does not use that link
        for (int32_t r = 0; r < role_count; ++r)
            for (int32_t dir = 0; dir < 6; ++dir)
                or_into(uses_link(roles[r], dir) ? uses[dir] : may_skip[dir], role[r]);
        // A link is used by both of its cells or by neither: a role that uses it needs the
        // neighbour to have a role that does (`answers`), and a role that does not needs the
        // neighbour to have a role that does not (`bound` marks cells whose neighbour must link
        // back: every role it has uses the link, or it is h with that single exit left).
        std::array<B, 6> answers_straight, answers_special, bound;
        for (int32_t dir = 0; dir < 6; ++dir) {
            const int32_t back = reverse(dir);
            answers_straight[dir] = toward(pb, uses[back], dir);
            if (exits & (1u << back)) set(answers_straight[dir], h + pb.offset[back]);
            answers_special[dir] = toward(pb, role[axis_of(dir)], dir);
            bound[dir] = toward(pb, board_and_not(free, may_skip[back]), dir);
            if (exits == 1u << back) set(bound[dir], h + pb.offset[back]);
        }
        for (int32_t r = 0; r < role_count; ++r) {
            const auto& answers = roles[r].straight ? answers_straight : answers_special;
            B kept = board_and(role[r], answers[roles[r].dirs[0]]);
            if (roles[r].degree == 2) kept = board_and(kept, answers[roles[r].dirs[1]]);
            for (int32_t dir = 0; dir < 6; ++dir)
                if (!uses_link(roles[r], dir)) kept = board_and_not(kept, bound[dir]);
            if (kept != role[r]) changed = true;
            role[r] = kept;
        }
        // An exit of h stays only while the cell it leads to may be straight along it; a free
        // neighbour of h whose every role links back to h leaves that link as h's only exit.
        for (int32_t dir = 0; dir < 6; ++dir) {
            if (!(exits & (1u << dir)) || !test(pb.inside[dir], h)) continue;
            const int32_t cell = h + pb.offset[dir];
            if (!test(role[axis_of(dir)], cell)) {
                exits &= ~(1u << dir);
                changed = true;
            }
        }
        for (int32_t dir = 0; dir < 6; ++dir) {
            if (!test(pb.inside[dir], h)) continue;
            const int32_t cell = h + pb.offset[dir];
            if (test(free, cell) && !test(may_skip[reverse(dir)], cell) && exits != 0 &&
                (exits & ~(1u << dir)) != 0) {
                exits &= 1u << dir;
                changed = true;
            }
        }
    }
    if (exits == 0) return true;
    B any{}, ends{}, inner{};
    for (int32_t r = 0; r < role_count; ++r)
        or_into(r < first_end_role ? inner : ends, role[r]);
    any = inner;
    or_into(any, ends);
    if (any_outside(free, any)) return true;
    // The walk has exactly one end: none possible, or two cells that can only be the end, is
    // no walk.
    if (count(ends) == 0) return true;
    if (count(board_and_not(ends, inner)) > 1) return true;

    // Connection: the walk joins h to every free cell through links both cells may use, so
    // every free cell must be reachable from h that way.
    B reach{};
    for (int32_t dir = 0; dir < 6; ++dir)
        if (exits & (1u << dir)) set(reach, h + pb.offset[dir]);
    for (B before{}; before != reach;) {
        before = reach;
        for (int32_t dir = 0; dir < 6; ++dir) {
            const B from = board_and(before, uses[dir]);
            or_into(reach, board_and(toward(pb, from, reverse(dir)), uses[reverse(dir)]));
        }
    }
    return any_outside(free, reach);
}

}  // namespace

bool holds_no_filling(const PruneBoards& pb, const Kostka& k, const std::array<int32_t, 3>& head,
                      int32_t last_axis, SearchStats& stats) {
    const int32_t h = k.index(head[0], head[1], head[2]);
    if (pb.words == 1) return holds_no_filling_in<1>(pb, k, h, last_axis, stats);
    if (pb.words == 2) return holds_no_filling_in<2>(pb, k, h, last_axis, stats);
    if (pb.words <= 4) return holds_no_filling_in<4>(pb, k, h, last_axis, stats);
    return holds_no_filling_in<8>(pb, k, h, last_axis, stats);
}

bool mirror_symmetric(const Kostka& k, const std::array<int32_t, 3>& start, int32_t axis) {
    if (axis != 0 || k.ny != k.nz || start[1] != start[2]) return false;
    for (int32_t x = 0; x < k.nx; ++x)
        for (int32_t y = 0; y < k.ny; ++y)
            for (int32_t z = 0; z < y; ++z)
                if ((k.at(x, y, z) == 0) != (k.at(x, z, y) == 0)) return false;
    return true;
}
