#include "fast.hpp"
#include "helpers.hpp"
#include "improve.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

using layout::Estimates;
using layout::Graph;
using layout_test::add_edge;
using layout_test::Capture;
using layout_test::placed;

// The loops this build and processor can run: narrow always, wide where supported. A machine
// without the wide ones says so, so that a run that tested only one path is not mistaken for both.
std::vector<layout::Lanes> available_lanes() {
    if (layout::wide_lanes_supported()) return {layout::Lanes::narrow, layout::Lanes::wide};
    std::printf("note: no wide loops in this build or on this processor; narrow ones only\n");
    return {layout::Lanes::narrow};
}

// Random graphs with the features that shortcuts get wrong: self-loops, duplicate neighbours,
// hubs of 20 to 50 neighbours, pairs listing each other and vertices the file never mentions.
Graph random_graph(std::uint32_t seed, int edges, int hubs) {
    std::mt19937 rnd(seed);
    auto pick = [&](int n) { return static_cast<int>(rnd() % static_cast<std::uint32_t>(n)); };
    Graph g;
    auto add = [&](int a, int b) {
        if (g.vrcholy[a - 1].pocet < layout::max_neighbours) add_edge(g, a, b);
    };
    auto mentioned = [&](int v) { return v % 23 != 5; };  // 12 vertices stay out of the file
    for (int h = 0; h < hubs; ++h) {
        const int hub = 2 + pick(284);
        const int count = 20 + pick(31);
        for (int i = 0; i < count; ++i)
            add(hub, 1 + pick(285));
    }
    for (int i = 0; i < edges; ++i) {
        const int a = 1 + pick(285);
        if (!mentioned(a)) continue;
        int b = pick(4) == 0 ? 1 + pick(285) : a + pick(7) - 3;
        if (b < 1 || b > 285) b = a;  // a self-loop
        add(a, b);
        if (pick(3) == 0) add(b, a);   // listed from both ends
        if (pick(20) == 0) add(a, b);  // a duplicate
    }
    return g;
}

// Lists that random ones rarely give: a vertex that about 150 others list (a trade of it refreshes
// their cached sums), hubs of exactly 50 entries that repeat one partner and themselves while the
// partner lists them back, and lists made only of self-loops, over a sparse chain.
Graph tangled_graph(std::uint32_t seed) {
    std::mt19937 rnd(seed);
    auto pick = [&](int n) { return 1 + static_cast<int>(rnd() % static_cast<std::uint32_t>(n)); };
    Graph g;
    auto add = [&](int a, int b) {
        if (g.vrcholy[a - 1].pocet < layout::max_neighbours) add_edge(g, a, b);
    };
    for (int v = 2; v <= 285; ++v)
        if (pick(3) == 1) add(v, v - 1);
    const int listed_by_many = pick(285);
    for (int i = 0; i < 150; ++i)
        add(pick(285), listed_by_many);
    for (int h = 0; h < 4; ++h) {
        const int hub = pick(285), partner = pick(285);
        g.vrcholy[hub - 1].pocet = 0;
        for (int i = 0; i < layout::max_neighbours; ++i) {
            const int r = pick(4);
            add(hub, r == 1 ? hub : r == 2 ? partner : r == 3 ? listed_by_many : pick(285));
        }
        add(partner, hub);
    }
    for (int i = 0; i < 6; ++i) {
        const int v = pick(285);
        g.vrcholy[v - 1].pocet = 0;
        for (int k = pick(3); k > 0; --k)
            add(v, v);
    }
    return g;
}

// A random graph, placed, with its first total.
Graph placed_random(std::uint32_t seed, int edges, int hubs) {
    return placed(random_graph(seed, edges, hubs));
}

// The fast scan gives every vertex the same partner and the same estimate bits as the plain one,
// in both criteria, in every state the passes go through.
TEST(FastPasses, ChooseTheSamePartnersAndEstimatesAsThePlainScan) {
    for (const layout::Lanes lanes : available_lanes())
        for (std::uint32_t seed : {1u, 2u, 3u, 4u, 5u, 6u, 7u}) {
            Graph g = seed <= 5 ? placed_random(seed, 300 + 200 * seed, seed % 4)
                                : placed(tangled_graph(seed));
            layout::FastScan fast(g, lanes);
            ASSERT_EQ(fast.lanes, lanes);
            for (int p = 0; p < 3; ++p) {
                for (int j = 0; j < 285; ++j) {
                    for (int c : {0, 1}) {
                        const layout::Choice a = layout::best_partner(g, j, c);
                        const layout::Choice b = fast.best_partner(g, j, c);
                        ASSERT_EQ(a.partner, b.partner) << seed << " " << p << " " << j << " " << c
                                                        << " lanes " << static_cast<int>(lanes);
                        ASSERT_EQ(a.sum_max.e0, b.sum_max.e0);
                        ASSERT_EQ(a.sum_max.e1, b.sum_max.e1);
                    }
                    const layout::Choice best = layout::best_partner(g, j, layout::criterion(j, p));
                    if (g.sum_total > best.sum_max.e0) {
                        layout::trade_cells(g, j, best.partner);
                        fast.after_trade(g, j, best.partner);
                        g.sum_total = best.sum_max.e0;
                    }
                }
            }
        }
}

TEST(FastPasses, WriteTheSameTotalsAndEndInTheSamePlacement) {
    std::vector<Graph> starts = {placed_random(11, 300, 0), placed_random(12, 1000, 2),
                                 placed_random(13, 150, 6), placed_random(14, 1400, 1),
                                 placed(tangled_graph(15))};
    for (const Estimates way : {Estimates::fast, Estimates::fast_narrow})
        for (const Graph& start : starts) {
            Graph plain = start, fast = start;
            Capture plain_totals, fast_totals;
            const int limit = 40;
            EXPECT_EQ(layout::improve(plain, plain_totals.stream, Estimates::plain, limit),
                      layout::improve(fast, fast_totals.stream, way, limit));
            EXPECT_EQ(plain_totals.take(), fast_totals.take()) << &start - starts.data();
            EXPECT_EQ(plain.tabulka, fast.tabulka);
            for (int v = 0; v < 285; ++v) {
                EXPECT_EQ(plain.vrcholy[v].x, fast.vrcholy[v].x);
                EXPECT_EQ(plain.vrcholy[v].y, fast.vrcholy[v].y);
            }
        }
}

// Every vertex lists two or three others, no hubs, some pairs listing each other: on such a graph
// most vertices trade in every pass, so the scan's bookkeeping (the groups of four by the
// length of their lists, the cached sums) changes all the time. Over many passes both ways of
// the fast scan must still write what the plain one writes.
Graph sparse_graph(std::uint32_t seed) {
    std::mt19937 rnd(seed);
    auto pick = [&](int n) { return 1 + static_cast<int>(rnd() % static_cast<std::uint32_t>(n)); };
    Graph g;
    for (int a = 1; a <= 285; ++a)
        for (int count = 1 + pick(2); count > 0; --count) {
            const int b = pick(3) == 1 ? pick(285) : std::clamp(a + pick(7) - 4, 1, 285);
            add_edge(g, a, b == a ? pick(285) : b);
        }
    for (int i = 0; i < 30; ++i) {
        const int a = pick(285);
        const layout::vrchol& v = g.vrcholy[a - 1];
        if (v.pocet > 0 && v.sousede[0] + 1 != a) add_edge(g, v.sousede[0] + 1, a);
    }
    return g;
}

TEST(FastPasses, FollowTheirTradesOverManyPassesOnSparseGraphs) {
    for (std::uint32_t seed : {21u, 22u}) {
        const Graph start = placed(sparse_graph(seed));
        Graph plain = start;
        Capture plain_totals;
        const int limit = 150;
        const int status = layout::improve(plain, plain_totals.stream, Estimates::plain, limit);
        const std::string expected = plain_totals.take();
        for (const Estimates way : {Estimates::fast, Estimates::fast_narrow}) {
            Graph fast = start;
            Capture fast_totals;
            EXPECT_EQ(layout::improve(fast, fast_totals.stream, way, limit), status);
            EXPECT_EQ(fast_totals.take(), expected) << seed;
            EXPECT_EQ(fast.tabulka, plain.tabulka) << seed;
        }
    }
}

}  // namespace
