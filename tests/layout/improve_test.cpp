#include "fast.hpp"
#include "helpers.hpp"
#include "improve.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

namespace {

using layout::graf;
using layout::odhady;
using layout_test::capture;
using layout_test::hrana;

TEST(Passes, TheFullEstimateDecidesForOneVertexInFifteen) {
    EXPECT_EQ(layout::kriterium(0, 0), 0);
    EXPECT_EQ(layout::kriterium(15, 0), 0);
    EXPECT_EQ(layout::kriterium(1, 0), 1);
    EXPECT_EQ(layout::kriterium(14, 1), 0);
    EXPECT_EQ(layout::kriterium(0, 1), 1);
    EXPECT_EQ(layout::kriterium(284, 16), 0);
}

// Random graphs with the features that shortcuts get wrong: self-loops, duplicate neighbours,
// hubs of 20 to 50 neighbours, pairs listing each other and vertices the file never mentions.
graf random_graph(std::uint32_t seed, int edges, int hubs) {
    std::mt19937 rnd(seed);
    auto pick = [&](int n) { return static_cast<int>(rnd() % static_cast<std::uint32_t>(n)); };
    graf g;
    auto add = [&](int a, int b) {
        if (g.vrcholy[a - 1].pocet < layout::max_sousedu) hrana(g, a, b);
    };
    auto mentioned = [&](int v) { return v % 23 != 5; }; // 12 vertices stay out of the file
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
        if (b < 1 || b > 285) b = a; // a self-loop
        add(a, b);
        if (pick(3) == 0) add(b, a);  // listed from both ends
        if (pick(20) == 0) add(a, b); // a duplicate
    }
    return g;
}

// A random graph, placed, with its first total.
graf placed_random(std::uint32_t seed, int edges, int hubs) {
    graf g = random_graph(seed, edges, hubs);
    capture quiet;
    layout::priprav(g, quiet.stream);
    return g;
}

// The fast scan gives every vertex the same partner and the same estimate bits as the plain one,
// in both criteria, in every state the passes go through.
TEST(FastPasses, ChooseTheSamePartnersAndEstimatesAsThePlainScan) {
    for (std::uint32_t seed : {1u, 2u, 3u, 4u, 5u}) {
        graf g = placed_random(seed, 300 + 200 * seed, seed % 4);
        layout::rychly_stav fast(g);
        for (int p = 0; p < 3; ++p) {
            for (int j = 0; j < 285; ++j) {
                for (int c : {0, 1}) {
                    const layout::volba a = layout::nejlepsi_partner(g, j, c);
                    const layout::volba b = fast.nejlepsi_partner(g, j, c);
                    ASSERT_EQ(a.partner, b.partner) << seed << " " << p << " " << j << " " << c;
                    ASSERT_EQ(a.sum_max.e0, b.sum_max.e0);
                    ASSERT_EQ(a.sum_max.e1, b.sum_max.e1);
                }
                const layout::volba best = layout::nejlepsi_partner(g, j, layout::kriterium(j, p));
                if (g.sum_total > best.sum_max.e0) {
                    layout::vymen(g, j, best.partner);
                    fast.po_vymene(g, j, best.partner);
                    g.sum_total = best.sum_max.e0;
                }
            }
        }
    }
}

TEST(FastPasses, WriteTheSameTotalsAndEndInTheSamePlacement) {
    struct shape {
        std::uint32_t seed;
        int edges, hubs;
    };
    for (const shape s :
         {shape{11, 300, 0}, shape{12, 1000, 2}, shape{13, 150, 6}, shape{14, 1400, 1}}) {
        const graf start = placed_random(s.seed, s.edges, s.hubs);
        graf plain = start, fast = start;
        capture plain_totals, fast_totals;
        const int limit = 40;
        EXPECT_EQ(layout::zlepsuj(plain, plain_totals.stream, odhady::plain, limit),
                  layout::zlepsuj(fast, fast_totals.stream, odhady::fast, limit));
        EXPECT_EQ(plain_totals.take(), fast_totals.take()) << s.seed;
        EXPECT_EQ(plain.tabulka, fast.tabulka);
        for (int v = 0; v < 285; ++v) {
            EXPECT_EQ(plain.vrcholy[v].x, fast.vrcholy[v].x);
            EXPECT_EQ(plain.vrcholy[v].y, fast.vrcholy[v].y);
        }
    }
}

} // namespace
