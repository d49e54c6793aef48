// orv-layout-svg: what the picture shows, worked out before a line of it is written: where
// every dot stands, the route of every edge around the other dots, its arrow, and the totals of
// the caption. The SVG image and the HTML page both draw this record.
#pragma once

#include "listing.hpp"

#include <vector>

// Lengths in millimetres, the unit of the image's coordinates.
inline constexpr double cell_size = 10;
inline constexpr double margin = 10;          // left, right and above the grid: its numbers
inline constexpr double caption_height = 24;  // below the grid: the caption
inline constexpr double picture_width = 2 * margin + columns * cell_size;
inline constexpr double picture_height = margin + rows * cell_size + caption_height;
inline constexpr double dot_radius = 2.6;
inline constexpr double loop_radius = 3.6;
inline constexpr double both_ways_width = 0.5;
inline constexpr double one_way_width = 0.25;
// The room an edge keeps from every dot it passes, beyond half its width.
inline constexpr double dot_clearance = 0.25;
inline constexpr double arrow_length = 1.7;
inline constexpr double arrow_half_width = 0.65;
// Edge lengths, in cells, that split the colours: neighbours (also diagonal), middle, long.
inline constexpr double short_edge = 1.5;
inline constexpr double long_edge = 5;

struct Point {
    double x = 0, y = 0;
};

// The centre of a cell's dot.
Point centre(Cell cell);

enum class EdgeKind {
    both_ways,  // each vertex lists the other: one line without an arrow
    directed,   // only `from` lists `to`: a thin line with an arrow towards `to`
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

// One piece of an edge's route: a quadratic Bézier curve from `from` to `to` bent towards
// `control`; a straight piece has its control point halfway.
struct Piece {
    Point from, control, to;
    bool straight = true;
};

// How one edge is drawn: pieces joined end to end from the centre of `from`'s dot to the centre
// of `to`'s. Most edges are one piece: a straight line, or a gentle arc that bends around the
// dots in its way; where no arc clears them, a path along the free room between the dots with
// rounded corners. A directed edge carries a small arrow, a triangle with its tip on the route.
struct Route {
    Edge edge;
    std::vector<Piece> pieces;
    double length = 0;  // between the two cells, in cells: what the colour tells
    bool has_arrow = false;
    Point arrow_tip, arrow_left, arrow_right;
    // The smallest distance from the route to the rim of a dot it passes (not its own two); an
    // edge clears every dot when this is at least half its width plus `dot_clearance`.
    double gap = 0;
};

// The numbers of the caption.
struct Summary {
    int both_ways = 0;
    int one_way = 0;
    int loops = 0;
    int long_edges = 0;  // drawn edges longer than `long_edge` cells
    // The true total edge length of the drawn layout, in cells: the distance between the cells
    // of every vertex and every neighbour it lists, summed over the listing in its order, so an
    // edge listed both ways counts twice, as orv-layout measures its total.
    double total_length = 0;
};

struct Picture {
    Listing listing;
    std::vector<Route> routes;  // loops first, then one-way edges, then both-ways ones
    Summary summary;
};

Picture plan_picture(const Listing& listing);

// A point of a piece at parameter t in 0 .. 1.
Point point_at(const Piece& piece, double t);
