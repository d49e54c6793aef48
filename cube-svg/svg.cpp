// vevuvedu-svg: the fillings as one SVG image.
#include "svg.hpp"

#include "colour.hpp"
#include "czech.hpp"
#include "view.hpp"

#include <algorithm>
#include <cstdio>

namespace {

// Lengths in millimetres, the unit of the image's coordinates.
constexpr double cell_size = 8.5;   // a cell of a layer
constexpr double layer_gap = 5;     // between two layers
constexpr double label_height = 5;  // "x = K" above a layer
constexpr double view_scale = 11;   // one cell's step in the 3D view
constexpr double view_room = 0.9;   // around the box in the 3D view, in cells: the axes' names
constexpr double view_gap = 14;     // between the layers and the 3D view
constexpr double margin = 8;
constexpr double heading_height = 32;
constexpr double caption_height = 8;
constexpr double panel_gap = 10;  // below a filling
constexpr double tube_width = 1.5;
constexpr double halo_width = 0.7;  // the white rim on each side that parts crossing pieces
constexpr const char* taken_colour = "#8c8c8c";

std::string at(const char* x_name, double x, const char* y_name, double y) {
    return std::string(" ") + x_name + "=\"" + number(x) + "\" " + y_name + "=\"" + number(y) +
           "\"";
}

std::string coordinates(Cell c) {
    return " data-x=\"" + std::to_string(c.x) + "\" data-y=\"" + std::to_string(c.y) +
           "\" data-z=\"" + std::to_string(c.z) + "\"";
}

// The top-left corner of cell c's square in the layers.
double cell_left(const Box& box, Cell c) {
    return c.x * (box.nz * cell_size + layer_gap) + c.z * cell_size;
}
double cell_top(Cell c) { return label_height + c.y * cell_size; }

// The place of every cell on the path (-1 for a taken cell).
std::vector<int> steps_of(const Box& box, const Filling& f) {
    std::vector<int> step(static_cast<std::size_t>(box.cells()), -1);
    for (std::size_t i = 0; i < f.path.size(); ++i)
        step[static_cast<std::size_t>(box.index(f.path[i]))] = static_cast<int>(i);
    return step;
}

int value_at(const Box& box, const Filling& f, Cell c) {
    return f.values[static_cast<std::size_t>(box.index(c))];
}

void add_cells(std::string& svg, const Box& box, const Filling& f) {
    const int segments = static_cast<int>(f.segments.size());
    const std::vector<int> step = steps_of(box, f);
    svg += "<g class=\"cells\" stroke=\"#fff\" stroke-width=\"0.3\">\n";
    for (int x = 0; x < box.nx; ++x)
        for (int y = 0; y < box.ny; ++y)
            for (int z = 0; z < box.nz; ++z) {
                const Cell c{x, y, z};
                const int v = value_at(box, f, c);
                const std::string place = at("x", cell_left(box, c), "y", cell_top(c)) +
                                          " width=\"" + number(cell_size) + "\" height=\"" +
                                          number(cell_size) + "\"";
                if (v == taken_value) {
                    svg += "<rect class=\"cell taken\"" + coordinates(c) + place + " fill=\"" +
                           taken_colour + "\"/>\n";
                    continue;
                }
                svg += "<rect class=\"cell\"" + coordinates(c) + " data-step=\"" +
                       std::to_string(step[static_cast<std::size_t>(box.index(c))]) +
                       "\" data-segment=\"" + std::to_string(v) + "\" data-colour=\"" +
                       strong_colour(v, segments) + "\"" + place + " fill=\"" +
                       light_colour(v, segments) + "\"/>\n";
            }
    svg += "</g>\n";
}

// The cross on every taken cell and the frame of every layer.
void add_taken_and_frames(std::string& svg, const Box& box, const Filling& f) {
    svg += "<g class=\"crosses\" stroke=\"#fff\" stroke-width=\"0.45\">\n";
    const double inset = cell_size * 0.25;
    for (int x = 0; x < box.nx; ++x)
        for (int y = 0; y < box.ny; ++y)
            for (int z = 0; z < box.nz; ++z) {
                const Cell c{x, y, z};
                if (value_at(box, f, c) != taken_value) continue;
                const double l = cell_left(box, c) + inset, t = cell_top(c) + inset;
                const double r = l + cell_size - 2 * inset, b = t + cell_size - 2 * inset;
                svg += "<path d=\"M" + number(l) + " " + number(t) + " L" + number(r) + " " +
                       number(b) + " M" + number(r) + " " + number(t) + " L" + number(l) + " " +
                       number(b) + "\"/>\n";
            }
    svg += "</g>\n<g class=\"frames\" fill=\"none\" stroke=\"#555\" stroke-width=\"0.35\">\n";
    for (int x = 0; x < box.nx; ++x)
        svg += "<rect" + at("x", cell_left(box, {x, 0, 0}), "y", label_height) + " width=\"" +
               number(box.nz * cell_size) + "\" height=\"" + number(box.ny * cell_size) + "\"/>\n";
    svg += "</g>\n<g class=\"layer-labels\" font-size=\"3.2\" fill=\"#444\">\n";
    for (int x = 0; x < box.nx; ++x)
        svg += "<text" + at("x", cell_left(box, {x, 0, 0}), "y", label_height - 1.3) +
               ">x = " + std::to_string(x) + "</text>\n";
    svg += "</g>\n";
}

// The path through the cell centres where it stays in a layer, and a triangle on both cells'
// sides where it steps into the next or the previous layer, pointing the way it goes.
void add_trail(std::string& svg, const Box& box, const Filling& f) {
    const int segments = static_cast<int>(f.segments.size());
    const double half = cell_size / 2;
    svg += "<g class=\"trail\" stroke-width=\"0.8\" stroke-linecap=\"round\">\n";
    std::string passes;
    for (std::size_t i = 0; i + 1 < f.path.size(); ++i) {
        const Cell a = f.path[i], b = f.path[i + 1];
        const std::string colour = strong_colour(value_at(box, f, b), segments);
        if (a.x == b.x) {
            svg += "<line" + at("x1", cell_left(box, a) + half, "y1", cell_top(a) + half) +
                   at("x2", cell_left(box, b) + half, "y2", cell_top(b) + half) + " stroke=\"" +
                   colour + "\"/>\n";
            continue;
        }
        const double way = b.x > a.x ? 1 : -1;  // +1: on into the layer drawn to the right
        for (const Cell c : {a, b}) {
            // In the cell's top corner on the side it leaves by, or comes in from, pointing
            // the way the path goes; off the centre, where the lines within the layer run.
            const bool leaving = c == a;
            const double side = cell_left(box, c) + half + (leaving ? way : -way) * (half - 0.5);
            const double tip = leaving ? side : side + way * 1.5;
            const double back = tip - way * 1.5;
            const double middle = cell_top(c) + 1.5;
            passes += "<path class=\"pass\" d=\"M" + number(tip) + " " + number(middle) + " L" +
                      number(back) + " " + number(middle - 0.95) + " L" + number(back) + " " +
                      number(middle + 0.95) + " Z\" fill=\"" + colour + "\"/>\n";
        }
    }
    svg += passes + "</g>\n";
}

void add_numbers(std::string& svg, const Box& box, const Filling& f) {
    const double half = cell_size / 2;
    svg +=
        "<g class=\"numbers\" font-size=\"3.6\" fill=\"#111\" text-anchor=\"middle\" "
        "stroke=\"#fff\" stroke-width=\"0.6\" stroke-linejoin=\"round\" paint-order=\"stroke\">\n";
    for (int x = 0; x < box.nx; ++x)
        for (int y = 0; y < box.ny; ++y)
            for (int z = 0; z < box.nz; ++z) {
                const Cell c{x, y, z};
                const int v = value_at(box, f, c);
                if (v == taken_value) continue;
                svg += "<text class=\"number\"" + coordinates(c) +
                       at("x", cell_left(box, c) + half, "y", cell_top(c) + half + 1.3) +
                       (v == 1 ? " font-weight=\"bold\"" : "") + ">" + std::to_string(v) +
                       "</text>\n";
            }
    svg += "</g>\n";
    const Cell start = f.path.front(), end = f.path.back();
    svg += "<rect class=\"start\"" +
           at("x", cell_left(box, start) + 0.45, "y", cell_top(start) + 0.45) + " width=\"" +
           number(cell_size - 0.9) + "\" height=\"" + number(cell_size - 0.9) +
           "\" fill=\"none\" stroke=\"#111\" stroke-width=\"0.9\"/>\n";
    if (f.path.size() > 1)
        svg += "<rect class=\"end\"" +
               at("x", cell_left(box, end) + 0.45, "y", cell_top(end) + 0.45) + " width=\"" +
               number(cell_size - 0.9) + "\" height=\"" + number(cell_size - 0.9) +
               "\" fill=\"none\" stroke=\"#111\" stroke-width=\"0.9\" stroke-dasharray=\"1.4 "
               "0.9\"/>\n";
}

// What the 3D view draws, each at its depth: a piece of the tube (one step) or a turn's dot.
struct Item {
    double depth = 0;
    std::string svg;
};

struct Placed {
    double x = 0, y = 0, depth = 0;
};

// Where the 3D view of one filling stands in the picture.
struct Placer {
    const Box& box;
    Bounds bounds;
    double left = 0, top = 0;

    Placed operator()(double x, double y, double z) const {
        const Projected p = project(box, picture_view, x, y, z);
        return {left + (p.u - bounds.left + view_room) * view_scale,
                top + (p.v - bounds.top + view_room) * view_scale, p.depth};
    }
    Placed operator()(Cell c) const { return (*this)(c.x, c.y, c.z); }
};

// The twelve edges of the box, thin and grey.
void add_box_edges(std::string& svg, const Placer& place) {
    const Box& box = place.box;
    const double hi[3] = {box.nx - 0.5, box.ny - 0.5, box.nz - 0.5};
    svg += "<g class=\"box\" stroke=\"#bbb\" stroke-width=\"0.3\">\n";
    for (int corner = 0; corner < 8; ++corner)
        for (int axis = 0; axis < 3; ++axis) {
            if (corner & (1 << axis)) continue;
            double p[3], q[3];
            for (int k = 0; k < 3; ++k)
                p[k] = q[k] = (corner & (1 << k)) ? hi[k] : -0.5;
            q[axis] = hi[axis];
            const Placed a = place(p[0], p[1], p[2]), c = place(q[0], q[1], q[2]);
            svg += "<line" + at("x1", a.x, "y1", a.y) + at("x2", c.x, "y2", c.y) + "/>\n";
        }
    svg += "</g>\n";
}

// The path as a tube: one piece a step, a dot a turn and a grey square a taken cell, the
// farthest first, so that nearer ones cover them. Each piece is one cell long, so ordering by
// the middle of the piece puts a crossing's nearer piece on top; the white rim under every
// piece keeps the two apart where they cross. The rim ends square, so it does not cut into the
// piece before it.
void add_tube(std::string& svg, const Placer& place, const Filling& f) {
    const int segments = static_cast<int>(f.segments.size());
    std::vector<Item> items;
    for (std::size_t i = 0; i + 1 < f.path.size(); ++i) {
        const Placed a = place(f.path[i]), c = place(f.path[i + 1]);
        const int v = value_at(place.box, f, f.path[i + 1]);
        const std::string ends = at("x1", a.x, "y1", a.y) + at("x2", c.x, "y2", c.y);
        items.push_back({(a.depth + c.depth) / 2,
                         "<line class=\"halo\"" + ends + " stroke=\"#fff\" stroke-width=\"" +
                             number(tube_width + 2 * halo_width) +
                             "\" stroke-linecap=\"butt\"/>\n<line class=\"piece\" data-step=\"" +
                             std::to_string(i) + "\" data-segment=\"" + std::to_string(v) + "\"" +
                             ends + " stroke=\"" + strong_colour(v, segments) + "\"/>\n"});
    }
    for (int x = 0; x < place.box.nx; ++x)
        for (int y = 0; y < place.box.ny; ++y)
            for (int z = 0; z < place.box.nz; ++z) {
                if (value_at(place.box, f, {x, y, z}) != taken_value) continue;
                const Placed p = place(x, y, z);
                items.push_back({p.depth, "<rect class=\"taken\"" +
                                              at("x", p.x - 1.1, "y", p.y - 1.1) +
                                              " width=\"2.2\" height=\"2.2\" fill=\"" +
                                              taken_colour + "\"/>\n"});
            }
    for (std::size_t s = 1; s + 1 < f.segments.size(); ++s) {
        const Placed p = place(f.segments[s].last);
        items.push_back(
            {p.depth, "<circle class=\"turn\"" + at("cx", p.x, "cy", p.y) + " r=\"0.75\"/>\n"});
    }
    // At equal depth the path's order, turns after the pieces.
    std::stable_sort(items.begin(), items.end(),
                     [](const Item& a, const Item& c) { return a.depth > c.depth; });
    svg += "<g class=\"tube\" stroke-width=\"" + number(tube_width) +
           "\" stroke-linecap=\"round\" fill=\"#222\">\n";
    for (const Item& item : items)
        svg += item.svg;
    svg += "</g>\n";
}

// The axes' names beyond the box's edges from the corner (0,0,0) outwards, and the start and
// end marks, over the tube.
void add_marks(std::string& svg, const Placer& place, const Filling& f) {
    const Box& box = place.box;
    const double hi[3] = {box.nx - 0.5, box.ny - 0.5, box.nz - 0.5};
    svg +=
        "<g class=\"axes\" font-size=\"3.2\" fill=\"#555\" text-anchor=\"middle\" stroke=\"#fff\" "
        "stroke-width=\"0.8\" stroke-linejoin=\"round\" paint-order=\"stroke\">\n";
    const char* names[3] = {"x", "y", "z"};
    for (int axis = 0; axis < 3; ++axis) {
        double p[3] = {-0.5, -0.5, -0.5};
        p[axis] = hi[axis] + 0.6;
        const Placed a = place(p[0], p[1], p[2]);
        svg += "<text" + at("x", a.x, "y", a.y + 1.1) + ">" + names[axis] + "</text>\n";
    }
    svg += "</g>\n";
    const Placed start = place(f.path.front()), end = place(f.path.back());
    if (f.path.size() > 1)
        svg += "<rect class=\"end-mark\"" + at("x", end.x - 1.6, "y", end.y - 1.6) +
               " width=\"3.2\" height=\"3.2\" fill=\"#111\"/>\n";
    svg += "<circle class=\"start-mark\"" + at("cx", start.x, "cy", start.y) +
           " r=\"2\" fill=\"#fff\" stroke=\"#111\" stroke-width=\"0.8\"/>\n";
}

void add_view(std::string& svg, const Box& box, const Filling& f, double left, double top) {
    const Placer place{box, bounds_of(box, picture_view), left, top};
    svg += "<g class=\"view\">\n";
    add_box_edges(svg, place);
    add_tube(svg, place, f);
    add_marks(svg, place, f);
    svg += "</g>\n";
}

double view_width(const Box& box) {
    const Bounds b = bounds_of(box, picture_view);
    return (b.right - b.left + 2 * view_room) * view_scale;
}
double view_height(const Box& box) {
    const Bounds b = bounds_of(box, picture_view);
    return (b.bottom - b.top + 2 * view_room) * view_scale;
}

double panel_height(const Box& box) {
    return caption_height + std::max(layers_height(box), view_height(box)) + panel_gap;
}

std::string box_text(const Box& b) {
    return std::to_string(b.nx) + " x " + std::to_string(b.ny) + " x " + std::to_string(b.nz);
}

std::string caption_of(const Output& output, std::size_t i) {
    const Filling& f = output.fillings[i];
    std::string text =
        "Vyplnění " + std::to_string(i + 1) + " z " + std::to_string(output.fillings.size()) +
        ": " + counted(static_cast<long long>(f.segments.size()), "úsek", "úseky", "úseků") +
        ", kvádr " + box_text(output.box) + " (" +
        counted(output.box.cells(), "pole", "pole", "polí");
    if (output.taken > 0)
        text += ", z toho " + counted(output.taken, "obsazené", "obsazená", "obsazených");
    return text + ")";
}

void add_heading(std::string& svg, const Output& output) {
    const double x = margin;
    svg += "<g class=\"heading\" fill=\"#222\">\n<text class=\"title\"" +
           at("x", x, "y", margin + 4) + " font-size=\"5\" font-weight=\"bold\">" +
           title_of(output) + "</text>\n";
    if (!output.fillings.empty()) {
        const double y = margin + 11;
        svg += "<defs><linearGradient id=\"ramp\">";
        for (int k = 0; k <= 8; ++k)
            svg += "<stop offset=\"" + number(k / 8.0) + "\" stop-color=\"" +
                   strong_colour(k + 1, 9) + "\"/>";
        svg += "</linearGradient></defs>\n<rect" + at("x", x + 16, "y", y - 2.6) +
               " width=\"40\" height=\"3\" fill=\"url(#ramp)\"/>\n<g font-size=\"3.2\">\n<text" +
               at("x", x, "y", y) + ">začátek</text>\n<text" + at("x", x + 58, "y", y) +
               ">konec cesty; na poli číslo úseku, tlustý rám: začátek (1), čárkovaný: konec; "
               "<tspan fill=\"" +
               taken_colour +
               "\">■</tspan> s křížkem: obsazené pole (-1)"
               "</text>\n<text" +
               at("x", x, "y", y + 5) +
               ">Vrstvy: mřížka pro každé x, v ní z doprava a y dolů; ▶ v horním rohu pole: cesta "
               "tudy přechází do vedlejší vrstvy vpravo (◀ vlevo).</text>\n<text" +
               at("x", x, "y", y + 10) +
               ">Vpravo cesta v prostoru: kroužek začátek, "
               "čtvereček konec, tečka zatáčka.</text>\n</g>\n";
    }
    svg += "</g>\n";
}

}  // namespace

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    std::string s = text;
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s == "-0" ? "0" : s;
}

double layers_width(const Box& box) {
    return box.nx * box.nz * cell_size + (box.nx - 1) * layer_gap;
}

double layers_height(const Box& box) { return label_height + box.ny * cell_size; }

std::string layers_group(const Output& output, const Filling& filling) {
    std::string svg = "<g class=\"layers\">\n";
    add_cells(svg, output.box, filling);
    add_taken_and_frames(svg, output.box, filling);
    add_trail(svg, output.box, filling);
    add_numbers(svg, output.box, filling);
    return svg + "</g>\n";
}

std::string title_of(const Output& output) {
    if (output.fillings.empty())
        return output.box.nx == 0 ? "vevuvedu: Nebylo nalezeno žádné vyplnění."
                                  : "vevuvedu, kvádr " + box_text(output.box) +
                                        ": Nebylo nalezeno žádné vyplnění.";
    return "vevuvedu: " +
           counted(static_cast<long long>(output.fillings.size()), "vyplnění", "vyplnění",
                   "vyplnění") +
           " kvádru " + box_text(output.box);
}

std::string svg_element(const Output& output) {
    const Box& box = output.box;
    const bool any = !output.fillings.empty();
    const double content = any ? layers_width(box) + view_gap + view_width(box) : 0;
    const double width = std::max(2 * margin + content, 250.0);
    const double height =
        margin + (any ? heading_height : 8) +
        static_cast<double>(output.fillings.size()) * (any ? panel_height(box) : 0);
    std::string svg =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" id=\"picture\" viewBox=\"0 0 " + number(width) +
        " " + number(height) +
        "\" width=\"100%\" style=\"height: auto\" font-family=\"sans-serif\">\n<title>" +
        title_of(output) + "</title>\n<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>\n";
    add_heading(svg, output);
    double top = margin + heading_height;
    for (std::size_t i = 0; i < output.fillings.size(); ++i) {
        const Filling& f = output.fillings[i];
        svg += "<g class=\"filling\" id=\"f" + std::to_string(i + 1) + "\" data-segments=\"" +
               std::to_string(f.segments.size()) + "\">\n<text class=\"caption\"" +
               at("x", margin, "y", top + 4.5) +
               " font-size=\"3.8\" font-weight=\"bold\" fill=\"#222\">" + caption_of(output, i) +
               "</text>\n<g transform=\"translate(" + number(margin) + " " +
               number(top + caption_height) + ")\">\n" + layers_group(output, f) + "</g>\n";
        add_view(svg, box, f, margin + layers_width(box) + view_gap, top + caption_height);
        svg += "</g>\n";
        top += panel_height(box);
    }
    return svg + "</svg>\n";
}

std::string draw_svg(const Output& output) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + svg_element(output);
}
