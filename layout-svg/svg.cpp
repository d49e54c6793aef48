// orv-layout-svg: the picture of a listing as one SVG image.
#include "svg.hpp"

#include "czech.hpp"

#include <cstdio>

namespace {

constexpr double grid_bottom = margin + rows * cell_size;
constexpr const char* short_colour = "#2f6db5";   // up to `short_edge` cells: neighbours
constexpr const char* middle_colour = "#7a4cc0";  // up to `long_edge` cells
constexpr const char* long_colour = "#e8590c";    // longer: what the passes fight
constexpr const char* loop_colour = "#c92a2a";

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

std::string at(Point p) { return number(p.x) + " " + number(p.y); }

const char* length_class(double length) {
    return length <= short_edge ? "short" : length <= long_edge ? "middle" : "long";
}

const char* colour_of(double length) {
    return length <= short_edge ? short_colour : length <= long_edge ? middle_colour : long_colour;
}

void add_grid(std::string& svg) {
    svg += "<g stroke=\"#e2e2e2\" stroke-width=\"0.25\">\n";
    for (int x = 0; x <= columns; ++x) {
        const std::string along = number(margin + x * cell_size);
        svg += "<line x1=\"" + along + "\" y1=\"" + number(margin) + "\" x2=\"" + along +
               "\" y2=\"" + number(grid_bottom) + "\"/>\n";
    }
    for (int y = 0; y <= rows; ++y) {
        const std::string along = number(margin + y * cell_size);
        svg += "<line x1=\"" + number(margin) + "\" y1=\"" + along + "\" x2=\"" +
               number(picture_width - margin) + "\" y2=\"" + along + "\"/>\n";
    }
    svg += "</g>\n<g font-size=\"3\" fill=\"#888\" text-anchor=\"middle\">\n";
    for (int x = 0; x < columns; ++x)
        svg += "<text x=\"" + number(centre({x, 0}).x) + "\" y=\"" + number(margin - 2.5) + "\">" +
               std::to_string(x) + "</text>\n";
    for (int y = 0; y < rows; ++y)
        svg += "<text x=\"" + number(margin / 2) + "\" y=\"" + number(centre({0, y}).y + 1) +
               "\">" + std::to_string(y) + "</text>\n";
    svg += "</g>\n";
}

std::string path_of(const Route& r) {
    std::string d = "M" + at(r.pieces.front().from);
    for (const Piece& piece : r.pieces)
        d += piece.straight ? " L" + at(piece.to) : " Q" + at(piece.control) + " " + at(piece.to);
    return d;
}

std::string data_of(const Route& r) {
    return " data-from=\"" + std::to_string(r.edge.from) + "\" data-to=\"" +
           std::to_string(r.edge.to) + "\" data-length=\"" + number(r.length) + "\"";
}

void add_edge(std::string& svg, const Route& r) {
    const std::string colour = colour_of(r.length);
    const std::string kind = std::string(length_class(r.length));
    switch (r.edge.kind) {
    case EdgeKind::loop:
        svg += "<circle class=\"edge loop\"" + data_of(r) + " cx=\"" +
               number(r.pieces.front().from.x) + "\" cy=\"" + number(r.pieces.front().from.y) +
               "\" r=\"" + number(loop_radius) + "\" stroke=\"" + loop_colour +
               "\" stroke-width=\"0.4\"/>\n";
        return;
    case EdgeKind::directed:
        // Thin and translucent, so that many of them still leave the both-ways edges readable.
        svg += "<g class=\"edge directed " + kind + "\"" + data_of(r) + " stroke=\"" + colour +
               "\" fill=\"" + colour + "\" opacity=\"0.5\"><path d=\"" + path_of(r) +
               "\" fill=\"none\" stroke-width=\"" + number(one_way_width) +
               "\"/><path class=\"arrow\" d=\"M" + at(r.arrow_tip) + " L" + at(r.arrow_left) +
               " L" + at(r.arrow_right) + " Z\" stroke=\"none\"/></g>\n";
        return;
    case EdgeKind::both_ways:
        svg += "<path class=\"edge both-ways " + kind + "\"" + data_of(r) + " d=\"" + path_of(r) +
               "\" stroke=\"" + colour + "\" stroke-width=\"" + number(both_ways_width) + "\"/>\n";
        return;
    }
}

void add_vertices(std::string& svg, const Listing& listing) {
    svg += "<g id=\"vertices\" stroke=\"#333\" stroke-width=\"0.25\" fill=\"#fff6dc\">\n";
    for (int v = 1; v <= vertex_count; ++v) {
        const Cell cell = listing.cells[v - 1];
        const Point c = centre(cell);
        // Vertex 1, where the depth order starts, stands out: gold with a heavy rim.
        const std::string start = v == 1 ? " start\" fill=\"#ffc933\" stroke-width=\"0.7" : "";
        svg += "<circle class=\"vertex" + start + "\" id=\"v" + std::to_string(v) + "\" data-x=\"" +
               std::to_string(cell.x) + "\" data-y=\"" + std::to_string(cell.y) + "\" cx=\"" +
               number(c.x) + "\" cy=\"" + number(c.y) + "\" r=\"" + number(dot_radius) + "\"/>\n";
    }
    svg += "</g>\n<g class=\"labels\" font-size=\"2.3\" fill=\"#222\" text-anchor=\"middle\" "
           "pointer-events=\"none\">\n";
    for (int v = 1; v <= vertex_count; ++v) {
        const Point c = centre(listing.cells[v - 1]);
        svg += "<text x=\"" + number(c.x) + "\" y=\"" + number(c.y + 0.8) + "\"" +
               (v == 1 ? " font-weight=\"bold\"" : "") + ">" + std::to_string(v) + "</text>\n";
    }
    svg += "</g>\n";
}

std::string length_text(double total) {
    char text[64];
    std::snprintf(text, sizeof text, "%f", total);  // six decimals, as orv-layout's totals
    return text;
}

void add_caption(std::string& svg, const Summary& s) {
    const std::string x = number(margin);
    auto line = [&](double below, const std::string& text) {
        svg +=
            "<text x=\"" + x + "\" y=\"" + number(grid_bottom + below) + "\">" + text + "</text>\n";
    };
    svg += "<g class=\"caption\" font-size=\"2.8\" fill=\"#333\">\n";
    line(5, counted(vertex_count, "vrchol", "vrcholy", "vrcholů") + ", " +
                counted(s.both_ways, "hrana", "hrany", "hran") + " oběma směry, " +
                counted(s.one_way, "hrana", "hrany", "hran") + " jedním směrem, " +
                counted(s.loops, "smyčka", "smyčky", "smyček"));
    line(9.5, "<tspan class=\"total-length\" font-weight=\"bold\">celková délka hran: " +
                  length_text(s.total_length) +
                  "</tspan> (strana pole je 1; každá hrana tolikrát, kolikrát ji výpis uvádí)");
    line(14, counted(s.long_edges, "hrana delší", "hrany delší", "hran delších") +
                 " než 5 polí; barva hrany: <tspan fill=\"" + short_colour +
                 "\">■ do 1,5 pole</tspan>, <tspan fill=\"" + middle_colour +
                 "\">■ do 5 polí</tspan>, <tspan fill=\"" + long_colour +
                 "\">■ delší</tspan>, <tspan fill=\"" + loop_colour + "\">○ smyčka</tspan>");
    line(18.5, "silná čára: hrana oběma směry; tenká se šipkou: jen jedním směrem; zlatý vrchol "
               "1: začátek pořadí podle hloubky");
    line(23, "sloupec x vpravo, řádek y dolů");
    svg += "</g>\n";
}

}  // namespace

std::string title_of(const Summary& s) {
    const int edges = s.both_ways + s.one_way + s.loops;
    return "orv-layout: " + counted(vertex_count, "vrchol", "vrcholy", "vrcholů") +
           " na mřížce 15 x 19, " + counted(edges, "hrana", "hrany", "hran") + " (" +
           std::to_string(s.one_way) + " jen jedním směrem)";
}

std::string svg_element(const Picture& picture) {
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" id=\"picture\" viewBox=\"0 0 " +
                      number(picture_width) + " " + number(picture_height) +
                      "\" width=\"100%\" height=\"100%\" font-family=\"sans-serif\">\n<title>" +
                      title_of(picture.summary) +
                      "</title>\n<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>\n";
    add_grid(svg);
    svg += "<g id=\"edges\" fill=\"none\" stroke-linecap=\"round\">\n";
    for (const Route& r : picture.routes)
        add_edge(svg, r);
    svg += "</g>\n";
    add_vertices(svg, picture.listing);
    add_caption(svg, picture.summary);
    svg += "</svg>\n";
    return svg;
}

std::string draw_svg(const Picture& picture) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + svg_element(picture);
}
