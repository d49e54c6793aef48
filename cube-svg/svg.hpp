// vevuvedu-svg: the fillings of one output as one SVG image.
#pragma once

#include "records.hpp"

#include <string>

// The layers of one filling, drawn from (0,0) to the right: one grid per x, side by side, the
// label "x = K" above each. In a grid the third axis z runs to the right and the second, y,
// downwards. Every cell is a <rect class="cell"> with data-x, data-y, data-z; a free cell also
// has data-step (its place on the path, from 0), data-segment and data-colour (its segment's
// strong colour) and is filled with its segment's light colour; a taken cell has the class
// "taken", is grey and crossed. The numbers stand on the cells (class "number"), the path runs
// through the cell centres within a layer, and a small triangle (class "pass") on a cell's side
// shows where the path goes on into the next or the previous layer. The start cell has a heavy
// frame (class "start"), the end cell a dashed one (class "end").
std::string layers_group(const Output& output, const Filling& filling);

// The width and height of `layers_group`'s drawing for the box.
double layers_width(const Box& box);
double layers_height(const Box& box);

// The <svg> element alone: a heading with the legend, then every filling below the one before:
// its caption (number, segments, box), its layers, and to their right the path in three
// dimensions as a tube through the cell centres, one short piece per step (<line class="piece">
// with data-step and data-segment), coloured along the path like the cells, nearer pieces over
// farther ones, every turn a dot, every taken cell a grey square, the start a ring and the end
// a square. Sized by its viewBox
// alone, it fills the width of a window or a page.
std::string svg_element(const Output& output);

// A whole SVG file: the XML declaration and the element.
std::string draw_svg(const Output& output);

// The title: how many fillings of which box; the page's title too.
std::string title_of(const Output& output);

// A coordinate with at most two decimals and no trailing zeros.
std::string number(double value);
