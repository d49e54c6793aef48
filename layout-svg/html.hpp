// orv-layout-svg: the picture as one self-contained interactive HTML page.
#pragma once

#include "picture.hpp"

#include <string>

// One page that needs nothing else (no network, no other file): the SVG picture inline, its
// caption included, with a small script. Pointing at a vertex, or clicking it (a second click
// or a click beside the dots lets go), highlights its edges and its neighbours and shows its
// number, cell and in/out degree; a slider shows only the edges longer than a chosen length.
std::string draw_html(const Picture& picture);
