// orv-layout-svg: the picture of a listing as one SVG image.
#pragma once

#include "picture.hpp"

#include <string>

// The <svg> element alone: the 15 x 19 grid with its column and row numbers, every edge on its
// route, every vertex as a dot labelled with its number in the centre of its cell (vertex 1
// marked), and the caption below the grid. Sized by its viewBox alone, it fills the width of
// a window or a page, 170 x 224 in proportion, so it also fits an A4 page. Every edge carries
// the class "edge", its kind and its length class, and data-from, data-to and data-length;
// every dot the class "vertex", the id "vN" and data-x, data-y (its cell).
std::string svg_element(const Picture& picture);

// A whole SVG file: the XML declaration and the element.
std::string draw_svg(const Picture& picture);

// The title: the counts of vertices and edges, the one-way edges among them; the page's title
// too.
std::string title_of(const Summary& summary);
