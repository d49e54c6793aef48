// orv-layout: the fast partner scan, the same bits as `checkswitch` for every pair.
#include "fast.hpp"

#include <algorithm>
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
#if (defined(__x86_64__) || defined(__i386__)) && !defined(ORV_LAYOUT_PORTABLE)
#define ORV_LAYOUT_WIDE 1
#include <immintrin.h>
#endif

namespace layout {

bool wide_lanes_supported() {
#ifdef ORV_LAYOUT_WIDE
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

Lanes widest_lanes() { return wide_lanes_supported() ? Lanes::wide : Lanes::narrow; }

#ifdef ORV_LAYOUT_WIDE
namespace {

// The wide loops: compiled for AVX2 (not FMA), called only where the processor has it.

// The four entries base[i[0]] .. base[i[3]] (each plus shift[k] where given) in one register,
// by four loads: on the processors measured here that runs faster than the gather instruction.
__attribute__((target("avx2"))) inline __m256d load4(const double* base, const int* i) {
    return _mm256_set_pd(base[i[3]], base[i[2]], base[i[1]], base[i[0]]);
}
__attribute__((target("avx2"))) inline __m256d load4(const double* base, const int* i,
                                                     const int* shift) {
    return _mm256_set_pd(base[i[3] + shift[3]], base[i[2] + shift[2]], base[i[1] + shift[1]],
                         base[i[0] + shift[0]]);
}

// sums_on_cells with four cells to a register, for a list of `Count` entries (-1: `count`),
// and with each sum also chosen[c] = v_base + on_cell[c], V's e1 on that cell. The runs reaching
// past their diagonal write cells that the next run, or the caller, writes again.
template <int Count>
__attribute__((target("avx2"))) void wide_runs(const CellGrid& m, const int* first, int count,
                                               int runs, double v_base, double* on_cell,
                                               double* chosen) {
    const int n = Count < 0 ? count : Count;
    const __m256d base = _mm256_set1_pd(v_base);
    for (int i = 0; i < runs; ++i) {
        const double* entries = m.distance.data() + m.run_offset[i];
        __m256d a = _mm256_setzero_pd();
        for (int t = 0; t < n; ++t)
            a = _mm256_add_pd(a, _mm256_loadu_pd(entries + first[t]));
        const int c = m.run_cell[i];
        _mm256_storeu_pd(on_cell + c, a);
        _mm256_storeu_pd(chosen + c, _mm256_add_pd(base, a));
    }
}

// The loop of fixed trip count for the short lists, a counted one for the others. The cells from
// `smaller` on keep their values in `chosen`.
__attribute__((target("avx2"))) void wide_sums_on_cells(const CellGrid& m, const int* first,
                                                        int count, int diagonal, double v_base,
                                                        double* on_cell, double* chosen) {
    const int runs = m.runs_below[diagonal];
    const int smaller = m.first_of_diagonal[diagonal];
    double kept[3];
    std::copy(chosen + smaller, chosen + smaller + 3, kept);
    [&]<int... N>(std::integer_sequence<int, N...>) {
        if (!((count == N &&
               (wide_runs<N>(m, first, count, runs, v_base, on_cell, chosen), true)) ||
              ...))
            wide_runs<-1>(m, first, count, runs, v_base, on_cell, chosen);
    }
    (std::make_integer_sequence<int, 9>{});
    std::copy(kept, kept + 3, chosen + smaller);
}

// One group of four cells from cell c on, each list of `Rows` entries at most summed in lanes:
// sums[c + i] = the sum of the list of c + i's vertex from V's cell, chosen[c + i] = (total -
// own_at[c + i]) + that sum. Each lane adds its own list's terms in list order, then +0.0 terms
// past its end, which leave a non-negative sum as it is.
template <int Rows>
__attribute__((target("avx2"))) inline void candidate_quad(const FastScan& f, __m256d totals, int c,
                                                           const double* row_v, double* sums,
                                                           double* chosen) {
    const int* keys = f.keys_at.data() + c;
    __m256d sum = _mm256_setzero_pd();
    for (int t = 0; t < Rows; ++t)
        sum = _mm256_add_pd(sum, load4(row_v, keys + t * padded_cells));
    const __m256d base = _mm256_sub_pd(totals, _mm256_load_pd(f.own_at.data() + c));
    _mm256_store_pd(sums + c, sum);
    _mm256_store_pd(chosen + c, _mm256_add_pd(base, sum));
}

// The groups of four cells from `from_quad` on whose longest list has `Rows` entries.
template <int Rows>
__attribute__((target("avx2"))) void candidate_quads(const FastScan& f, double total, int from_quad,
                                                     const double* row_v, double* sums,
                                                     double* chosen) {
    const __m256d totals = _mm256_set1_pd(total);
    const std::uint64_t* words = f.quads_by_rows[Rows].data();
    for (int i = from_quad / 64; i < quad_words; ++i) {
        std::uint64_t bits = words[i];
        if (i == from_quad / 64) bits &= ~std::uint64_t{0} << (from_quad % 64);
        for (; bits != 0; bits &= bits - 1)
            candidate_quad<Rows>(f, totals, 4 * (64 * i + std::countr_zero(bits)), row_v, sums,
                                 chosen);
    }
}

// The groups of four cells from `from_quad` on with a longer list than `lane_rows` (a hub): each
// cell sums its own list alone, read where it lies side by side, so the others do not run the
// hub's length.
__attribute__((target("avx2"))) void hub_quads(const FastScan& f, double total, int from_quad,
                                               const double* row_v, double* sums, double* chosen) {
    const std::uint64_t* words = f.quads_by_rows[lane_rows + 1].data();
    for (int w = from_quad / 64; w < quad_words; ++w) {
        std::uint64_t bits = words[w];
        if (w == from_quad / 64) bits &= ~std::uint64_t{0} << (from_quad % 64);
        for (; bits != 0; bits &= bits - 1) {
            const int c = 4 * (64 * w + std::countr_zero(bits));
            for (int i = c; i < c + 4; ++i) {
                const double sum = i < vertex_count ? f.sum_from(f.at[i], row_v) : 0.0;
                sums[i] = sum;
                chosen[i] = (total - f.own_at[i]) + sum;
            }
        }
    }
}

// For every cell of the groups of four from `from_quad` on: sums[c] = the sum of the list of c's
// vertex from V's cell, chosen[c] = (total - own_at[c]) + sums[c]. The groups are taken by the
// length of their longest list, each length with a loop of fixed trip count, so no branch
// depends on the order of the vertices on the grid, which trades keep reshuffling; every group
// is written once.
__attribute__((target("avx2"))) void wide_candidates(const FastScan& f, double total, int from_quad,
                                                     const double* row_v, double* sums,
                                                     double* chosen) {
    [&]<int... R>(std::integer_sequence<int, R...>) {
        ((f.quad_rows_used & (1u << R)
              ? candidate_quads<R>(f, total, from_quad, row_v, sums, chosen)
              : void()),
         ...);
    }
    (std::make_integer_sequence<int, lane_rows + 1>{});
    if (f.quad_rows_used & (1u << (lane_rows + 1)))
        hub_quads(f, total, from_quad, row_v, sums, chosen);
}

// full_estimate for every cell, four cells at a time where it can.
// - Where W is P (from `smaller` on) each lane starts from its own vertex's sums, own_at and
//   the sum from V's cell that the candidates' scan left in `sums`, and carries them on over V's
//   list: the terms from V's cell, the same in every lane, and those from W's cell, which lie side
//   by side along a diagonal and so are taken by the runs of four cells of the diagonals. A run
//   reaching past its diagonal writes cells that the next run writes again.
// - Where V is P (below `smaller`) each lane of a whole group of four carries V's two sums on
//   over its own vertex's list, +0.0 terms past its end; a group with a hub, and the group that
//   holds cell `smaller`, take each cell alone.
// Cells 285 .. 287 are given +inf again, as the scans below expect.
__attribute__((target("avx2"))) void wide_full(const FastScan& f, double total, int v, int smaller,
                                               const double* row_v, const double* sums,
                                               double* chosen) {
    const CellGrid& m = *f.map;
    const double* distance = m.distance.data() + max_key;  // distance[key[a] + k] = row(a)[k]
    const int* keys = f.keys_at.data();
    const int* v_keys = f.out_keys.data() + f.out_first[v];
    const int v_degree = f.degree[v];
    const __m256d totals = _mm256_set1_pd(total);
    for (int i = m.runs_below[m.diagonal[smaller]]; i < m.runs_below[diagonals]; ++i) {
        const int c = m.run_cell[i];
        const double* entries = m.distance.data() + m.run_offset[i];
        __m256d old = _mm256_loadu_pd(f.own_at.data() + c);
        __m256d nw = _mm256_loadu_pd(sums + c);
        for (int t = 0; t < v_degree; ++t) {
            old = _mm256_add_pd(old, _mm256_set1_pd(row_v[v_keys[t]]));
            nw = _mm256_add_pd(nw, _mm256_loadu_pd(entries + v_keys[t]));
        }
        _mm256_storeu_pd(chosen + c, _mm256_add_pd(_mm256_sub_pd(totals, old), nw));
    }
    for (int q = 0; 4 * q < smaller; ++q) {
        const int c = 4 * q;
        const int rows = f.quad_degree[q];
        if (c + 4 > smaller || rows > lane_rows) {
            for (int cw = c; cw < std::min(c + 4, smaller); ++cw)
                chosen[cw] = f.full_estimate(total, v, cw, smaller, row_v);
            continue;
        }
        int cell_keys[4];
        for (int i = 0; i < 4; ++i)
            cell_keys[i] = m.key[c + i];
        __m256d old = _mm256_set1_pd(f.own[v]);
        __m256d nw = _mm256_loadu_pd(f.on_cell.data() + c);
        for (int t = 0; t < rows; ++t) {
            const int* k = keys + t * padded_cells + c;
            old = _mm256_add_pd(old, load4(distance, k, cell_keys));
            nw = _mm256_add_pd(nw, load4(row_v, k));
        }
        _mm256_store_pd(chosen + c, _mm256_add_pd(_mm256_sub_pd(totals, old), nw));
    }
    for (int k = vertex_count; k < padded_cells; ++k)
        chosen[k] = std::numeric_limits<double>::infinity();
}

// lowest_partner: the lowest value below `start` and the first position that holds it, or -1.
// Six registers of four lanes take the lowest value; then four registers take the lowest
// position among the cells that hold it, each position as a double (exact for these small
// whole numbers) and +inf where a cell does not hold the value. No branch depends on the
// values, which trades keep changing, and however many cells hold the lowest value (on a grid
// many estimates are equal) the work is the same.
__attribute__((target("avx2"))) int wide_lowest_partner(const double* chosen,
                                                        const double* position_key, double start) {
    __m256d low[6];
    for (__m256d& l : low)
        l = _mm256_set1_pd(start);
    for (int k = 0; k < padded_cells; k += 24)
        for (int i = 0; i < 6; ++i)
            low[i] = _mm256_min_pd(_mm256_load_pd(chosen + k + 4 * i), low[i]);
    __m256d both = _mm256_min_pd(_mm256_min_pd(low[0], low[1]), _mm256_min_pd(low[2], low[3]));
    both = _mm256_min_pd(both, _mm256_min_pd(low[4], low[5]));
    alignas(32) double four[4];
    _mm256_store_pd(four, both);
    double lowest = start;
    for (double value : four)
        lowest = value < lowest ? value : lowest;
    if (!(lowest < start)) return -1;
    const __m256d target = _mm256_set1_pd(lowest);
    const __m256d none = _mm256_set1_pd(std::numeric_limits<double>::infinity());
    __m256d first[4] = {none, none, none, none};
    for (int k = 0; k < padded_cells; k += 16)
        for (int i = 0; i < 4; ++i) {
            const __m256d holds =
                _mm256_cmp_pd(_mm256_load_pd(chosen + k + 4 * i), target, _CMP_EQ_OQ);
            first[i] = _mm256_min_pd(
                first[i], _mm256_blendv_pd(none, _mm256_load_pd(position_key + k + 4 * i), holds));
        }
    _mm256_store_pd(
        four, _mm256_min_pd(_mm256_min_pd(first[0], first[1]), _mm256_min_pd(first[2], first[3])));
    return static_cast<int>(std::min(std::min(four[0], four[1]), std::min(four[2], four[3])));
}

}  // namespace
#endif

FastScan::FastScan(const Graph& g, Lanes wanted)
    : lanes(wanted == Lanes::wide && wide_lanes_supported() ? Lanes::wide : Lanes::narrow) {
    const CellGrid& m = *map;
    for (int v = 0; v < vertex_count; ++v) {
        cell[v] = m.cell_number[cell_index(g.vrcholy[v].x, g.vrcholy[v].y)];
        at[cell[v]] = v;
        position[g.vrcholy_sorted[v]] = v;
    }
    for (int v = 0; v < vertex_count; ++v)
        position_at[cell[v]] = position[v];
    for (int c = 0; c < padded_cells; ++c)
        position_key[c] = c < vertex_count ? position_at[c] : vertex_count;
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
    own_before.assign(out_keys.size(), 0.0);
    for (std::size_t slot = 0; slot < out_keys.size(); ++slot)
        slot_row.push_back((static_cast<int>(slot) - out_first[slot_owner[slot]]) * padded_cells);
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
        refresh_own(v);
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
    if (lanes == Lanes::wide) {
        for (int v = 0; v < vertex_count; ++v)
            key_rows = std::max(key_rows, degree[v]);
        // At least one row, even without edges: the scan takes a pointer into it (a null
        // pointer plus an offset is undefined, though no entry is read then).
        keys_at.assign(static_cast<std::size_t>(std::max(key_rows, 1)) * padded_cells, padding_key);
        for (int q = 0; q < padded_cells / 4; ++q)
            count_quad(q, 1);
        for (int c = 0; c < vertex_count; ++c)
            refresh_cell(c);
    }
}

// The wide lists of the vertex on cell c, from out_keys, and the largest degree of its group.
void FastScan::refresh_cell(int c) {
    const int v = at[c];
    const int rows = std::max(degree_at[c], degree[v]);  // past both lists: padding already
    degree_at[c] = degree[v];
    own_at[c] = own[v];
    for (int t = 0; t < rows; ++t)
        keys_at[t * padded_cells + c] = t < degree[v] ? out_keys[out_first[v] + t] : padding_key;
    const int q = c / 4;
    const int largest = std::max(
        {degree_at[4 * q], degree_at[4 * q + 1], degree_at[4 * q + 2], degree_at[4 * q + 3]});
    if (largest == quad_degree[q]) return;
    count_quad(q, -1);
    quad_degree[q] = largest;
    count_quad(q, 1);
}

void FastScan::count_quad(int q, int change) {
    const int r = std::min(quad_degree[q], lane_rows + 1);
    quads_by_rows[r][q / 64] ^= std::uint64_t{1} << (q % 64);
    quads_with_rows[r] += change;
    if (quads_with_rows[r] == 0)
        quad_rows_used &= ~(1u << r);
    else
        quad_rows_used |= 1u << r;
}

// own[u] from u's current cell, and the sums before each of its terms.
void FastScan::refresh_own(int u) {
    const double* row = map->row(cell[u]);
    double sum = 0;
    for (int s = out_first[u]; s < out_first[u + 1]; s += chunk)  // the padding adds +0.0
        for (int t = s; t < s + chunk; ++t) {
            own_before[t] = sum;
            sum += row[out_keys[t]];
        }
    own[u] = sum;
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
    const CellGrid& m = *map;
    const int* first = out_keys.data() + out_first[v];
    const int count = degree[v];
    for (int i = 0; i < m.runs_below[diagonal]; ++i) {
        const double* entries = m.distance.data() + m.run_offset[i];
        const int c = m.run_cell[i];
#if defined(__SSE2__) && !defined(ORV_LAYOUT_PORTABLE)
        __m128d a0 = _mm_setzero_pd(), a1 = _mm_setzero_pd();
        for (int t = 0; t < count; ++t) {
            a0 = _mm_add_pd(a0, _mm_loadu_pd(entries + first[t]));
            a1 = _mm_add_pd(a1, _mm_loadu_pd(entries + first[t] + 2));
        }
        _mm_storeu_pd(&on_cell[c], a0);
        _mm_storeu_pd(&on_cell[c + 2], a1);
#else
        double sum[4] = {0, 0, 0, 0};
        for (int t = 0; t < count; ++t)
            for (int k = 0; k < 4; ++k)
                sum[k] += entries[first[t] + k];
        for (int k = 0; k < 4; ++k)
            on_cell[c + k] = sum[k];
#endif
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
// out; the padding is left out.
void FastScan::add_terms(int p, int q, double& old, double& nw) const {
    const CellGrid& m = *map;
    const int cq = cell[q];
    const int q_slot = -m.key[cq];
    const double* row_p = m.row(cell[p]);
    const double* row_q = m.row(cq);
    const int* s = out_keys.data() + out_first[p];
    const int* end = s + degree[p];
    for (; s != end; ++s) {
        old += *s == q_slot ? 0.0 : row_p[*s];
        nw += row_q[*s];
    }
}

// `checkswitch` for the vertices v and w on their cells.
Estimate FastScan::exact_estimate(double total, int v, int w) const {
    const CellGrid& m = *map;
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

// The `old` sum of add_terms(p, q, ...) alone: P's edge lengths from its own cell in list order,
// those to Q replaced by +0.0. Up to Q's first entry that is the sum own_before holds, so the
// additions start there.
double FastScan::own_without(int p, int q) const {
    const int q_slot = -map->key[cell[q]];
    const double* row_p = map->row(cell[p]);
    const int* keys = out_keys.data();
    const int end = out_first[p] + degree[p];
    int s = out_first[p];
    while (keys[s] != q_slot)  // P lists Q
        ++s;
    double old = own_before[s];
    for (++s; s < end; ++s)
        old += keys[s] == q_slot ? 0.0 : row_p[keys[s]];
    return old;
}

// The position of the first vertex in depth order whose estimate in `chosen` is the smallest,
// when that is below `start`; else -1. Equal to scanning the positions in order and keeping a
// value only when it is strictly lower: the smallest value does not depend on the order, and
// among the cells that hold it the one whose vertex comes first wins.
int FastScan::lowest_partner(double start) const {
#ifdef ORV_LAYOUT_WIDE
    if (lanes == Lanes::wide) return wide_lowest_partner(chosen.data(), position_key.data(), start);
#endif
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

// The e0 of V with the vertex W on cell cw: P's sums carried on over Q's edges, in list order.
// on_cell holds V's sums from the cells below `smaller` (where V is P).
double FastScan::full_estimate(double total, int v, int cw, int smaller,
                               const double* row_v) const {
    const CellGrid& m = *map;
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
    return (total - old) + nw;
}

Choice FastScan::best_partner(const Graph& g, int j, int c) {
    const double total = g.sum_total;
    const int v = g.vrcholy_sorted[j];
    const CellGrid& m = *map;
    const int cv = cell[v];
    const int smaller =
        m.first_of_diagonal[m.diagonal[cv]];  // cells of smaller diagonals: 0 .. smaller - 1
    const double* row_v = m.row(cv);
    const double v_base = total - own[v];

    // Invariant: own and out_keys describe the current cells, so chosen[cw] is element c of the
    // estimate with the vertex on cell cw unless one of the pair lists the other.
#ifdef ORV_LAYOUT_WIDE
    if (lanes == Lanes::wide) {
        // The candidates first: their groups of four from the one that holds cell `smaller`
        // write cells below it too, which the sums on cells then write again.
        wide_candidates(*this, total, smaller / 4, row_v, from_v.data(), chosen.data());
        wide_sums_on_cells(m, out_keys.data() + out_first[v], degree[v], m.diagonal[cv], v_base,
                           on_cell.data(), chosen.data());
        if (c == 0) wide_full(*this, total, v, smaller, row_v, from_v.data(), chosen.data());
    } else
#endif
    {
        sums_on_cells(v, m.diagonal[cv]);
        if (c == 1) {
            for (int cw = 0; cw < smaller; ++cw)
                chosen[cw] = v_base + on_cell[cw];
            sums_of_candidates(total, smaller, row_v);
        } else {
            for (int cw = 0; cw < vertex_count; ++cw)
                chosen[cw] = full_estimate(total, v, cw, smaller, row_v);
        }
    }
    // Pairs where one lists the other, as written: for e1 only when P lists Q. The wide loops
    // have already summed P's list from Q's cell in list order: V's in on_cell (where V is P),
    // W's in from_v (where W is P). A term for an edge to Q is +0.0 there (Q's cell is 0 from
    // itself), as leaving it out is, so each is the `nw` of the estimate as written and only
    // `old` is summed again.
    if (c == 1 && lanes == Lanes::wide) {
        for (int i = lists_first[v]; i < lists_first[v + 1]; ++i) {
            const int w = lists[i];
            if (cell[w] < smaller) chosen[cell[w]] = (total - own_without(v, w)) + on_cell[cell[w]];
        }
        for (int i = listed_first[v]; i < listed_first[v + 1]; ++i) {
            const int w = listed[i];
            if (cell[w] >= smaller) chosen[cell[w]] = (total - own_without(w, v)) + from_v[cell[w]];
        }
    } else if (c == 1) {
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
    const CellGrid& m = *map;
    const int moved[2] = {g.vrcholy_sorted[j], g.vrcholy_sorted[k]};
    for (int v : moved)
        flip_degree_bit(v);
    std::swap(cell[moved[0]], cell[moved[1]]);
    ++trades;
    const bool wide = lanes == Lanes::wide;
    for (int v : moved) {
        at[cell[v]] = v;
        position_at[cell[v]] = position[v];
        position_key[cell[v]] = position[v];
        flip_degree_bit(v);
        // The entries naming v, and for the wide loops their copies by cell (a moved owner's
        // whole list is copied again just below).
        const int key = -m.key[cell[v]];
        for (int i = in_first[v]; i < in_first[v + 1]; ++i) {
            const int slot = in_slots[i];
            out_keys[slot] = key;
            if (wide) keys_at[slot_row[slot] + cell[slot_owner[slot]]] = key;
        }
    }
    if (wide)  // the two moved lists whole, on their new cells (own_at follows below)
        for (int v : moved)
            refresh_cell(cell[v]);
    auto once = [&](int u) {
        if (stamp[u] == trades) return;
        stamp[u] = trades;
        refresh_own(u);
        own_at[cell[u]] = own[u];
    };
    for (int v : moved) {
        once(v);
        for (int i = in_first[v]; i < in_first[v + 1]; ++i)
            once(slot_owner[in_slots[i]]);
    }
}

}  // namespace layout
