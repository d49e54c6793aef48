// Fuzz target: orv-layout-svg's reader of a listing, and the picture and the page of every
// listing it accepts.
//
// The reader must accept or refuse every input without a sanitizer report, and a refusal must
// name the input and come with the listing's status. An accepted listing puts each of the 285
// vertices on its own cell, and its neighbour lines name vertices that exist. Its plan must join
// every edge's two dots by pieces that meet end to end, at finite points on the grid, with the
// stroke of every route off the dots it passes; the SVG image must have one dot a vertex and one
// element an edge, its tags nested as XML asks; the page must hold that very image. An input
// the reader refuses is also taken as a layout in itself (see `built_from`), written out as a
// listing, read back and drawn the same way.
#include "html.hpp"
#include "listing.hpp"
#include "picture.hpp"
#include "picture_checks.hpp"
#include "svg.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

bool finite(Point p) { return std::isfinite(p.x) && std::isfinite(p.y); }

bool on_grid(Point p) {
    return p.x >= margin && p.x <= margin + columns * cell_size && p.y >= margin &&
           p.y <= margin + rows * cell_size;
}

bool same(Point a, Point b) { return a.x == b.x && a.y == b.y; }

void check_listing(const Listing& listing) {
    std::array<bool, columns * rows> taken{};
    for (const Cell c : listing.cells) {
        require(c.x >= 0 && c.x < columns && c.y >= 0 && c.y < rows);
        require(!taken[c.x * rows + c.y]);
        taken[c.x * rows + c.y] = true;
    }
    for (const Mention& m : listing.mentions)
        require(m.from >= 1 && m.from <= vertex_count && m.to >= 1 && m.to <= vertex_count);
}

// The smallest distance from a route to the rim of a dot other than its own two, measured on
// points at most 0.2 mm apart: never below the true smallest distance.
using Owners = std::array<int, columns * rows>;  // the vertex on cell x * rows + y

double clearance(const Listing& listing, const Owners& owner, const Route& r) {
    double nearest = 1e9;
    for (const Piece& piece : r.pieces) {
        const double reach =
            std::hypot(piece.control.x - piece.from.x, piece.control.y - piece.from.y) +
            std::hypot(piece.to.x - piece.control.x, piece.to.y - piece.control.y);
        const int steps = static_cast<int>(reach / 0.2) + 2;
        for (int i = 0; i <= steps; ++i) {
            const Point p = point_at(piece, static_cast<double>(i) / steps);
            const int cx = static_cast<int>((p.x - margin) / cell_size);
            const int cy = static_cast<int>((p.y - margin) / cell_size);
            for (int x = std::max(cx - 1, 0); x <= std::min(cx + 1, columns - 1); ++x)
                for (int y = std::max(cy - 1, 0); y <= std::min(cy + 1, rows - 1); ++y) {
                    const int v = owner[x * rows + y];
                    if (v == r.edge.from || v == r.edge.to) continue;
                    const Point c = centre(listing.cells[v - 1]);
                    nearest = std::min(nearest, std::hypot(p.x - c.x, p.y - c.y) - dot_radius);
                }
        }
    }
    return nearest;
}

void check_plan(const Listing& listing, const Picture& picture) {
    const std::size_t edges = drawn_edges(listing).size();
    const Summary& s = picture.summary;
    require(picture.routes.size() == edges);
    require(static_cast<std::size_t>(s.both_ways + s.one_way + s.loops) == edges);
    require(std::isfinite(s.total_length) && s.total_length >= 0);
    Owners owner{};
    for (int v = 1; v <= vertex_count; ++v)
        owner[listing.cells[v - 1].x * rows + listing.cells[v - 1].y] = v;
    for (const Route& r : picture.routes) {
        require(!r.pieces.empty());
        require(same(r.pieces.front().from, centre(listing.cells[r.edge.from - 1])));
        require(same(r.pieces.back().to, centre(listing.cells[r.edge.to - 1])));
        for (std::size_t k = 0; k < r.pieces.size(); ++k) {
            const Piece& piece = r.pieces[k];
            require(finite(piece.control) && on_grid(piece.from) && on_grid(piece.to));
            if (k > 0) require(same(r.pieces[k - 1].to, piece.from));
        }
        if (r.edge.kind == EdgeKind::loop) continue;
        const double width = r.edge.kind == EdgeKind::both_ways ? both_ways_width : one_way_width;
        // The routes are checked on samples that keep `dot_clearance` for what lies between
        // them, so the stroke itself stays off every dot it passes.
        require(clearance(listing, owner, r) >= width / 2);
        require(r.has_arrow == (r.edge.kind == EdgeKind::directed));
        if (r.has_arrow)
            require(finite(r.arrow_tip) && finite(r.arrow_left) && finite(r.arrow_right));
    }
}

void check_drawings(const Picture& picture) {
    const std::string svg = draw_svg(picture);
    const std::string element = svg_element(picture);
    require(svg.rfind("<?xml", 0) == 0 && nested(svg));
    require(occurrences(element, "<circle class=\"vertex") == vertex_count);
    require(occurrences(element, " class=\"edge ") == picture.routes.size());
    const std::string html = draw_html(picture);
    require(html.rfind("<!DOCTYPE html>\n", 0) == 0);
    const std::string last = "</body>\n</html>\n";
    require(html.size() > last.size() &&
            html.compare(html.size() - last.size(), last.size(), last) == 0);
    require(occurrences(html, element) == 1);
}

// Mutations of a listing's text almost never keep its neighbour lines true to the vertices'
// cells, so the reader refuses nearly all of them. To reach the picture with many placements,
// the bytes are also taken as a layout in themselves: 16-bit numbers, the first giving how many
// swaps of two vertices' cells follow, the rest pairs "from lists to", at most `built_mentions`
// of them (the picture's time grows with its edges).
constexpr std::size_t built_mentions = 20;

Listing built_from(const std::uint8_t* data, std::size_t size) {
    std::size_t at = 0;
    auto next = [&] {
        const int n = data[at] << 8 | data[at + 1];
        at += 2;
        return n % vertex_count + 1;
    };
    Listing listing;
    for (int x = 0, v = 0; x < columns; ++x)
        for (int y = 0; y < rows; ++y)
            listing.cells[v++] = {x, y};
    if (size < 2) return listing;
    for (int swaps = next(); swaps > 0 && at + 4 <= size; --swaps) {
        const int a = next(), b = next();
        std::swap(listing.cells[a - 1], listing.cells[b - 1]);
    }
    while (at + 4 <= size && listing.mentions.size() < built_mentions) {
        const int from = next(), to = next();
        listing.mentions.push_back({from, to});
    }
    return listing;
}

// The text orv-layout would write for `listing`: each vertex's line followed by the lines of
// the vertices it lists.
std::string text_of(const Listing& listing) {
    std::string text;
    auto line = [&](const char* indent, int v) {
        const Cell c = listing.cells[v - 1];
        char part[32];
        std::snprintf(part, sizeof part, "%s%d %d : %03d\n", indent, c.x, c.y, v);
        text += part;
    };
    for (int v = 1; v <= vertex_count; ++v) {
        line("", v);
        for (const Mention& m : listing.mentions)
            if (m.from == v) line("\t", m.to);
    }
    return text;
}

// The built layout, written out, must be read back as it is (refused only where a vertex lists
// more neighbours than a listing may have), and is then drawn and checked as a listing read.
void check_built(const std::uint8_t* data, std::size_t size) {
    const Listing built = built_from(data, size);
    std::string text = text_of(built);
    std::FILE* in = fmemopen(text.data(), text.size(), "r");
    if (in == nullptr) std::abort();
    const Read<Listing> read = read_listing(in);
    std::fclose(in);
    std::array<int, vertex_count> listed{};
    int most = 0;
    for (const Mention& m : built.mentions)
        most = std::max(most, ++listed[m.from - 1]);
    require(read.failure.has_value() == (most > max_neighbours));
    if (read.failure) return;
    require(read.value.cells == built.cells);
    std::vector<Mention> in_order = built.mentions;  // as the text lists them: by `from`
    std::stable_sort(in_order.begin(), in_order.end(),
                     [](const Mention& a, const Mention& b) { return a.from < b.from; });
    require(read.value.mentions.size() == in_order.size());
    for (std::size_t k = 0; k < in_order.size(); ++k)
        require(read.value.mentions[k].from == in_order[k].from &&
                read.value.mentions[k].to == in_order[k].to);
    const Picture picture = plan_picture(read.value);
    check_plan(read.value, picture);
    check_drawings(picture);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* in = size == 0 ? std::fopen("/dev/null", "r")
                              : fmemopen(const_cast<std::uint8_t*>(data), size, "r");
    if (in == nullptr) std::abort();
    const Read<Listing> read = read_listing(in, "listing");
    std::fclose(in);
    if (read.failure) {
        require(read.failure->status == bad_listing_status);
        require(read.failure->reason.rfind("listing", 0) == 0);  // names the input first
        check_built(data, size);
        return 0;
    }
    check_listing(read.value);
    const Picture picture = plan_picture(read.value);
    check_plan(read.value, picture);
    check_drawings(picture);
    return 0;
}
