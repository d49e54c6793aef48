#include "cost.hpp"
#include "helpers.hpp"
#include "placement.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using layout::Graph;
using layout_test::add_edge;

TEST(Distance, IsTheStraightLineBetweenCells) {
    layout::vrchol a, b;
    b.x = 3;
    b.y = 4;
    EXPECT_EQ(layout::vzdalenost(&a, &b), 5.0);
    EXPECT_EQ(layout::vzdalenost(&b, &a), 5.0);
    EXPECT_EQ(layout::vzdalenost(&a, nullptr), 0.0);
    EXPECT_EQ(layout::vzdalenost(nullptr, &b), 0.0);
    EXPECT_EQ(layout::vzdalenostxy(0, 0, 3, 4), 5.0);
    EXPECT_EQ(layout::vzdalenostxy(1, 1, 2, 2), std::sqrt(2.0));
}

TEST(NewtonSqrt, ConvergesAndTreatsNonPositiveAsZero) {
    EXPECT_EQ(layout::sqrt(4), 2.0);
    EXPECT_EQ(layout::sqrt(0), 0.0);
    EXPECT_EQ(layout::sqrt(-3), 0.0);
    EXPECT_NEAR(layout::sqrt(2), std::sqrt(2.0), 1e-15);
    EXPECT_NEAR(layout::sqrt(1e10), 1e5, 1e-9);
}

// Vertices in table order on the first cells: 1 (0,0), 2 (1,0), 3 (0,1), 4 (2,0), 5 (1,1),
// 6 (0,2), 7 (3,0), 8 (2,1), 9 (1,2), 10 (0,3).
Graph placed(Graph g) {
    layout::init_vertices(g);
    layout::place_on_diagonals(g);
    g.sum_total = layout::get_total_sum(g);
    return g;
}

TEST(TotalSum, CountsAnEdgeListedByBothEndsTwice) {
    Graph g;
    add_edge(g, 1, 10);
    add_edge(g, 10, 1);
    add_edge(g, 2, 8);
    EXPECT_EQ(placed(g).sum_total, (3.0 + std::sqrt(2.0)) + 3.0);  // vertex 1, 2, then 10
}

TEST(Checkswitch, PIsOnTheLargerDiagonalOrOnTheSecondCell) {
    Graph g;
    add_edge(g, 2, 7);
    add_edge(g, 3, 6);
    g = placed(g);
    ASSERT_EQ(g.sum_total, 3.0);
    const double s5 = std::sqrt(5.0), s10 = std::sqrt(10.0);
    // Equal diagonals: P is vertex 3 on the second cell (0,1).
    layout::Estimate e = layout::checkswitch(g, 1, 0, 0, 1);
    EXPECT_EQ(e.e1, (3.0 - 1.0) + s5);
    EXPECT_EQ(e.e0, (3.0 - 3.0) + (s5 + s10));
    // Given the other way round, P is vertex 2, and its terms come first in both sums.
    e = layout::checkswitch(g, 0, 1, 1, 0);
    EXPECT_EQ(e.e1, (3.0 - 2.0) + s10);
    EXPECT_EQ(e.e0, (3.0 - 3.0) + (s10 + s5));
    // Vertex 8 on (2,1) lies on the larger diagonal whichever cell comes first; it lists nobody.
    for (const layout::Estimate& f :
         {layout::checkswitch(g, 1, 0, 2, 1), layout::checkswitch(g, 2, 1, 1, 0)}) {
        EXPECT_EQ(f.e1, 3.0);
        EXPECT_EQ(f.e0, (3.0 - 2.0) + std::sqrt(2.0));
    }
    // Q (vertex 1) lists nobody: e0 equals e1.
    e = layout::checkswitch(g, 0, 0, 0, 1);
    EXPECT_EQ(e.e1, (3.0 - 1.0) + 2.0);
    EXPECT_EQ(e.e0, e.e1);
    // Neither lists anybody.
    e = layout::checkswitch(g, 0, 0, 1, 1);
    EXPECT_EQ(e.e0, 3.0);
    EXPECT_EQ(e.e1, 3.0);
}

TEST(Checkswitch, LeavesOutEdgesBetweenTheTwoVertices) {
    Graph g;
    add_edge(g, 2, 3);
    add_edge(g, 2, 7);
    add_edge(g, 3, 6);
    add_edge(g, 3, 3);
    g = placed(g);
    const double total = ((0 + std::sqrt(2.0)) + 2.0) + 1.0;
    ASSERT_EQ(g.sum_total, total);
    const layout::Estimate e = layout::checkswitch(g, 1, 0, 0, 1);  // P = 3, Q = 2
    EXPECT_EQ(e.e1, (total - 1.0) + std::sqrt(5.0));
    EXPECT_EQ(e.e0, (total - 3.0) + (std::sqrt(5.0) + std::sqrt(10.0)));
}

TEST(Checkswitch, CellsOutsideTheGridLookNoBetter) {
    Graph g;
    add_edge(g, 2, 7);
    g = placed(g);
    for (const layout::Estimate& e :
         {layout::checkswitch(g, 15, 0, 0, 0), layout::checkswitch(g, 0, 0, 0, 19),
          layout::checkswitch(g, -1, 0, 0, 0), layout::checkswitch(g, 0, 0, 3, -1)}) {
        EXPECT_EQ(e.e0, 2.0 + 30);
        EXPECT_EQ(e.e1, 2.0 + 30);
    }
}

}  // namespace
