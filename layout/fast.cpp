#include "fast.hpp"

#include "placement.hpp"

#include <cmath>
#include <cstdlib>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace layout {

const mrizka& grid() {
    static const std::unique_ptr<mrizka> m = [] {
        auto g = std::make_unique<mrizka>();
        const std::array<pole, pocet_vrcholu> cells = diagonalni_poradi();
        for (int a = 0; a < pocet_vrcholu; ++a) {
            g->diagonala[a] = cells[a].x + cells[a].y;
            g->cislo[bunka(cells[a].x, cells[a].y)] = a;
            for (int b = 0; b < radek_tabulky; ++b) {
                if (b >= pocet_vrcholu) {
                    g->d[a].c[b] = 0;
                    continue;
                }
                const int dx = cells[a].x - cells[b].x;
                const int dy = cells[a].y - cells[b].y;
                g->d[a].c[b] = std::sqrt(static_cast<double>(dx * dx + dy * dy));
            }
        }
        for (int a = pocet_vrcholu - 1; a >= 0; --a) g->prvni[g->diagonala[a]] = a;
        g->prvni[33] = pocet_vrcholu;
        return g;
    }();
    return *m;
}

rychly_stav::rychly_stav(const graf& g) : on_cell(pocet_vrcholu) {
    const mrizka& m = grid();
    for (int v = 0; v < pocet_vrcholu; ++v) {
        cell[v] = m.cislo[bunka(g.vrcholy[v].x, g.vrcholy[v].y)];
        at[cell[v]] = v;
        position[g.vrcholy_sorted[v]] = v;
    }
    std::vector<std::vector<int>> listed_by(pocet_vrcholu);
    for (int v = 0; v < pocet_vrcholu; ++v) {
        out_first.push_back(static_cast<int>(out_cells.size()));
        const vrchol& r = g.vrcholy[v];
        for (int k = 0; k < r.pocet; ++k) {
            const int n = r.sousede[k];
            if (n == v) continue;
            listed_by[n].push_back(static_cast<int>(out_cells.size()));
            out_cells.push_back(cell[n]);
            slot_owner.push_back(v);
        }
    }
    out_first.push_back(static_cast<int>(out_cells.size()));
    std::vector<char> seen(pocet_vrcholu, 0);
    for (int v = 0; v < pocet_vrcholu; ++v) {
        in_first.push_back(static_cast<int>(in_slots.size()));
        in_slots.insert(in_slots.end(), listed_by[v].begin(), listed_by[v].end());
        near_first.push_back(static_cast<int>(near.size()));
        const std::size_t start = near.size();
        auto add = [&](int w) {
            if (w == v || seen[w]) return;
            seen[w] = 1;
            near.push_back(w);
        };
        const vrchol& r = g.vrcholy[v];
        for (int k = 0; k < r.pocet; ++k) add(r.sousede[k]);
        for (int slot : listed_by[v]) add(slot_owner[slot]);
        for (std::size_t i = start; i < near.size(); ++i) seen[near[i]] = 0;
    }
    in_first.push_back(static_cast<int>(in_slots.size()));
    near_first.push_back(static_cast<int>(near.size()));
    for (int v = 0; v < pocet_vrcholu; ++v) refresh(v);
}

// Recomputes own[v] and the row on_cell[v]. Vector lanes run across cells, never across the terms
// of one sum: each lane adds v's terms in list order.
void rychly_stav::refresh(int v) {
    const mrizka& m = grid();
    const int* first = out_cells.data() + out_first[v];
    const int count = out_first[v + 1] - out_first[v];
    double* out = on_cell[v].c;
#if defined(__SSE2__)
    for (int c = 0; c < radek_tabulky; c += 8) {
        __m128d a0 = _mm_setzero_pd(), a1 = _mm_setzero_pd();
        __m128d a2 = _mm_setzero_pd(), a3 = _mm_setzero_pd();
        for (int t = 0; t < count; ++t) {
            const double* row = m.d[first[t]].c + c;
            a0 = _mm_add_pd(a0, _mm_load_pd(row));
            a1 = _mm_add_pd(a1, _mm_load_pd(row + 2));
            a2 = _mm_add_pd(a2, _mm_load_pd(row + 4));
            a3 = _mm_add_pd(a3, _mm_load_pd(row + 6));
        }
        _mm_store_pd(out + c, a0);
        _mm_store_pd(out + c + 2, a1);
        _mm_store_pd(out + c + 4, a2);
        _mm_store_pd(out + c + 6, a3);
    }
#else
    for (int c = 0; c < radek_tabulky; ++c) {
        double sum = 0;
        for (int t = 0; t < count; ++t) sum += m.d[first[t]].c[c];
        out[c] = sum;
    }
#endif
    own[v] = out[cell[v]];
}

// `checkswitch` for the vertices v and w on their cells, as written, with table distances.
void rychly_stav::terms(const graf& g, int from, int to, double& old, double& nw) const {
    const mrizka& m = grid();
    const double* row_from = m.d[cell[from]].c;
    const double* row_to = m.d[cell[to]].c;
    const vrchol& r = g.vrcholy[from];
    for (int k = 0; k < r.pocet; ++k) {
        const int n = r.sousede[k];
        if (n == from || n == to) continue;
        const double d1 = row_from[cell[n]];
        const double d2 = row_to[cell[n]];
        if (d1 != 0 && d2 != 0) {
            old += d1;
            nw += d2;
        }
    }
}

odhad rychly_stav::presne(const graf& g, int v, int w) const {
    const mrizka& m = grid();
    const bool v_is_p = m.diagonala[cell[v]] > m.diagonala[cell[w]];
    const int p = v_is_p ? v : w;
    const int q = v_is_p ? w : v;
    double old = 0, nw = 0;
    odhad e;
    terms(g, p, q, old, nw);
    e.e1 = (g.sum_total - old) + nw;
    terms(g, q, p, old, nw);
    e.e0 = (g.sum_total - old) + nw;
    return e;
}

namespace {

// The first position holding the smallest value, when that value is below `start`; else -1.
// Equal to scanning in order and keeping a value only when it is strictly lower.
int first_lowest(const double* values, int count, double start) {
    double lowest = start;
    for (int k = 0; k < count; ++k) lowest = values[k] < lowest ? values[k] : lowest;
    if (!(lowest < start)) return -1;
    for (int k = 0; k < count; ++k)
        if (values[k] == lowest) return k;
    return -1;
}

}  // namespace

volba rychly_stav::nejlepsi_partner(const graf& g, int j, int c) {
    const double total = g.sum_total;
    const int v = g.vrcholy_sorted[j];
    const mrizka& m = grid();
    const int cv = cell[v];
    const int smaller = m.prvni[m.diagonala[cv]];  // cells of smaller diagonals: 0 .. smaller - 1
    const double* v_on = on_cell[v].c;

    // Invariant: own, on_cell and out_cells describe the current cells, so chosen[k] is element c
    // of the estimate for position k unless one of the pair lists the other.
    if (c == 1) {
        const double v_base = total - own[v];
        for (int k = 0; k < pocet_vrcholu; ++k) {
            const int w = g.vrcholy_sorted[k];
            const int cw = cell[w];
            const double v_moves = v_base + v_on[cw];
            const double w_moves = (total - own[w]) + on_cell[w].c[cv];
            chosen[k] = cw < smaller ? v_moves : w_moves;
        }
    } else {
        for (int k = 0; k < pocet_vrcholu; ++k) {
            const int w = g.vrcholy_sorted[k];
            const int cw = cell[w];
            const bool v_is_p = cw < smaller;
            const int q = v_is_p ? w : v;
            const double* row_p = m.d[v_is_p ? cv : cw].c;
            const double* row_q = m.d[v_is_p ? cw : cv].c;
            double old = v_is_p ? own[v] : own[w];
            double nw = v_is_p ? v_on[cw] : on_cell[w].c[cv];
            for (int s = out_first[q]; s < out_first[q + 1]; ++s) {
                old += row_q[out_cells[s]];
                nw += row_p[out_cells[s]];
            }
            chosen[k] = (total - old) + nw;
        }
    }
    for (int i = near_first[v]; i < near_first[v + 1]; ++i) {
        const odhad e = presne(g, v, near[i]);
        chosen[position[near[i]]] = c == 0 ? e.e0 : e.e1;
    }
    chosen[j] = total;  // never strictly below the start value

    volba best{{total, total}, first_lowest(chosen.data(), pocet_vrcholu, total)};
    if (best.partner >= 0) best.sum_max = presne(g, v, g.vrcholy_sorted[best.partner]);
    return best;
}

void rychly_stav::po_vymene(const graf& g, int j, int k) {
    const int moved[2] = {g.vrcholy_sorted[j], g.vrcholy_sorted[k]};
    std::swap(cell[moved[0]], cell[moved[1]]);
    ++trades;
    for (int v : moved) {
        at[cell[v]] = v;
        for (int i = in_first[v]; i < in_first[v + 1]; ++i) out_cells[in_slots[i]] = cell[v];
    }
    auto once = [&](int u) {
        if (stamp[u] == trades) return;
        stamp[u] = trades;
        refresh(u);
    };
    for (int v : moved) {
        once(v);
        for (int i = in_first[v]; i < in_first[v + 1]; ++i) once(slot_owner[in_slots[i]]);
    }
}

}  // namespace layout
