#include "fast.hpp"

#include "placement.hpp"

#include <cmath>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace layout {

const CellGrid& grid() {
    static const std::unique_ptr<CellGrid> m = [] {
        auto g = std::make_unique<CellGrid>();
        const std::array<Cell, vertex_count> cells = diagonal_order();
        for (int a = 0; a < vertex_count; ++a) {
            g->diagonal[a] = cells[a].x + cells[a].y;
            g->cell_number[cell_index(cells[a].x, cells[a].y)] = a;
            for (int b = 0; b < row_stride; ++b) {
                if (b >= vertex_count) {
                    g->d[a].c[b] = 0;
                    continue;
                }
                const int dx = cells[a].x - cells[b].x;
                const int dy = cells[a].y - cells[b].y;
                g->d[a].c[b] = std::sqrt(static_cast<double>(dx * dx + dy * dy));
            }
        }
        for (int a = vertex_count - 1; a >= 0; --a)
            g->first_of_diagonal[g->diagonal[a]] = a;
        g->first_of_diagonal[33] = vertex_count;
        return g;
    }();
    return *m;
}

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
        out_first.push_back(static_cast<int>(out_cells.size()));
        const vrchol& r = g.vrcholy[v];
        for (int k = 0; k < r.pocet; ++k) {
            const int n = r.sousede[k];
            if (n == v) continue;
            listed_by[n].push_back(static_cast<int>(out_cells.size()));
            out_cells.push_back(cell[n]);
            slot_owner.push_back(v);
        }
        degree.push_back(static_cast<int>(out_cells.size()) - out_first[v]);
        while (out_cells.size() % chunk != 0) {
            out_cells.push_back(vertex_count);  // a padding column: distance 0
            slot_owner.push_back(v);
        }
    }
    out_first.push_back(static_cast<int>(out_cells.size()));
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
    for (int v = 0; v < vertex_count; ++v)
        own[v] = sum_from(v, grid().d[cell[v]].c);
}

// The sum of w's edge lengths measured from the cell whose distance row is `row`, in list order.
double FastScan::sum_from(int w, const double* row) const {
    const int* s = out_cells.data() + out_first[w];
    const int* end = out_cells.data() + out_first[w + 1];
    double sum = 0;
    for (; s != end; s += chunk)
        for (int t = 0; t < chunk; ++t)
            sum += row[s[t]];
    return sum;
}

// on_cell[c] = the sum of v's edge lengths if v stood on cell c, for every c < cells (a multiple
// of 8). Vector lanes run across cells, never across the terms of one sum: each lane adds v's
// terms in list order.
void FastScan::sums_on_cells(int v, int cells) {
    const CellGrid& m = grid();
    const int* first = out_cells.data() + out_first[v];
    const int count = degree[v];
#if defined(__SSE2__)
    for (int c = 0; c < cells; c += 8) {
        __m128d a0 = _mm_setzero_pd(), a1 = _mm_setzero_pd();
        __m128d a2 = _mm_setzero_pd(), a3 = _mm_setzero_pd();
        for (int t = 0; t < count; ++t) {
            const double* row = m.d[first[t]].c + c;
            a0 = _mm_add_pd(a0, _mm_load_pd(row));
            a1 = _mm_add_pd(a1, _mm_load_pd(row + 2));
            a2 = _mm_add_pd(a2, _mm_load_pd(row + 4));
            a3 = _mm_add_pd(a3, _mm_load_pd(row + 6));
        }
        _mm_store_pd(&on_cell[c], a0);
        _mm_store_pd(&on_cell[c + 2], a1);
        _mm_store_pd(&on_cell[c + 4], a2);
        _mm_store_pd(&on_cell[c + 6], a3);
    }
#else
    for (int c = 0; c < cells; ++c) {
        double sum = 0;
        for (int t = 0; t < count; ++t)
            sum += m.d[first[t]].c[c];
        on_cell[c] = sum;
    }
#endif
}

// Adds P's terms to the two sums of an estimate: each edge's length from P's cell to `old` and
// from Q's cell to `nw`, in list order. The term of an edge to Q is +0.0 in both (its length from
// Q's cell is 0, and its length from P's cell is replaced by 0), which is the same as leaving it
// out; so are the padding terms.
void FastScan::add_terms(int p, int q, double& old, double& nw) const {
    const CellGrid& m = grid();
    const int cq = cell[q];
    const double* row_p = m.d[cell[p]].c;
    const double* row_q = m.d[cq].c;
    const int* s = out_cells.data() + out_first[p];
    const int* end = out_cells.data() + out_first[p + 1];
    for (; s != end; s += chunk)
        for (int t = 0; t < chunk; ++t) {
            old += s[t] == cq ? 0.0 : row_p[s[t]];
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

namespace {

// The first position holding the smallest value, when that value is below `start`; else -1.
// Equal to scanning in order and keeping a value only when it is strictly lower.
int first_lowest(const double* values, int count, double start) {
    double low[4] = {start, start, start, start};  // four chains: no comparison waits for the last
    int k = 0;
    for (; k + 4 <= count; k += 4)
        for (int i = 0; i < 4; ++i)
            low[i] = values[k + i] < low[i] ? values[k + i] : low[i];
    for (; k < count; ++k)
        low[0] = values[k] < low[0] ? values[k] : low[0];
    double lowest = low[0];
    for (int i = 1; i < 4; ++i)
        lowest = low[i] < lowest ? low[i] : lowest;
    if (!(lowest < start)) return -1;
    for (k = 0; k < count; ++k)
        if (values[k] == lowest) return k;
    return -1;
}

}  // namespace

Choice FastScan::best_partner(const Graph& g, int j, int c) {
    const double total = g.sum_total;
    const int v = g.vrcholy_sorted[j];
    const CellGrid& m = grid();
    const int cv = cell[v];
    const int smaller =
        m.first_of_diagonal[m.diagonal[cv]];  // cells of smaller diagonals: 0 .. smaller - 1
    const double* row_v = m.d[cv].c;
    sums_on_cells(v, (smaller + 7) / 8 * 8);

    // Invariant: own and out_cells describe the current cells, so chosen[k] is element c of the
    // estimate for position k unless one of the pair lists the other.
    if (c == 1) {
        const double v_base = total - own[v];
        for (int cw = 0; cw < smaller; ++cw)
            chosen[position_at[cw]] = v_base + on_cell[cw];
        for (int cw = smaller; cw < vertex_count; ++cw) {
            const int w = at[cw];
            chosen[position_at[cw]] = (total - own[w]) + sum_from(w, row_v);
        }
    } else {
        for (int cw = 0; cw < vertex_count; ++cw) {
            const int w = at[cw];
            const bool v_is_p = cw < smaller;
            const int q = v_is_p ? w : v;
            const double* row_p = v_is_p ? row_v : m.d[cw].c;
            const double* row_q = v_is_p ? m.d[cw].c : row_v;
            double old = v_is_p ? own[v] : own[w];
            double nw = v_is_p ? on_cell[cw] : sum_from(w, row_v);
            for (int s = out_first[q]; s < out_first[q] + degree[q]; ++s) {
                old += row_q[out_cells[s]];
                nw += row_p[out_cells[s]];
            }
            chosen[position_at[cw]] = (total - old) + nw;
        }
    }
    // Pairs where one lists the other, as written: for e1 only when P lists Q.
    if (c == 1) {
        for (int i = lists_first[v]; i < lists_first[v + 1]; ++i) {
            const int w = lists[i];
            if (cell[w] < smaller) chosen[position[w]] = exact_e1(total, v, w);
        }
        for (int i = listed_first[v]; i < listed_first[v + 1]; ++i) {
            const int w = listed[i];
            if (cell[w] >= smaller) chosen[position[w]] = exact_e1(total, w, v);
        }
    } else {
        for (int list : {0, 1}) {
            const std::vector<int>& first = list == 0 ? lists_first : listed_first;
            const std::vector<int>& who = list == 0 ? lists : listed;
            for (int i = first[v]; i < first[v + 1]; ++i)
                chosen[position[who[i]]] = exact_estimate(total, v, who[i]).e0;
        }
    }
    chosen[j] = total;  // never strictly below the start value

    Choice best{{total, total}, first_lowest(chosen.data(), vertex_count, total)};
    if (best.partner >= 0) best.sum_max = exact_estimate(total, v, g.vrcholy_sorted[best.partner]);
    return best;
}

void FastScan::after_trade(const Graph& g, int j, int k) {
    const int moved[2] = {g.vrcholy_sorted[j], g.vrcholy_sorted[k]};
    std::swap(cell[moved[0]], cell[moved[1]]);
    ++trades;
    for (int v : moved) {
        at[cell[v]] = v;
        position_at[cell[v]] = position[v];
        for (int i = in_first[v]; i < in_first[v + 1]; ++i)
            out_cells[in_slots[i]] = cell[v];
    }
    auto once = [&](int u) {
        if (stamp[u] == trades) return;
        stamp[u] = trades;
        own[u] = sum_from(u, grid().d[cell[u]].c);
    };
    for (int v : moved) {
        once(v);
        for (int i = in_first[v]; i < in_first[v + 1]; ++i)
            once(slot_owner[in_slots[i]]);
    }
}

}  // namespace layout
