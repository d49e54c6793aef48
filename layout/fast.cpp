// orv-layout: the fast partner scan, the same bits as `checkswitch` for every pair.
#include "fast.hpp"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <type_traits>
#include <utility>

#if defined(__SSE2__) && !defined(ORV_LAYOUT_PORTABLE)
#include <emmintrin.h>
#endif

namespace layout {

FastScan::FastScan(const Graph& g) {
    const CellGrid& m = grid();
    for (int v = 0; v < vertex_count; ++v) {
        cell[v] = m.cell_number[cell_index(g.vrcholy[v].x, g.vrcholy[v].y)];
        at[cell[v]] = v;
        position[g.vrcholy_sorted[v]] = v;
    }
    for (int v = 0; v < vertex_count; ++v)
        position_at[cell[v]] = position[v];
    std::vector<std::vector<int>> listed_by(vertex_count);
    for (int v = 0; v < vertex_count; ++v) {
        out_first.push_back(static_cast<int>(out_keys.size()));
        const vrchol& r = g.vrcholy[v];
        for (int k = 0; k < r.pocet; ++k) {
            const int n = r.sousede[k];
            if (n == v) continue;
            listed_by[n].push_back(static_cast<int>(out_keys.size()));
            out_keys.push_back(-m.key[cell[n]]);
            slot_owner.push_back(v);
        }
        degree.push_back(static_cast<int>(out_keys.size()) - out_first[v]);
        while (out_keys.size() % chunk != 0) {
            out_keys.push_back(padding_key);
            slot_owner.push_back(v);
        }
    }
    out_first.push_back(static_cast<int>(out_keys.size()));
    // Each vertex's partners that it lists, and that list it, without repeats or itself.
    std::vector<char> seen(vertex_count, 0);
    auto add_once = [&](int v, int w, std::vector<int>& to) {
        if (w == v || seen[w]) return;
        seen[w] = 1;
        to.push_back(w);
    };
    auto forget = [&](const std::vector<int>& from, std::size_t start) {
        for (std::size_t i = start; i < from.size(); ++i)
            seen[from[i]] = 0;
    };
    for (int v = 0; v < vertex_count; ++v) {
        in_first.push_back(static_cast<int>(in_slots.size()));
        in_slots.insert(in_slots.end(), listed_by[v].begin(), listed_by[v].end());
        lists_first.push_back(static_cast<int>(lists.size()));
        const vrchol& r = g.vrcholy[v];
        for (int k = 0; k < r.pocet; ++k)
            add_once(v, r.sousede[k], lists);
        forget(lists, lists_first[v]);
        listed_first.push_back(static_cast<int>(listed.size()));
        for (int slot : listed_by[v])
            add_once(v, slot_owner[slot], listed);
        forget(listed, listed_first[v]);
    }
    in_first.push_back(static_cast<int>(in_slots.size()));
    lists_first.push_back(static_cast<int>(lists.size()));
    listed_first.push_back(static_cast<int>(listed.size()));
    for (int v = 0; v < vertex_count; ++v) {
        own[v] = sum_from(v, m.row(cell[v]));
        flip_degree_bit(v);
    }
    for (int n = 0; n <= max_neighbours; ++n)
        for (std::uint64_t word : by_degree[n])
            if (word != 0) {
                degrees.push_back(n);
                break;
            }
    // The vector scan reads three cells past the last one: they never hold the lowest value.
    for (int k = vertex_count; k < vertex_count + 3; ++k)
        chosen[k] = std::numeric_limits<double>::infinity();
}

// The sum of w's edge lengths measured from the cell whose distance row is `row`, in list order.
double FastScan::sum_from(int w, const double* row) const {
    const int* s = out_keys.data() + out_first[w];
    const int* end = out_keys.data() + out_first[w + 1];
    double sum = 0;
    for (; s != end; s += chunk)
        for (int t = 0; t < chunk; ++t)
            sum += row[s[t]];
    return sum;
}

// on_cell[c] = the sum of v's edge lengths if v stood on cell c, for every cell c of a diagonal
// below `diagonal`. Vector lanes run across the cells of one diagonal, whose table entries lie
// side by side, never across the terms of one sum: each lane adds v's terms in list order. The
// lanes are taken four at a time; those past a diagonal's end read entries that lie in the table
// (keys run on by one past the last cell, into the zeros behind the reachable entries) and write
// cells that the next diagonal, or nobody, reads.
void FastScan::sums_on_cells(int v, int diagonal) {
    const CellGrid& m = grid();
    const int* first = out_keys.data() + out_first[v];
    const int count = degree[v];
    for (int s = 0; s < diagonal; ++s) {
        const int begin = m.first_of_diagonal[s], end = m.first_of_diagonal[s + 1];
        const double* base = m.row(begin);
        for (int c = begin; c < end; c += 4) {
#if defined(__SSE2__) && !defined(ORV_LAYOUT_PORTABLE)
            __m128d a0 = _mm_setzero_pd(), a1 = _mm_setzero_pd();
            for (int t = 0; t < count; ++t) {
                const double* entries = base + (c - begin) + first[t];
                a0 = _mm_add_pd(a0, _mm_loadu_pd(entries));
                a1 = _mm_add_pd(a1, _mm_loadu_pd(entries + 2));
            }
            _mm_storeu_pd(&on_cell[c], a0);
            _mm_storeu_pd(&on_cell[c + 2], a1);
#else
            double sum[4] = {0, 0, 0, 0};
            for (int t = 0; t < count; ++t) {
                const double* entries = base + (c - begin) + first[t];
                for (int i = 0; i < 4; ++i)
                    sum[i] += entries[i];
            }
            for (int i = 0; i < 4; ++i)
                on_cell[c + i] = sum[i];
#endif
        }
    }
}

namespace {

// The bits of `words` from bit `from` on, in ascending order: `each(b)` for every bit b set.
template <typename F>
void for_each_bit(const std::uint64_t* words, int count, int from, F each) {
    for (int i = from / 64; i < count; ++i) {
        std::uint64_t bits = words[i];
        if (i == from / 64) bits &= ~std::uint64_t{0} << (from % 64);
        while (bits != 0) {
            each(i * 64 + std::countr_zero(bits));
            bits &= bits - 1;
        }
    }
}

}  // namespace

// For every cell cw from `smaller` on, where W is P: chosen[cw] = W's e1, W's sum from its own
// cell replaced by its sum from V's cell. Cells are taken grouped by the degree of their vertex,
// so the loop that sums one list runs the same number of times for a whole group (the padding
// terms, +0.0, are left out).
void FastScan::sums_of_candidates(double total, int smaller, const double* row_v) {
    const int words = static_cast<int>(by_degree[0].size());
    // Invariant: own, at and by_degree describe the current cells; each group writes its cells
    // once.
    for (int n : degrees) {
        // Takes every cell of the group, each list summed by `sum`.
        auto group = [&](auto sum) {
            for_each_bit(by_degree[n].data(), words, smaller, [&](int cw) {
                const int w = at[cw];
                chosen[cw] = (total - own[w]) + sum(out_keys.data() + out_first[w]);
            });
        };
        // A fixed trip count, so the compiler unrolls the loop.
        auto fixed = [&](auto count) {
            group([&](const int* s) {
                double sum = 0;
                for (int t = 0; t < decltype(count)::value; ++t)
                    sum += row_v[s[t]];
                return sum;
            });
        };
        // Degrees 0 .. 8 with fixed trip counts, larger ones with a loop.
        auto small = [&]<int... N>(std::integer_sequence<int, N...>) {
            return ((n == N && (fixed(std::integral_constant<int, N>{}), true)) || ...);
        };
        if (!small(std::make_integer_sequence<int, 9>{}))
            group([&](const int* s) {
                double sum = 0;
                for (int t = 0; t < n; ++t)
                    sum += row_v[s[t]];
                return sum;
            });
    }
}

// Adds P's terms to the two sums of an estimate: each edge's length from P's cell to `old` and
// from Q's cell to `nw`, in list order. The term of an edge to Q is +0.0 in both (its length from
// Q's cell is 0, and its length from P's cell is replaced by 0), which is the same as leaving it
// out; so are the padding terms.
void FastScan::add_terms(int p, int q, double& old, double& nw) const {
    const CellGrid& m = grid();
    const int cq = cell[q];
    const int q_slot = -m.key[cq];
    const double* row_p = m.row(cell[p]);
    const double* row_q = m.row(cq);
    const int* s = out_keys.data() + out_first[p];
    const int* end = out_keys.data() + out_first[p + 1];
    for (; s != end; s += chunk)
        for (int t = 0; t < chunk; ++t) {
            old += s[t] == q_slot ? 0.0 : row_p[s[t]];
            nw += row_q[s[t]];
        }
}

// `checkswitch` for the vertices v and w on their cells.
Estimate FastScan::exact_estimate(double total, int v, int w) const {
    const CellGrid& m = grid();
    const bool v_is_p = m.diagonal[cell[v]] > m.diagonal[cell[w]];
    const int p = v_is_p ? v : w;
    const int q = v_is_p ? w : v;
    double old = 0, nw = 0;
    Estimate e;
    add_terms(p, q, old, nw);
    e.e1 = (total - old) + nw;
    add_terms(q, p, old, nw);
    e.e0 = (total - old) + nw;
    return e;
}

// The e1 of `checkswitch` when P and Q are known.
double FastScan::exact_e1(double total, int p, int q) const {
    double old = 0, nw = 0;
    add_terms(p, q, old, nw);
    return (total - old) + nw;
}

// The position of the first vertex in depth order whose estimate in `chosen` is the smallest,
// when that is below `start`; else -1. Equal to scanning the positions in order and keeping a
// value only when it is strictly lower: the smallest value does not depend on the order, and
// among the cells that hold it the one whose vertex comes first wins.
int FastScan::lowest_partner(double start) const {
    double lowest = start;
#if defined(__SSE2__) && !defined(ORV_LAYOUT_PORTABLE)
    // min(a, b) of the instruction is a < b ? a : b, as below. chosen[285 .. 287] hold +inf.
    __m128d low[4] = {_mm_set1_pd(start), _mm_set1_pd(start), _mm_set1_pd(start),
                      _mm_set1_pd(start)};
    for (int k = 0; k < vertex_count + 3; k += 8)
        for (int i = 0; i < 4; ++i)
            low[i] = _mm_min_pd(_mm_load_pd(&chosen[k + 2 * i]), low[i]);
    double lanes[8];
    for (int i = 0; i < 4; ++i)
        _mm_storeu_pd(&lanes[2 * i], low[i]);
    for (double value : lanes)
        lowest = value < lowest ? value : lowest;
#else
    for (int k = 0; k < vertex_count; ++k)
        lowest = chosen[k] < lowest ? chosen[k] : lowest;
#endif
    if (!(lowest < start)) return -1;
    int first = vertex_count;
#if defined(__SSE2__) && !defined(ORV_LAYOUT_PORTABLE)
    // Eight cells at a time; the lowest value is rarely held by more than one cell.
    const __m128d target = _mm_set1_pd(lowest);
    for (int k = 0; k < vertex_count + 3; k += 8) {
        int hits = 0;
        for (int i = 0; i < 4; ++i)
            hits |= _mm_movemask_pd(_mm_cmpeq_pd(_mm_load_pd(&chosen[k + 2 * i]), target)) << 2 * i;
        for (; hits != 0; hits &= hits - 1) {
            const int cw = k + std::countr_zero(static_cast<unsigned>(hits));
            if (position_at[cw] < first) first = position_at[cw];
        }
    }
#else
    for (int cw = 0; cw < vertex_count; ++cw)
        if (chosen[cw] == lowest && position_at[cw] < first) first = position_at[cw];
#endif
    return first;
}

Choice FastScan::best_partner(const Graph& g, int j, int c) {
    const double total = g.sum_total;
    const int v = g.vrcholy_sorted[j];
    const CellGrid& m = grid();
    const int cv = cell[v];
    const int smaller =
        m.first_of_diagonal[m.diagonal[cv]];  // cells of smaller diagonals: 0 .. smaller - 1
    const double* row_v = m.row(cv);
    sums_on_cells(v, m.diagonal[cv]);

    // Invariant: own and out_keys describe the current cells, so chosen[cw] is element c of the
    // estimate with the vertex on cell cw unless one of the pair lists the other.
    if (c == 1) {
        const double v_base = total - own[v];
        for (int cw = 0; cw < smaller; ++cw)
            chosen[cw] = v_base + on_cell[cw];
        sums_of_candidates(total, smaller, row_v);
    } else {
        for (int cw = 0; cw < vertex_count; ++cw) {
            const int w = at[cw];
            const bool v_is_p = cw < smaller;
            const int q = v_is_p ? w : v;
            const double* row_p = v_is_p ? row_v : m.row(cw);
            const double* row_q = v_is_p ? m.row(cw) : row_v;
            double old = v_is_p ? own[v] : own[w];
            double nw = v_is_p ? on_cell[cw] : sum_from(w, row_v);
            for (int s = out_first[q]; s < out_first[q] + degree[q]; ++s) {
                old += row_q[out_keys[s]];
                nw += row_p[out_keys[s]];
            }
            chosen[cw] = (total - old) + nw;
        }
    }
    // Pairs where one lists the other, as written: for e1 only when P lists Q.
    if (c == 1) {
        for (int i = lists_first[v]; i < lists_first[v + 1]; ++i) {
            const int w = lists[i];
            if (cell[w] < smaller) chosen[cell[w]] = exact_e1(total, v, w);
        }
        for (int i = listed_first[v]; i < listed_first[v + 1]; ++i) {
            const int w = listed[i];
            if (cell[w] >= smaller) chosen[cell[w]] = exact_e1(total, w, v);
        }
    } else {
        for (int list : {0, 1}) {
            const std::vector<int>& first = list == 0 ? lists_first : listed_first;
            const std::vector<int>& who = list == 0 ? lists : listed;
            for (int i = first[v]; i < first[v + 1]; ++i)
                chosen[cell[who[i]]] = exact_estimate(total, v, who[i]).e0;
        }
    }
    chosen[cv] = total;  // never strictly below the start value

    Choice best{{total, total}, lowest_partner(total)};
    if (best.partner >= 0) best.sum_max = exact_estimate(total, v, g.vrcholy_sorted[best.partner]);
    return best;
}

void FastScan::after_trade(const Graph& g, int j, int k) {
    const CellGrid& m = grid();
    const int moved[2] = {g.vrcholy_sorted[j], g.vrcholy_sorted[k]};
    for (int v : moved)
        flip_degree_bit(v);
    std::swap(cell[moved[0]], cell[moved[1]]);
    ++trades;
    for (int v : moved) {
        at[cell[v]] = v;
        position_at[cell[v]] = position[v];
        flip_degree_bit(v);
        for (int i = in_first[v]; i < in_first[v + 1]; ++i)
            out_keys[in_slots[i]] = -m.key[cell[v]];
    }
    auto once = [&](int u) {
        if (stamp[u] == trades) return;
        stamp[u] = trades;
        own[u] = sum_from(u, m.row(cell[u]));
    };
    for (int v : moved) {
        once(v);
        for (int i = in_first[v]; i < in_first[v + 1]; ++i)
            once(slot_owner[in_slots[i]]);
    }
}

}  // namespace layout
