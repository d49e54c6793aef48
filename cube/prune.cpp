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
//
// Keeping the roles from node to node. Each role removal is justified by the roles still
// present, and fewer roles justify more removals, so from any start that holds every role of
// the fixpoint the rounds end at that same fixpoint (the largest set of roles that supports
// itself). A child's fixpoint lies inside its parent's: give the child's segment its roles in
// the parent (straight along it, and at its end every turn from it into an exit the child's
// head keeps) and the child's fixpoint supports itself in the parent too, the parent's head
// keeping the segment's direction as its exit. So a child starts from its parent's roles on
// its own free cells and reaches the fixpoint it would reach from scratch, in fewer rounds.
// That argument needs the child's fixpoint to leave every free cell a role and its head an
// exit; when it does not, the child is cut either way, as a smaller start only removes more.
// The same argument gives the quick cut: if the parent's roles do not let the segment's inner
// cells be straight along it, its end turn from it, or the parent's head leave in its
// direction, the child's fixpoint cannot be one that keeps every cell and an exit.
#include "prune.hpp"

#include <bit>
#if defined(PRUNE_FOR_X86_64_V3)
#include <immintrin.h>
#endif

namespace {

constexpr int32_t axis_of(int32_t dir) { return dir / 2; }
constexpr int32_t reverse(int32_t dir) { return dir ^ 1; }

// Roles 0 .. 2 are straight along an axis, 3 .. 14 the turns, 15 .. 20 the ends.
constexpr int32_t first_turn = 3;
constexpr int32_t first_end = 15;
constexpr int32_t turn_count = 12;

struct Turn {
    int32_t a, b;  // the two directions it links, on different axes
};

constexpr std::array<Turn, turn_count> make_turns() {
    std::array<Turn, turn_count> turns{};
    int32_t t = 0;
    for (int32_t a = 0; a < 6; ++a)
        for (int32_t b = 0; b < 6; ++b)
            if (axis_of(a) < axis_of(b)) turns[t++] = {a, b};
    return turns;
}
constexpr std::array<Turn, turn_count> turns = make_turns();

constexpr int32_t third_axis(int32_t a, int32_t b) { return 3 - a - b; }

// The four turns that use a link in each direction.
constexpr std::array<std::array<int32_t, 4>, 6> make_turns_using() {
    std::array<std::array<int32_t, 4>, 6> using_dir{};
    std::array<int32_t, 6> n{};
    for (int32_t t = 0; t < turn_count; ++t) {
        using_dir[turns[t].a][n[turns[t].a]++] = t;
        using_dir[turns[t].b][n[turns[t].b]++] = t;
    }
    return using_dir;
}
constexpr auto turns_using = make_turns_using();

// The four turns that use no link along each axis.
constexpr std::array<std::array<int32_t, 4>, 3> make_turns_off() {
    std::array<std::array<int32_t, 4>, 3> off{};
    std::array<int32_t, 3> n{};
    for (int32_t t = 0; t < turn_count; ++t) {
        const int32_t axis = third_axis(axis_of(turns[t].a), axis_of(turns[t].b));
        off[axis][n[axis]++] = t;
    }
    return off;
}
constexpr auto turns_off = make_turns_off();

// Working boards of W words: W is the smallest power of two that holds the box's cells, so
// every operation compiles to straight-line code for its size. A node's roles are kept in
// full-size boards and worked on in these.
template <std::size_t W>
using Bits = std::array<uint64_t, W>;

template <std::size_t W>
Bits<W> load(const Board& a) {
    Bits<W> out;
    for (std::size_t i = 0; i < W; ++i)
        out[i] = a[i];
    return out;
}
template <std::size_t W>
void store(Board& out, const Bits<W>& a) {
    for (std::size_t i = 0; i < W; ++i)
        out[i] = a[i];
}
template <std::size_t W>
Bits<W> operator|(const Bits<W>& a, const Bits<W>& b) {
    Bits<W> out;
    for (std::size_t i = 0; i < W; ++i)
        out[i] = a[i] | b[i];
    return out;
}
template <std::size_t W>
Bits<W> operator&(const Bits<W>& a, const Bits<W>& b) {
    Bits<W> out;
    for (std::size_t i = 0; i < W; ++i)
        out[i] = a[i] & b[i];
    return out;
}
template <std::size_t W>
Bits<W> and_not(const Bits<W>& a, const Bits<W>& b) {
    Bits<W> out;
    for (std::size_t i = 0; i < W; ++i)
        out[i] = a[i] & ~b[i];
    return out;
}
template <std::size_t W>
bool any_outside(const Bits<W>& a, const Bits<W>& b) {  // a has a cell b lacks
    uint64_t outside = 0;
    for (std::size_t i = 0; i < W; ++i)
        outside |= a[i] & ~b[i];
    return outside != 0;
}
template <std::size_t W>
bool any(const Bits<W>& a) {
    uint64_t bits = 0;
    for (std::size_t i = 0; i < W; ++i)
        bits |= a[i];
    return bits != 0;
}
template <std::size_t W>
int32_t count(const Bits<W>& a) {
    int32_t n = 0;
    for (std::size_t i = 0; i < W; ++i)
        n += std::popcount(a[i]);
    return n;
}
template <std::size_t W>
bool test(const std::array<uint64_t, W>& a, int32_t cell) {
    return (a[static_cast<std::size_t>(cell / 64)] >> (cell % 64)) & 1;
}
template <std::size_t W>
void set(std::array<uint64_t, W>& a, int32_t cell) {
    a[static_cast<std::size_t>(cell / 64)] |= uint64_t{1} << (cell % 64);
}
template <std::size_t W>
void clear(Bits<W>& a, int32_t cell) {
    a[static_cast<std::size_t>(cell / 64)] &= ~(uint64_t{1} << (cell % 64));
}

// The cells c whose neighbour c + dir is in `b`.
template <std::size_t W>
[[gnu::always_inline]] inline Bits<W> toward_general(const Pruner& p, const Bits<W>& b,
                                                     int32_t dir) {
    const int32_t w = static_cast<int32_t>(W);
    const int32_t off = p.offset[dir];
    const int32_t k = off < 0 ? -off : off;
    Bits<W> out;
    if (k < 64) {  // the common case: within a word and the next one
        if (off > 0) {
            for (int32_t i = 0; i < w; ++i) {
                const uint64_t hi = i + 1 < w ? b[i + 1] << 1 << (63 - k) : 0;
                out[i] = ((b[i] >> k) | hi) & p.inside[dir][i];
            }
        } else {
            for (int32_t i = 0; i < w; ++i) {
                const uint64_t lo = i > 0 ? b[i - 1] >> 1 >> (63 - k) : 0;
                out[i] = ((b[i] << k) | lo) & p.inside[dir][i];
            }
        }
        return out;
    }
    const int32_t q = k / 64, r = k % 64;
    if (off > 0) {  // bit i of the result is bit i + k of b
        for (int32_t i = 0; i < w; ++i) {
            const uint64_t lo = i + q < w ? b[i + q] : 0;
            const uint64_t hi = i + q + 1 < w ? b[i + q + 1] : 0;
            out[i] = (r != 0 ? (lo >> r) | (hi << (64 - r)) : lo) & p.inside[dir][i];
        }
    } else {  // bit i of the result is bit i - k of b
        for (int32_t i = 0; i < w; ++i) {
            const uint64_t hi = i - q >= 0 ? b[i - q] : 0;
            const uint64_t lo = i - q - 1 >= 0 ? b[i - q - 1] : 0;
            out[i] = (r != 0 ? (hi << r) | (lo >> (64 - r)) : hi) & p.inside[dir][i];
        }
    }
    return out;
}

template <std::size_t W>
[[gnu::always_inline]] inline Bits<W> toward(const Pruner& p, const Bits<W>& b, int32_t dir) {
    return toward_general<W>(p, b, dir);
}

#if defined(PRUNE_FOR_X86_64_V3)
// Four words are one AVX2 register: the neighbour words come from a lane permutation instead
// of four scalar shifts and carries. The same bits as the general version, which the tests
// check against the portable build.
template <>
[[gnu::always_inline]] inline Bits<4> toward<4>(const Pruner& p, const Bits<4>& b, int32_t dir) {
    const int32_t off = p.offset[dir];
    const int32_t k = off < 0 ? -off : off;
    if (k >= 64) return toward_general<4>(p, b, dir);
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b.data()));
    const __m256i mask = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p.inside[dir].data()));
    const __m128i right = _mm_cvtsi32_si128(k), left = _mm_cvtsi32_si128(64 - k);
    __m256i out;
    if (off > 0) {  // bit i of the result is bit i + k of b: word j takes word j + 1's low bits
        const __m256i next =
            _mm256_blend_epi32(_mm256_permute4x64_epi64(v, 0xf9), _mm256_setzero_si256(), 0xc0);
        out = _mm256_or_si256(_mm256_srl_epi64(v, right), _mm256_sll_epi64(next, left));
    } else {  // bit i of the result is bit i - k of b: word j takes word j - 1's high bits
        const __m256i before =
            _mm256_blend_epi32(_mm256_permute4x64_epi64(v, 0x90), _mm256_setzero_si256(), 0x03);
        out = _mm256_or_si256(_mm256_sll_epi64(v, right), _mm256_srl_epi64(before, left));
    }
    Bits<4> result;
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(result.data()), _mm256_and_si256(out, mask));
    return result;
}
#endif

// A node's boards while the rules work on them.
template <std::size_t W>
struct Node {
    Bits<W> free;
    std::array<Bits<W>, role_count> role;
    uint32_t exits;
};

template <std::size_t W>
void store(NodeRoles& out, const Node<W>& n) {
    store<W>(out.free, n.free);
    for (int32_t r = 0; r < role_count; ++r)
        store<W>(out.role[r], n.role[r]);
    out.exits = n.exits;
}

// The unions of roles one round of propagation reads, each built from shared parts.
template <std::size_t W>
struct Unions {
    std::array<Bits<W>, 6> uses;      // cells with a role that uses the link in that direction
    std::array<Bits<W>, 6> may_skip;  // cells with a role that does not use that link
};

template <std::size_t W>
void take_unions(const Node<W>& n, Unions<W>& u) {
    const Bits<W>* straight = &n.role[0];
    const Bits<W>* turn = &n.role[first_turn];
    const Bits<W>* end = &n.role[first_end];
    std::array<Bits<W>, 6> turning;  // the turns that use each direction
    for (int32_t dir = 0; dir < 6; ++dir) {
        const auto& t = turns_using[dir];
        turning[dir] = (turn[t[0]] | turn[t[1]]) | (turn[t[2]] | turn[t[3]]);
    }
    for (int32_t axis = 0; axis < 3; ++axis) {
        // The roles that use no link along `axis`: straight along the other two, the turns
        // between them, the ends toward them.
        const int32_t b = (axis + 1) % 3, c = (axis + 2) % 3;
        const auto& t = turns_off[axis];
        const Bits<W> off_axis = (straight[b] | straight[c]) |
                                 ((turn[t[0]] | turn[t[1]]) | (turn[t[2]] | turn[t[3]])) |
                                 ((end[2 * b] | end[2 * b + 1]) | (end[2 * c] | end[2 * c + 1]));
        for (int32_t dir : {2 * axis, 2 * axis + 1}) {
            u.uses[dir] = straight[axis] | turning[dir] | end[dir];
            u.may_skip[dir] = off_axis | turning[reverse(dir)] | end[reverse(dir)];
        }
    }
}

// Colours: a step changes the parity of x + y + z, so the walk c1 .. cm alternates colours
// starting with the one h lacks. Of the m free cells, (m + 1) / 2 must have the colour h
// lacks, and the end cm has h's colour when m is even, the other one when m is odd. False
// when the free cells cannot be walked so; otherwise `end_colour` holds the cells that may end.
template <std::size_t W>
bool colours_fit(const Pruner& p, const Bits<W>& free, int32_t h, Bits<W>& end_colour) {
    const Bits<W> even = load<W>(p.even);
    const int32_t m = count(free);
    const bool head_even = test(p.even, h);
    const Bits<W> odd = and_not(free, even);
    const int32_t unlike_head = head_even ? count(odd) : m - count(odd);
    if (unlike_head != (m + 1) / 2) return false;
    end_colour = head_even == (m % 2 == 0) ? free & even : odd;
    return true;
}

// The exits of h: every direction at a right angle to the last segment that leads to a free cell.
template <std::size_t W>
uint32_t first_exits(const Pruner& p, const Bits<W>& free, int32_t h, int32_t last_axis) {
    uint32_t exits = 0;
    for (int32_t dir = 0; dir < 6; ++dir)
        if (axis_of(dir) != last_axis && test(p.inside[dir], h) && test(free, h + p.offset[dir]))
            exits |= 1u << dir;
    return exits;
}

// Role propagation from the node's present roles to the fixpoint, then the tests on it; true
// when the node is cut. A role stays only while every walk neighbour it needs can answer it: a
// straight cell's neighbour must use the link back (any role using it, or h when h may exit
// that way, as c1 is straight); a turn's or end's neighbour must be straight along that link's
// axis. A link is used by both of its cells or by neither, so a role that does not use a link
// needs the neighbour to have a role that does not either. An exit of h stays only while the
// cell it leads to may be straight along it. A free cell left without any role, or h without an
// exit, proves the subtree empty, and stays so: the rounds stop there.
template <std::size_t W>
bool settle(const Pruner& p, Node<W>& n, int32_t h, PruneCounters& counters) {
    // h's neighbours, looked up once: the word and bit of each, and the directions in which
    // one lies inside the box and is free (every exit of h is among them).
    std::array<int32_t, 6> word{};
    std::array<uint64_t, 6> bit{};
    uint32_t free_around = 0;
    for (int32_t dir = 0; dir < 6; ++dir) {
        if (!test(p.inside[dir], h)) continue;
        const int32_t cell = h + p.offset[dir];
        word[dir] = cell / 64;
        bit[dir] = uint64_t{1} << (cell % 64);
        if (test(n.free, cell)) free_around |= 1u << dir;
    }
    Unions<W> u;
    // Invariant: every role that a walk from h gives a cell is still in `n.role`, and the exit
    // it takes from h is still in `n.exits`.
    for (bool changed = true; changed;) {
        ++counters.rounds;
        if (n.exits == 0) return true;
        take_unions(n, u);
        if (any_outside(n.free, u.uses[0] | u.may_skip[0])) return true;

        // `bound` marks cells whose neighbour must link back: every role it has uses the link,
        // or it is h with that single exit left.
        std::array<Bits<W>, 6> answers_straight, answers_special, bound;
        for (int32_t dir = 0; dir < 6; ++dir) {
            const int32_t back = reverse(dir);
            answers_straight[dir] = toward(p, u.uses[back], dir);
            if (n.exits & (1u << back)) answers_straight[dir][word[back]] |= bit[back];
            bound[dir] = toward(p, and_not(n.free, u.may_skip[back]), dir);
            if (n.exits == 1u << back) bound[dir][word[back]] |= bit[back];
        }
        std::array<Bits<W>, 3> bound_on;  // bound along either direction of an axis
        for (int32_t axis = 0; axis < 3; ++axis)
            bound_on[axis] = bound[2 * axis] | bound[2 * axis + 1];

        Bits<W> removed{};  // kept whole until the round ends: one vector, not W words
        auto keep = [&](Bits<W>& role, const Bits<W>& kept) {
            removed = removed | and_not(role, kept);
            role = kept;
        };
        for (int32_t axis = 0; axis < 3; ++axis) {
            const Bits<W> off = bound_on[(axis + 1) % 3] | bound_on[(axis + 2) % 3];
            const Bits<W> both = answers_straight[2 * axis] & answers_straight[2 * axis + 1];
            keep(n.role[axis], and_not(n.role[axis] & both, off));
        }
        // The turns and ends ask for straight neighbours among the straight roles just kept:
        // what this round removed there counts at once, a round sooner.
        for (int32_t dir = 0; dir < 6; ++dir)
            answers_special[dir] = toward(p, n.role[axis_of(dir)], dir);
        for (int32_t t = 0; t < turn_count; ++t) {
            const Turn& turn = turns[t];
            const Bits<W> off = bound[reverse(turn.a)] | bound[reverse(turn.b)] |
                                bound_on[third_axis(axis_of(turn.a), axis_of(turn.b))];
            const Bits<W> both = answers_special[turn.a] & answers_special[turn.b];
            Bits<W>& role = n.role[first_turn + t];
            keep(role, and_not(role & both, off));
        }
        for (int32_t dir = 0; dir < 6; ++dir) {
            const int32_t axis = axis_of(dir);
            const Bits<W> off =
                bound_on[(axis + 1) % 3] | bound_on[(axis + 2) % 3] | bound[reverse(dir)];
            Bits<W>& role = n.role[first_end + dir];
            keep(role, and_not(role & answers_special[dir], off));
        }
        changed = any(removed);

        // An exit of h stays only while the cell it leads to may be straight along it; a free
        // neighbour of h whose every role links back to h leaves that link as h's only exit.
        for (int32_t dir = 0; dir < 6; ++dir) {
            if ((n.exits & (1u << dir)) && !(n.role[axis_of(dir)][word[dir]] & bit[dir])) {
                n.exits &= ~(1u << dir);
                changed = true;
            }
        }
        for (int32_t dir = 0; dir < 6; ++dir) {
            if ((free_around & (1u << dir)) && !(u.may_skip[reverse(dir)][word[dir]] & bit[dir]) &&
                (n.exits & ~(1u << dir)) != 0) {
                n.exits &= 1u << dir;
                changed = true;
            }
        }
    }

    // The walk has exactly one end: none possible, or two cells that can only be the end, is
    // no walk.
    Bits<W> inner = n.role[0], ends = n.role[first_end];
    for (int32_t r = 1; r < first_end; ++r)
        inner = inner | n.role[r];
    for (int32_t r = first_end + 1; r < role_count; ++r)
        ends = ends | n.role[r];
    if (count(ends) == 0) return true;
    if (count(and_not(ends, inner)) > 1) return true;

    // Connection: the walk joins h to every free cell through links both cells may use, so
    // every free cell must be reachable from h that way.
    Bits<W> reach{};
    for (int32_t dir = 0; dir < 6; ++dir)
        if (n.exits & (1u << dir)) reach[word[dir]] |= bit[dir];
    for (Bits<W> before{}; any_outside(reach, before);) {  // reach only grows
        before = reach;
        for (int32_t dir = 0; dir < 6; ++dir)
            reach = reach | (toward(p, before & u.uses[dir], reverse(dir)) & u.uses[reverse(dir)]);
    }
    return any_outside(n.free, reach);
}

template <std::size_t W>
bool node_in(Pruner& p, NodeRoles& out, const Cube& k, int32_t h, int32_t last_axis,
             PruneCounters& counters) {
    Node<W> n;
    n.free = Bits<W>{};
    for (int32_t cell = 0; cell < k.celkem_poli; ++cell)
        if (k.cells[cell] == 0) set(n.free, cell);
    Bits<W> end_colour;
    if (!colours_fit(p, n.free, h, end_colour)) return true;
    // Every free cell starts with every role, the end only on its colour.
    for (int32_t r = 0; r < role_count; ++r)
        n.role[r] = r < first_end ? n.free : end_colour;
    n.exits = first_exits(p, n.free, h, last_axis);
    const bool cut = settle(p, n, h, counters);
    if (!cut) store(out, n);
    return cut;
}

template <std::size_t W>
bool child_in(Pruner& p, const NodeRoles& parent, NodeRoles& out, int32_t parent_head, int32_t dir,
              int32_t length, PruneCounters& counters) {
    // The quick cut (argued at the top): the inner cells straight along the segment, a turn
    // from it at its end, and the parent's head leaving in its direction.
    const int32_t step = p.offset[dir];
    const int32_t h = parent_head + length * step;
    bool fits = (parent.exits & (1u << dir)) != 0;
    for (int32_t i = 1; fits && i < length; ++i)
        fits = test(parent.role[axis_of(dir)], parent_head + i * step);
    bool turns_at_end = false;
    for (int32_t t : turns_using[reverse(dir)])
        turns_at_end = turns_at_end || test(parent.role[first_turn + t], h);
    if (!fits || !turns_at_end) {
        ++counters.quick_cuts;
        return true;
    }

    Node<W> n;
    n.free = load<W>(parent.free);
    for (int32_t i = 1; i <= length; ++i)
        clear(n.free, parent_head + i * step);
    Bits<W> end_colour;
    if (!colours_fit(p, n.free, h, end_colour)) return true;
    // The parent's ends already lie on this colour: a segment of odd length changes both the
    // head's colour and the parity of the free cells.
    for (int32_t r = 0; r < role_count; ++r)
        n.role[r] = load<W>(parent.role[r]) & n.free;
    n.exits = first_exits(p, n.free, h, axis_of(dir));
    const bool cut = settle(p, n, h, counters);
    if (!cut) store(out, n);
    return cut;
}

bool node_rules(Pruner& p, int32_t level, const Cube& k, int32_t head, int32_t last_axis,
                PruneCounters& counters) {
    NodeRoles& n = p.levels[static_cast<std::size_t>(level)];
    if (p.words == 1) return node_in<1>(p, n, k, head, last_axis, counters);
    if (p.words == 2) return node_in<2>(p, n, k, head, last_axis, counters);
    if (p.words <= 4) return node_in<4>(p, n, k, head, last_axis, counters);
    return node_in<8>(p, n, k, head, last_axis, counters);
}

bool child_rules(Pruner& p, int32_t level, int32_t parent_head, int32_t dir, int32_t length,
                 PruneCounters& counters) {
    const NodeRoles& parent = p.levels[static_cast<std::size_t>(level - 1)];
    NodeRoles& child = p.levels[static_cast<std::size_t>(level)];
    if (p.words == 1) return child_in<1>(p, parent, child, parent_head, dir, length, counters);
    if (p.words == 2) return child_in<2>(p, parent, child, parent_head, dir, length, counters);
    if (p.words <= 4) return child_in<4>(p, parent, child, parent_head, dir, length, counters);
    return child_in<8>(p, parent, child, parent_head, dir, length, counters);
}

}  // namespace

// This file is compiled once for any processor and, where cube/CMakeLists.txt can, once more
// with -march=x86-64-v3 and PRUNE_FOR_X86_64_V3: everything above is local to each build, and
// each exports only its own table.
#if defined(PRUNE_FOR_X86_64_V3)
extern const PruneCode x86_64_v3_rules;
const PruneCode x86_64_v3_rules{node_rules, child_rules};
#else
extern const PruneCode portable_rules;
const PruneCode portable_rules{node_rules, child_rules};
#endif
