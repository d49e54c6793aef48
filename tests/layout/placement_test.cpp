#include "helpers.hpp"
#include "placement.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

using layout::Graph;
using layout_test::add_edge;
using layout_test::Capture;

TEST(Placement, WalksTheAntiDiagonalsFromTheCorner) {
    const auto cells = layout::diagonal_order();
    const std::pair<int, int> start[] = {{0, 0}, {1, 0}, {0, 1}, {2, 0}, {1, 1}, {0, 2}, {3, 0}};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(std::make_pair(cells[i].x, cells[i].y), start[i]) << i;
    // Diagonals 0 .. 14 are whole: 120 cells; diagonal 15 starts at (14,1).
    EXPECT_EQ(std::make_pair(cells[120].x, cells[120].y), std::make_pair(14, 1));
    EXPECT_EQ(std::make_pair(cells[119].x, cells[119].y), std::make_pair(0, 14));
    EXPECT_EQ(std::make_pair(cells[284].x, cells[284].y), std::make_pair(14, 18));
    std::vector<std::pair<int, int>> seen;
    for (int i = 0; i < 285; ++i) {
        seen.push_back({cells[i].x, cells[i].y});
        if (i > 0) {
            EXPECT_LE(cells[i - 1].x + cells[i - 1].y, cells[i].x + cells[i].y);
        }
    }
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(std::unique(seen.begin(), seen.end()), seen.end());
}

TEST(Depth, ChainFromTheFarEndTakes285Passes) {
    Graph g;
    add_edge(g, 285, 1);
    for (int k = 2; k < 285; ++k)
        add_edge(g, k, k + 1);
    layout::init_vertices(g);
    Capture trace;
    EXPECT_EQ(layout::compute_depths(g, trace.stream), 285);
    const std::string text = trace.take();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 285 * 284);
    EXPECT_EQ(g.vrcholy[284].hloubka, 1);
    EXPECT_EQ(g.vrcholy[1].hloubka, 284);
    EXPECT_EQ(g.vrcholy[0].hloubka, 0);
}

TEST(Depth, UnreachedVerticesEndAt1000) {
    Graph g;
    add_edge(g, 2, 3);  // 3 has no neighbours
    add_edge(g, 4, 4);  // only itself
    add_edge(g, 5, 1);
    add_edge(g, 6, 5);
    layout::init_vertices(g);
    Capture trace;
    EXPECT_EQ(layout::compute_depths(g, trace.stream), 2);
    EXPECT_EQ(trace.take().substr(0, 48), "The depth of 1 is 1000.\nThe depth of 2 is 1000.\n");
    EXPECT_EQ(g.vrcholy[1].hloubka, 1000);
    EXPECT_EQ(g.vrcholy[2].hloubka, 1000);
    EXPECT_EQ(g.vrcholy[3].hloubka, 1000);
    EXPECT_EQ(g.vrcholy[4].hloubka, 1);
    EXPECT_EQ(g.vrcholy[5].hloubka, 2);
}

}  // namespace
