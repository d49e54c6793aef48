// orv-layout-svg: the picture of a listing as one SVG image.
#pragma once

#include "listing.hpp"

#include <string>
#include <vector>

enum class EdgeKind {
    both_ways,  // each vertex lists the other: one line without an arrow
    directed,   // only `from` lists `to`: one line with an arrow at `to`
    loop,       // a vertex lists itself: a ring around its dot
};

struct Edge {
    int from = 0;
    int to = 0;
    EdgeKind kind = EdgeKind::both_ways;
};

// Every edge the picture draws, once per pair of vertices however often and in whichever
// direction the listing names it, ordered by the pair (smaller number first). A both-ways edge
// has from < to.
std::vector<Edge> drawn_edges(const Listing& listing);

// The whole image: the 15 x 19 grid with its column and row numbers, every edge as a line, and
// every vertex as a dot labelled with its number in the centre of its cell. It measures
// 170 x 210 mm, so it fits an A4 page.
std::string draw_svg(const Listing& listing);
