#include "fast.hpp"
#include "helpers.hpp"
#include "improve.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

namespace {

using layout::Estimates;
using layout::Graph;
using layout_test::add_edge;
using layout_test::placed;

// Vertex 1 on (0,0) lists vertex 6 twice and vertex 10, on (0,2) and (0,3); vertex 2 on (1,0)
// lists vertex 3 on (0,1); nobody else lists anybody. For vertex 1 every partner lies on a larger
// diagonal and so is P.
TEST(Passes, TheOneSidedEstimateChoosesAPartnerWhoseFullEstimateForbidsTheTrade) {
    Graph g;
    for (const auto& [a, b] : {std::pair{1, 6}, {1, 6}, {1, 10}, {2, 3}})
        add_edge(g, a, b);
    g = placed(g);  // every depth but vertex 1's is 1000: table order, vertex k on the k-th cell
    const double s2 = std::sqrt(2.0), s5 = std::sqrt(5.0), s10 = std::sqrt(10.0);
    const double total = 7.0 + s2;
    ASSERT_EQ(g.sum_total, total);
    // By e1 only vertex 2 falls below the total: it would move next to vertex 3. Vertex 1 on
    // (1,0) lengthens its own three edges more than that gains, so e0 forbids the trade.
    const double old = ((s2 + 2.0) + 2.0) + 3.0, nw = ((1.0 + s5) + s5) + s10;
    for (const layout::Choice& by_e1 :
         {layout::best_partner(g, 0, 1), layout::FastScan(g).best_partner(g, 0, 1)}) {
        EXPECT_EQ(by_e1.partner, 1);
        EXPECT_EQ(by_e1.sum_max.e1, (total - s2) + 1.0);
        EXPECT_EQ(by_e1.sum_max.e0, (total - old) + nw);
        EXPECT_GT(by_e1.sum_max.e0, total);
    }
    // By e0 the best is vertex 9 on (1,2), one step from both copies of vertex 6.
    for (const layout::Choice& by_e0 :
         {layout::best_partner(g, 0, 0), layout::FastScan(g).best_partner(g, 0, 0)}) {
        EXPECT_EQ(by_e0.partner, 8);
        EXPECT_EQ(by_e0.sum_max.e1, total);
        EXPECT_EQ(by_e0.sum_max.e0, (total - 7.0) + ((1.0 + 1.0) + s2));
    }
}

}  // namespace
