// The plan of the picture: routes that clear every dot, arrows off the dots, the caption's
// numbers and their Czech forms.
#include "czech.hpp"
#include "picture.hpp"
#include "svg.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

// Every vertex on its own cell in a shuffled order, and `edges` random mentions.
Listing random_listing(unsigned seed, int edges) {
    Listing listing;
    std::vector<Cell> cells;
    for (int x = 0; x < columns; ++x)
        for (int y = 0; y < rows; ++y)
            cells.push_back({x, y});
    std::mt19937 random(seed);
    std::shuffle(cells.begin(), cells.end(), random);
    std::copy(cells.begin(), cells.end(), listing.cells.begin());
    std::uniform_int_distribution<int> vertex(1, vertex_count);
    for (int i = 0; i < edges; ++i)
        listing.mentions.push_back({vertex(random), vertex(random)});
    return listing;
}

// Moves vertex v to `cell`, and the vertex there to v's old cell.
void place(Listing& listing, int v, Cell cell) {
    for (Cell& c : listing.cells)
        if (c == cell) c = listing.cells[v - 1];
    listing.cells[v - 1] = cell;
}

double distance(Point a, Point b) { return std::hypot(a.x - b.x, a.y - b.y); }

// The smallest distance from the route to any dot's centre but its own two, by brute force:
// every dot, points 0.1 mm apart at most.
double nearest_other_dot(const Listing& listing, const Route& r) {
    double nearest = 1e9;
    for (const Piece& piece : r.pieces) {
        const double reach =
            distance(piece.from, piece.control) + distance(piece.control, piece.to);
        const int steps = static_cast<int>(reach / 0.1) + 2;
        for (int i = 0; i <= steps; ++i) {
            const Point p = point_at(piece, static_cast<double>(i) / steps);
            for (int v = 1; v <= vertex_count; ++v)
                if (v != r.edge.from && v != r.edge.to)
                    nearest = std::min(nearest, distance(p, centre(listing.cells[v - 1])));
        }
    }
    return nearest;
}

TEST(PlanPicture, EveryRouteJoinsItsDotsAndPassesNoOtherDot) {
    for (unsigned seed = 1; seed <= 2; ++seed) {
        const Listing listing = random_listing(seed, 100);
        const Picture picture = plan_picture(listing);
        for (const Route& r : picture.routes) {
            if (r.edge.kind == EdgeKind::loop) continue;
            const double width =
                r.edge.kind == EdgeKind::both_ways ? both_ways_width : one_way_width;
            ASSERT_FALSE(r.pieces.empty());
            EXPECT_EQ(distance(r.pieces.front().from, centre(listing.cells[r.edge.from - 1])), 0);
            EXPECT_EQ(distance(r.pieces.back().to, centre(listing.cells[r.edge.to - 1])), 0);
            for (std::size_t i = 1; i < r.pieces.size(); ++i)
                EXPECT_EQ(distance(r.pieces[i - 1].to, r.pieces[i].from), 0);
            EXPECT_GE(nearest_other_dot(listing, r), dot_radius + width / 2)
                << r.edge.from << "-" << r.edge.to;
            if (r.edge.kind != EdgeKind::directed) continue;
            // The arrow's corners and the middle of its base keep off every dot.
            const Point base{(r.arrow_left.x + r.arrow_right.x) / 2,
                             (r.arrow_left.y + r.arrow_right.y) / 2};
            for (int v = 1; v <= vertex_count; ++v)
                for (Point p : {r.arrow_tip, r.arrow_left, r.arrow_right, base})
                    EXPECT_GE(distance(p, centre(listing.cells[v - 1])), dot_radius)
                        << "arrow of " << r.edge.from << "->" << r.edge.to << " on " << v;
        }
    }
}

bool same(Point a, Point b) { return a.x == b.x && a.y == b.y; }

// A picture plans its edges one after the other and keeps the path search's state between
// them: each edge must still come out exactly as when it is the listing's only one.
TEST(PlanPicture, EveryEdgeIsRoutedAsWhenItIsAlone) {
    const Listing listing = random_listing(6, 60);
    const Picture picture = plan_picture(listing);
    int searched = 0;  // routes along the free room, which the kept state serves
    for (const Route& r : picture.routes) {
        Listing alone = listing;
        alone.mentions.clear();
        for (const Mention& m : listing.mentions)
            if (std::minmax(m.from, m.to) == std::minmax(r.edge.from, r.edge.to))
                alone.mentions.push_back(m);
        const std::vector<Route> routes = plan_picture(alone).routes;
        ASSERT_EQ(routes.size(), 1u);
        const Route& single = routes[0];
        ASSERT_EQ(single.pieces.size(), r.pieces.size()) << r.edge.from << "-" << r.edge.to;
        for (std::size_t i = 0; i < r.pieces.size(); ++i)
            EXPECT_TRUE(same(single.pieces[i].from, r.pieces[i].from) &&
                        same(single.pieces[i].control, r.pieces[i].control) &&
                        same(single.pieces[i].to, r.pieces[i].to))
                << r.edge.from << "-" << r.edge.to << " piece " << i;
        EXPECT_EQ(single.gap, r.gap);
        EXPECT_TRUE(same(single.arrow_tip, r.arrow_tip));
        searched += r.pieces.size() > 1;
    }
    EXPECT_GE(searched, 2);
}

TEST(PlanPicture, CountsTheCaptionsEdgesAndTheTrueTotal) {
    Listing listing = random_listing(4, 0);
    place(listing, 1, {0, 0});
    place(listing, 2, {3, 4});
    // 1 and 2 both ways, listed three times: 3 * 5 cells; 1 lists itself: 0.
    listing.mentions = {{1, 2}, {2, 1}, {1, 2}, {1, 1}};
    const Summary s = plan_picture(listing).summary;
    EXPECT_EQ(s.both_ways, 1);
    EXPECT_EQ(s.one_way, 0);
    EXPECT_EQ(s.loops, 1);
    EXPECT_EQ(s.long_edges, 0);  // 5 cells is not longer than 5
    EXPECT_EQ(s.total_length, 15.0);
}

TEST(Czech, CountsTakeTheirPluralForms) {
    auto edges = [](long long n) { return counted(n, "hrana", "hrany", "hran"); };
    EXPECT_EQ(edges(0), "0 hran");
    EXPECT_EQ(edges(1), "1 hrana");
    EXPECT_EQ(edges(2), "2 hrany");
    EXPECT_EQ(edges(4), "4 hrany");
    EXPECT_EQ(edges(5), "5 hran");
    EXPECT_EQ(edges(984), "984 hran");

    Listing listing = random_listing(5, 0);
    listing.mentions = {{1, 2}, {2, 1}};
    EXPECT_NE(title_of(plan_picture(listing).summary).find(", 1 hrana (0 jen jedním směrem)"),
              std::string::npos);
    listing.mentions = {{1, 2}, {3, 4}, {5, 6}};
    const std::string svg = draw_svg(plan_picture(listing));
    EXPECT_NE(svg.find("3 hrany (3 jen jedním směrem)"), std::string::npos);
    EXPECT_NE(svg.find("0 hran oběma směry, 3 hrany jedním směrem, 0 smyček"), std::string::npos);
}

}  // namespace
