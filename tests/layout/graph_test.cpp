#include "graph.hpp"
#include "helpers.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

namespace {

using layout::Graph;
using layout_test::add_edge;
using layout_test::Capture;

// The listing walks the table, not the depth order, and names every neighbour by its own cell
// and number, a repeated one and the vertex itself included.
TEST(Listing, WalksTheTableAndNamesEachNeighboursCell) {
    Graph g;
    add_edge(g, 3, 1);
    add_edge(g, 3, 3);
    add_edge(g, 3, 1);
    layout::init_vertices(g);
    for (int i = 0; i < layout::vertex_count; ++i) {  // vertex i + 1 on column i % 15
        g.vrcholy[i].x = i % 15;
        g.vrcholy[i].y = i / 15;
    }
    std::swap(g.vrcholy_sorted[0], g.vrcholy_sorted[2]);  // a depth order the listing ignores
    Capture out;
    layout::vypis(g, out.stream);
    const std::string text = out.take();
    const std::string start = "0 0 : 001\n1 0 : 002\n2 0 : 003\n\t0 0 : 001\n\t2 0 : 003\n"
                              "\t0 0 : 001\n3 0 : 004\n";
    EXPECT_EQ(text.substr(0, start.size()), start);
    EXPECT_EQ(text.substr(text.size() - 12), "14 18 : 285\n");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 285 + 3);
}

TEST(Listing, StartValuesGiveEveryVertexItsNumberAndDepth999ButVertex1) {
    Graph g;
    layout::init_vertices(g);
    EXPECT_EQ(g.vrcholy[0].hloubka, 0);
    for (int i = 1; i < layout::vertex_count; ++i) {
        EXPECT_EQ(g.vrcholy[i].cislo, i + 1);
        EXPECT_EQ(g.vrcholy[i].hloubka, 999);
        EXPECT_EQ(g.vrcholy_sorted[i], i);
    }
}

}  // namespace
