// orv-layout-svg: the plan of the picture: dots, edge routes around the dots, arrows, totals.
//
// Every cell of the grid holds a dot, so a straight line between two cells that are not
// neighbours often runs under a third vertex's dot and reads as two edges (12-143 as
// 12-283-143). Each edge is therefore tried first as a straight line, then as ever more bent
// quadratic arcs, and takes the first that keeps at least half its width plus `dot_clearance`
// from the rim of every dot but its own two. On a full grid no single arc clears the dots for
// many slopes (two dots close to the line on either side), so an edge without one takes the
// shortest path through the free room between the dots: a search on a 1 mm lattice of points
// that all keep the gap, pulled tight into straight pieces that keep it too, whose corners are
// then rounded as far as the gap allows. The room between two rows of dots is 10 - 2 * 2.6 mm,
// so such a path always exists.
//
// Every piece is checked by samples at most 0.5 mm apart along it: a point of a piece lies
// within 0.25 mm of a sample, and the gap asked for holds `dot_clearance` (0.25 mm) beyond half
// the stroke, so no point of a checked piece reaches under a dot. The picture's checker
// measures again, on its own, far more finely.
#include "picture.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <queue>
#include <utility>

namespace {

constexpr double grid_left = margin;
constexpr double grid_top = margin;
constexpr double grid_right = margin + columns * cell_size;
constexpr double grid_bottom = margin + rows * cell_size;
constexpr double sample_spacing = 0.5;  // mm along the curve, at most
constexpr double bend_step = 1.5;       // mm between the control points tried
constexpr double infinity = std::numeric_limits<double>::infinity();

// The vertex on every cell, 0 for a free one.
using Owners = std::array<int, columns * rows>;

Owners owners_of(const Listing& listing) {
    Owners owners{};
    for (int v = 1; v <= vertex_count; ++v) {
        const Cell c = listing.cells[v - 1];
        owners[c.x * rows + c.y] = v;
    }
    return owners;
}

double distance(Point a, Point b) { return std::hypot(a.x - b.x, a.y - b.y); }

Point bezier(Point a, Point c, Point b, double t) {
    const double s = 1 - t;
    return {s * s * a.x + 2 * s * t * c.x + t * t * b.x,
            s * s * a.y + 2 * s * t * c.y + t * t * b.y};
}

// Calls visit(v, centre) for the vertex v on each of the 3 x 3 cells around `p`. A dot further
// off lies at least 5 - 2.6 mm away, more than any gap asked for, so these are the only dots
// that can come near `p`.
template <class Visit>
void for_each_dot_near(const Owners& owners, const Listing& listing, Point p, Visit visit) {
    const int cx = static_cast<int>(std::floor((p.x - grid_left) / cell_size));
    const int cy = static_cast<int>(std::floor((p.y - grid_top) / cell_size));
    for (int x = cx - 1; x <= cx + 1; ++x)
        for (int y = cy - 1; y <= cy + 1; ++y) {
            if (x < 0 || x >= columns || y < 0 || y >= rows) continue;
            const int v = owners[x * rows + y];
            if (v != 0) visit(v, centre(listing.cells[v - 1]));
        }
}

// The distance from `p` to the rim of the nearest dot other than those of `skip_a` and
// `skip_b`, or `bound` when none comes nearer: min(bound, every such distance).
//
// A dot whose larger distance along one axis, less the radius, is at least the gap found so
// far cannot lower it, and is passed over without its hypot (the costliest step of a picture):
// the true distance is at least that larger leg, a number the rounded hypot can represent, so
// the rounded distance is at least the leg too, and subtracting the radius keeps the order. The
// result is therefore the very number the full minimum gives. A point lies within 5 mm of its
// own cell's centre on each axis, so the dots of the 8 cells around are at least 5 mm off along
// one axis: once the gap is below 5 - 2.6 mm only the dot of the point's own cell is measured.
double rim_gap(const Owners& owners, const Listing& listing, Point p, int skip_a, int skip_b,
               double bound = infinity) {
    double gap = bound;
    for_each_dot_near(owners, listing, p, [&](int v, Point dot) {
        if (v == skip_a || v == skip_b) return;
        if (std::max(std::abs(p.x - dot.x), std::abs(p.y - dot.y)) - dot_radius >= gap) return;
        gap = std::min(gap, distance(p, dot) - dot_radius);
    });
    return gap;
}

// The smallest gap between a piece and the dots it passes; stops early, returning a value
// below `wanted`, as soon as one sample comes closer. -infinity when the piece leaves the grid
// (it would cross the numbers of the rows and columns).
double piece_gap(const Owners& owners, const Listing& listing, const Edge& edge, const Piece& piece,
                 double wanted) {
    // The curve moves at most 2 * max(|from - control|, |control - to|) per unit of t, so this
    // many steps of t keep the samples at most `sample_spacing` apart.
    const double speed =
        2 * std::max(distance(piece.from, piece.control), distance(piece.control, piece.to));
    const int samples = static_cast<int>(std::ceil(speed / sample_spacing)) + 1;
    double gap = infinity;
    for (int i = 0; i <= samples; ++i) {
        const Point p = point_at(piece, static_cast<double>(i) / samples);
        if (p.x < grid_left || p.x > grid_right || p.y < grid_top || p.y > grid_bottom)
            return -infinity;
        gap = rim_gap(owners, listing, p, edge.from, edge.to, gap);
        if (gap < wanted) return gap;
    }
    return gap;
}

double route_gap(const Owners& owners, const Listing& listing, const Route& r, double wanted) {
    double gap = infinity;
    for (const Piece& piece : r.pieces)
        gap = std::min(gap, piece_gap(owners, listing, r.edge, piece, wanted));
    return gap;
}

Piece straight_piece(Point from, Point to) {
    return {from, {(from.x + to.x) / 2, (from.y + to.y) / 2}, to, true};
}

double distance_to_segment(Point p, Point a, Point b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double t =
        std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return distance(p, {a.x + t * dx, a.y + t * dy});
}

// The smallest distance from the arrow's sides to the rim of any dot near it, its own ends
// included; negative when it covers part of one (the triangle is smaller than a dot, so a dot
// it covers comes nearer than its radius to one of its sides).
double arrow_gap(const Owners& owners, const Listing& listing, const Route& r) {
    const Point corners[3] = {r.arrow_tip, r.arrow_left, r.arrow_right};
    double gap = infinity;
    for_each_dot_near(owners, listing, r.arrow_tip, [&](int, Point dot) {
        for (int i = 0; i < 3; ++i)
            gap = std::min(gap,
                           distance_to_segment(dot, corners[i], corners[(i + 1) % 3]) - dot_radius);
    });
    return gap;
}

// Puts the arrow's tip at `share` of the route's length (measured on samples), pointing along
// the route.
void place_arrow(Route& r, double share) {
    std::vector<Point> points;
    for (const Piece& piece : r.pieces)
        for (int i = points.empty() ? 0 : 1; i <= 64; ++i)
            points.push_back(point_at(piece, i / 64.0));
    double total = 0;
    for (std::size_t i = 1; i < points.size(); ++i)
        total += distance(points[i - 1], points[i]);
    std::size_t at = 1;
    for (double walked = 0; at + 1 < points.size(); ++at) {
        walked += distance(points[at - 1], points[at]);
        if (walked >= share * total) break;
    }
    const Point tip = points[at];
    const double dx = points[at].x - points[at - 1].x, dy = points[at].y - points[at - 1].y;
    const double norm = std::hypot(dx, dy);
    const double ux = dx / norm, uy = dy / norm;
    const Point base{tip.x - ux * arrow_length, tip.y - uy * arrow_length};
    r.arrow_tip = tip;
    r.arrow_left = {base.x - uy * arrow_half_width, base.y + ux * arrow_half_width};
    r.arrow_right = {base.x + uy * arrow_half_width, base.y - ux * arrow_half_width};
}

// Puts the arrow of a directed edge on its route: near three fifths of the way, where it tells
// the direction, but wherever it keeps clear of every dot, its own two included (arrowheads on
// the dots of popular vertices would hide them).
void add_arrow(const Owners& owners, const Listing& listing, Route& r) {
    r.has_arrow = true;
    double best_share = 0.6, best_gap = -infinity;
    for (int step = 0; step <= 26; ++step) {  // 0.6, 0.58, 0.62, 0.56, ... from 0.34 to 0.86
        const double share = 0.6 + (step % 2 == 0 ? 1 : -1) * 0.01 * ((step + 1) / 2 * 2);
        place_arrow(r, share);
        const double gap = arrow_gap(owners, listing, r);
        if (gap >= dot_clearance) return;
        if (gap > best_gap) best_gap = gap, best_share = share;
    }
    place_arrow(r, best_share);
}

// The control points tried for an edge from a to b, gentlest first: the chord's midpoint
// moved across the chord by up to half its length (at least 1.5 cells), and along it by a fifth
// either way (an arc bulging nearer one end slips past a dot close to that end).
std::vector<Point> candidate_controls(Point a, Point b) {
    const double length = distance(a, b);
    const double ux = (b.x - a.x) / length, uy = (b.y - a.y) / length;
    const Point middle{(a.x + b.x) / 2, (a.y + b.y) / 2};
    std::vector<std::pair<double, Point>> tries;
    const int bends = static_cast<int>(std::max(0.5 * length, 1.5 * cell_size) / bend_step);
    for (double along : {0.0, -0.2, 0.2})
        for (int k = -bends; k <= bends; ++k) {
            const double across = k * bend_step, shift = along * length;
            const Point c{middle.x + ux * shift - uy * across, middle.y + uy * shift + ux * across};
            // Positive bends before negative ones of the same size, for a fixed choice.
            const double cost = std::abs(across) + 0.5 * std::abs(shift) + (k < 0 ? 1e-6 : 0);
            tries.push_back({cost, c});
        }
    std::stable_sort(tries.begin(), tries.end(),
                     [](const auto& p, const auto& q) { return p.first < q.first; });
    std::vector<Point> controls;
    for (const auto& t : tries)
        controls.push_back(t.second);
    return controls;
}

// The lattice of the path search: points 1 mm apart over the grid, a point free when it keeps
// the gap asked for plus `lattice_margin` from every dot but the edge's own. Between two free
// neighbours 1 mm apart (1.41 mm diagonally) a straight step comes at most 0.71 mm^2 / (2 *
// 2.6 mm) < 0.1 mm nearer a dot than its ends, which the margin covers.
constexpr double lattice_step = 1;
constexpr int lattice_columns = static_cast<int>(columns * cell_size / lattice_step) + 1;
constexpr int lattice_rows = static_cast<int>(rows * cell_size / lattice_step) + 1;
constexpr double lattice_margin = 0.15;

Point lattice_point(int node) {
    return {grid_left + (node / lattice_rows) * lattice_step,
            grid_top + (node % lattice_rows) * lattice_step};
}

int lattice_node(Point p) {
    const int i = static_cast<int>(std::lround((p.x - grid_left) / lattice_step));
    const int j = static_cast<int>(std::lround((p.y - grid_top) / lattice_step));
    return i * lattice_rows + j;
}

// The search state of every lattice node, kept from one edge to the next: a picture searches
// for many edges, and the three arrays, cleared afresh each time, cost more than the search.
// A search leaves every node it touched as it found it, so each starts from the same state.
struct Lattice {
    static constexpr int nodes = lattice_columns * lattice_rows;
    std::vector<signed char> free = std::vector<signed char>(nodes, -1);  // -1: not looked at
    std::vector<double> cost = std::vector<double>(nodes, infinity);
    std::vector<int> previous = std::vector<int>(nodes, -1);
    std::vector<int> touched;  // the nodes whose entries differ from the fresh state
};

// The shortest path on the lattice from the centre of the edge's first dot to the centre of
// its second (A*, steps along and across the lattice); empty when there is none.
std::vector<Point> lattice_path(const Owners& owners, const Listing& listing, const Edge& edge,
                                Point a, Point b, double wanted, Lattice& lattice) {
    std::vector<signed char>& free = lattice.free;
    std::vector<double>& cost = lattice.cost;
    std::vector<int>& previous = lattice.previous;
    const int start = lattice_node(a), goal = lattice_node(b);
    // A node is free when no dot comes nearer than this; measuring with it as the bound passes
    // over every dot that cannot.
    const double threshold = wanted + lattice_margin;
    using Entry = std::pair<double, int>;  // (cost so far + straight distance left, node)
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> open;
    cost[start] = 0;
    lattice.touched.push_back(start);
    open.push({distance(a, b), start});
    while (!open.empty()) {
        const auto [estimate, node] = open.top();
        open.pop();
        if (node == goal) break;
        const Point p = lattice_point(node);
        if (estimate > cost[node] + distance(p, b) + 1e-9) continue;  // an outdated entry
        const int i = node / lattice_rows, j = node % lattice_rows;
        for (int di = -1; di <= 1; ++di)
            for (int dj = -1; dj <= 1; ++dj) {
                const int ni = i + di, nj = j + dj;
                if ((di == 0 && dj == 0) || ni < 0 || nj < 0 || ni >= lattice_columns ||
                    nj >= lattice_rows)
                    continue;
                const int next = ni * lattice_rows + nj;
                const Point q = lattice_point(next);
                if (free[next] < 0) {
                    free[next] =
                        rim_gap(owners, listing, q, edge.from, edge.to, threshold) >= threshold;
                    lattice.touched.push_back(next);
                }
                if (!free[next]) continue;
                const double c = cost[node] + (di != 0 && dj != 0 ? std::sqrt(2.0) : 1.0);
                if (c >= cost[next]) continue;
                cost[next] = c;
                previous[next] = node;
                open.push({c + distance(q, b), next});
            }
    }
    std::vector<Point> path;
    if (previous[goal] >= 0)
        for (int node = goal; node != -1; node = previous[node])
            path.push_back(lattice_point(node));
    std::reverse(path.begin(), path.end());
    for (const int node : lattice.touched) {
        free[node] = -1;
        cost[node] = infinity;
        previous[node] = -1;
    }
    lattice.touched.clear();
    return path;
}

// The route along a lattice path: pulled tight into the fewest straight pieces that keep the
// gap, each corner then rounded by a quadratic piece as far as the gap allows.
std::vector<Piece> free_room_route(const Owners& owners, const Listing& listing, const Edge& edge,
                                   const std::vector<Point>& path, double wanted) {
    std::vector<Point> corners{path.front()};
    for (std::size_t i = 0; i + 1 < path.size();) {
        std::size_t j = i + 1;
        while (j + 1 < path.size() &&
               piece_gap(owners, listing, edge, straight_piece(path[i], path[j + 1]), wanted) >=
                   wanted)
            ++j;
        corners.push_back(path[j]);
        i = j;
    }
    std::vector<Piece> pieces;
    Point from = corners.front();
    for (std::size_t k = 1; k + 1 < corners.size(); ++k) {
        const Point in = corners[k - 1], at = corners[k], out = corners[k + 1];
        const double in_length = distance(in, at), out_length = distance(at, out);
        bool rounded = false;
        for (double cut = std::min({4.0, 0.45 * in_length, 0.45 * out_length});
             cut > 0.4 && !rounded; cut /= 2) {
            const Point enter{at.x + (in.x - at.x) * cut / in_length,
                              at.y + (in.y - at.y) * cut / in_length};
            const Point leave{at.x + (out.x - at.x) * cut / out_length,
                              at.y + (out.y - at.y) * cut / out_length};
            const Piece corner{enter, at, leave, false};
            if (piece_gap(owners, listing, edge, corner, wanted) < wanted) continue;
            pieces.push_back(straight_piece(from, enter));
            pieces.push_back(corner);
            from = leave;
            rounded = true;
        }
        if (!rounded) {
            pieces.push_back(straight_piece(from, at));
            from = at;
        }
    }
    pieces.push_back(straight_piece(from, corners.back()));
    return pieces;
}

Route route_edge(const Owners& owners, const Listing& listing, const Edge& edge, Lattice& lattice) {
    Route r;
    r.edge = edge;
    const Point a = centre(listing.cells[edge.from - 1]);
    const Point b = centre(listing.cells[edge.to - 1]);
    r.pieces = {straight_piece(a, b)};
    r.length = distance(a, b) / cell_size;
    if (edge.kind == EdgeKind::loop) return r;

    const double width = edge.kind == EdgeKind::both_ways ? both_ways_width : one_way_width;
    const double wanted = width / 2 + dot_clearance;
    double best_gap = -infinity;
    Piece best = r.pieces.front();
    for (const Point c : candidate_controls(a, b)) {
        const Piece arc{a, c, b, c.x == best.control.x && c.y == best.control.y};
        const double gap = piece_gap(owners, listing, edge, arc, wanted);
        if (gap > best_gap) best_gap = gap, best = arc;
        if (gap >= wanted) break;
    }
    r.pieces = {best};
    if (best_gap < wanted) {
        const std::vector<Point> path = lattice_path(owners, listing, edge, a, b, wanted, lattice);
        if (!path.empty()) r.pieces = free_room_route(owners, listing, edge, path, wanted);
    }
    r.gap = route_gap(owners, listing, r, -infinity);
    if (edge.kind == EdgeKind::directed) add_arrow(owners, listing, r);
    return r;
}

int rank(EdgeKind kind) { return kind == EdgeKind::loop ? 0 : kind == EdgeKind::directed ? 1 : 2; }

}  // namespace

Point centre(Cell cell) {
    return {grid_left + (cell.x + 0.5) * cell_size, grid_top + (cell.y + 0.5) * cell_size};
}

Point point_at(const Piece& piece, double t) {
    return bezier(piece.from, piece.control, piece.to, t);
}

std::vector<Edge> drawn_edges(const Listing& listing) {
    // For each pair (smaller, larger): whether smaller lists larger, and whether larger lists
    // smaller.
    std::map<std::pair<int, int>, std::pair<bool, bool>> pairs;
    for (const Mention& m : listing.mentions) {
        auto& ways = pairs[{std::min(m.from, m.to), std::max(m.from, m.to)}];
        (m.from <= m.to ? ways.first : ways.second) = true;
    }
    std::vector<Edge> edges;
    for (const auto& [pair, ways] : pairs) {
        const auto [low, high] = pair;
        if (low == high)
            edges.push_back({low, high, EdgeKind::loop});
        else if (ways.first && ways.second)
            edges.push_back({low, high, EdgeKind::both_ways});
        else if (ways.first)
            edges.push_back({low, high, EdgeKind::directed});
        else
            edges.push_back({high, low, EdgeKind::directed});
    }
    return edges;
}

Picture plan_picture(const Listing& listing) {
    Picture picture;
    picture.listing = listing;
    const Owners owners = owners_of(listing);
    Lattice lattice;
    Summary& s = picture.summary;
    for (const Edge& edge : drawn_edges(listing)) {
        picture.routes.push_back(route_edge(owners, listing, edge, lattice));
        const Route& r = picture.routes.back();
        if (edge.kind == EdgeKind::loop) ++s.loops;
        if (edge.kind == EdgeKind::directed) ++s.one_way;
        if (edge.kind == EdgeKind::both_ways) ++s.both_ways;
        if (r.length > long_edge) ++s.long_edges;
    }
    // Drawn in this order, the long edges lie above the short ones and every both-ways edge
    // above the thin one-way ones, so none of them drowns.
    std::stable_sort(picture.routes.begin(), picture.routes.end(),
                     [](const Route& a, const Route& b) {
                         if (rank(a.edge.kind) != rank(b.edge.kind))
                             return rank(a.edge.kind) < rank(b.edge.kind);
                         return a.length < b.length;
                     });
    for (const Mention& m : listing.mentions) {
        const Cell a = listing.cells[m.from - 1], b = listing.cells[m.to - 1];
        const int dx = a.x - b.x, dy = a.y - b.y;
        s.total_length += std::sqrt(static_cast<double>(dx * dx + dy * dy));
    }
    return picture;
}
