// vevuvedu-svg: the colours of a path, from its start to its end.
#pragma once

#include <string>

// The hue of segment `number` (1 .. `segments`): 240 degrees (blue) at the start, falling
// evenly through cyan, green and yellow to 0 (red) at the last segment.
double hue_of(int number, int segments);

// The colour the segment's tube and lines are drawn in, "#rrggbb": strong and fairly dark.
std::string strong_colour(int number, int segments);

// The colour of the segment's cells in the layers: light, so the numbers on them read well.
std::string light_colour(int number, int segments);

// "#rrggbb" of a colour given by hue (degrees), saturation and lightness (0 .. 1).
std::string hsl_colour(double hue, double saturation, double lightness);
