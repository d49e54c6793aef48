// vevuvedu-svg: one filling at a time in three dimensions, as one self-contained HTML page.
#pragma once

#include "records.hpp"

#include <string>

// One page that needs nothing else (no network, no other file). It shows one filling: the path
// as a tube in three dimensions, turned by dragging it (or by the keys W, A, S, D), and the
// filling's layers below it. The path is stepped segment by segment with the buttons or the
// arrow keys (Home and End: to the start and to the whole path): the segments walked so far are
// drawn in colour, the current one thicker, the rest faint, taken cells as grey squares; in the
// layers the cells walked so far keep their colour. A list picks the filling. The page reads the
// path from the layers, which carry every cell's place on the path (see svg.hpp).
std::string draw_html(const Output& output);
