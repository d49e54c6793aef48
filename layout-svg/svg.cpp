// orv-layout-svg: the picture of a listing as one SVG image.
#include "svg.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <utility>

namespace {

// Lengths in millimetres, the unit of the image's coordinates.
constexpr double cell_size = 10;
constexpr double margin = 10;  // room for the column and row numbers and the legend
constexpr double width = 2 * margin + columns * cell_size;
constexpr double height = 2 * margin + rows * cell_size;
constexpr double dot_radius = 3.4;
constexpr double loop_radius = 4.4;

struct Point {
    double x = 0, y = 0;
};

Point centre(Cell cell) {
    return {margin + (cell.x + 0.5) * cell_size, margin + (cell.y + 0.5) * cell_size};
}

// A coordinate with at most two decimals and no trailing zeros.
std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    std::string s = text;
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s == "-0" ? "0" : s;
}

void add_grid(std::string& svg) {
    svg += "<g stroke=\"#d8d8d8\" stroke-width=\"0.25\">\n";
    for (int x = 0; x <= columns; ++x) {
        const std::string at = number(margin + x * cell_size);
        svg += "<line x1=\"" + at + "\" y1=\"" + number(margin) + "\" x2=\"" + at + "\" y2=\"" +
               number(height - margin) + "\"/>\n";
    }
    for (int y = 0; y <= rows; ++y) {
        const std::string at = number(margin + y * cell_size);
        svg += "<line x1=\"" + number(margin) + "\" y1=\"" + at + "\" x2=\"" +
               number(width - margin) + "\" y2=\"" + at + "\"/>\n";
    }
    svg += "</g>\n<g font-family=\"sans-serif\" font-size=\"3\" fill=\"#888\" "
           "text-anchor=\"middle\">\n";
    for (int x = 0; x < columns; ++x)
        svg += "<text x=\"" + number(centre({x, 0}).x) + "\" y=\"" + number(margin - 2.5) + "\">" +
               std::to_string(x) + "</text>\n";
    for (int y = 0; y < rows; ++y)
        svg += "<text x=\"" + number(margin / 2) + "\" y=\"" + number(centre({0, y}).y + 1) +
               "\">" + std::to_string(y) + "</text>\n";
    svg += "</g>\n";
}

// A line from the centre of `from` to the centre of `to`; a directed one starts and ends at the
// dots' rims, so that its arrow head stays visible.
void add_line(std::string& svg, const Listing& listing, const Edge& edge) {
    Point a = centre(listing.cells[edge.from - 1]);
    Point b = centre(listing.cells[edge.to - 1]);
    std::string kind = "both-ways";
    std::string extra;
    if (edge.kind == EdgeKind::directed) {
        const double length = std::hypot(b.x - a.x, b.y - a.y);  // > 0: two vertices, two cells
        const double ux = (b.x - a.x) / length, uy = (b.y - a.y) / length;
        a = {a.x + ux * dot_radius, a.y + uy * dot_radius};
        b = {b.x - ux * dot_radius, b.y - uy * dot_radius};
        kind = "directed";
        extra = " stroke=\"#c0504d\" stroke-width=\"0.35\" marker-end=\"url(#arrow)\"";
    }
    svg += "<line class=\"edge " + kind + "\" x1=\"" + number(a.x) + "\" y1=\"" + number(a.y) +
           "\" x2=\"" + number(b.x) + "\" y2=\"" + number(b.y) + "\"" + extra + "/>\n";
}

void add_edges(std::string& svg, const Listing& listing) {
    svg += "<g stroke=\"#3f6fb0\" stroke-width=\"0.45\" stroke-opacity=\"0.8\" fill=\"none\">\n";
    for (const Edge& edge : drawn_edges(listing)) {
        if (edge.kind != EdgeKind::loop) {
            add_line(svg, listing, edge);
            continue;
        }
        const Point c = centre(listing.cells[edge.from - 1]);
        svg += "<circle class=\"edge loop\" cx=\"" + number(c.x) + "\" cy=\"" + number(c.y) +
               "\" r=\"" + number(loop_radius) + "\" stroke=\"#c0504d\"/>\n";
    }
    svg += "</g>\n";
}

void add_vertices(std::string& svg, const Listing& listing) {
    svg += "<g stroke=\"#333\" stroke-width=\"0.3\" fill=\"#fff6dc\">\n";
    for (int v = 1; v <= vertex_count; ++v) {
        const Point c = centre(listing.cells[v - 1]);
        svg += "<circle class=\"vertex\" id=\"v" + std::to_string(v) + "\" cx=\"" + number(c.x) +
               "\" cy=\"" + number(c.y) + "\" r=\"" + number(dot_radius) + "\"/>\n";
    }
    svg += "</g>\n<g font-family=\"sans-serif\" font-size=\"3\" fill=\"#222\" "
           "text-anchor=\"middle\">\n";
    for (int v = 1; v <= vertex_count; ++v) {
        const Point c = centre(listing.cells[v - 1]);
        svg += "<text x=\"" + number(c.x) + "\" y=\"" + number(c.y + 1.05) + "\">" +
               std::to_string(v) + "</text>\n";
    }
    svg += "</g>\n";
}

}  // namespace

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

std::string draw_svg(const Listing& listing) {
    const std::vector<Edge> edges = drawn_edges(listing);
    const auto directed = std::count_if(edges.begin(), edges.end(),
                                        [](const Edge& e) { return e.kind == EdgeKind::directed; });
    std::string svg =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
        number(width) + "mm\" height=\"" + number(height) + "mm\" viewBox=\"0 0 " + number(width) +
        " " + number(height) + "\">\n" + "<title>orv-layout: 285 vrcholů na mřížce 15 x 19, " +
        std::to_string(edges.size()) + " hran (" + std::to_string(directed) +
        " jen jedním směrem)</title>\n"
        "<defs><marker id=\"arrow\" viewBox=\"0 0 10 10\" refX=\"10\" refY=\"5\" "
        "markerUnits=\"userSpaceOnUse\" markerWidth=\"2.4\" markerHeight=\"2.4\" "
        "orient=\"auto\"><path d=\"M0,0 L10,5 L0,10 z\" fill=\"#c0504d\"/></marker></defs>\n"
        "<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>\n";
    add_grid(svg);
    add_edges(svg, listing);
    add_vertices(svg, listing);
    svg += "<text x=\"" + number(margin) + "\" y=\"" + number(height - margin / 2 + 1) +
           "\" font-family=\"sans-serif\" font-size=\"3\" fill=\"#555\">sloupec x vpravo, řádek "
           "y dolů; modrá hrana: oba vrcholy se uvádějí navzájem, červená se šipkou: jen "
           "jeden</text>\n";
    svg += "</svg>\n";
    return svg;
}
