// vevuvedu-svg: the three-dimensional view of a box, as a picture draws it.
//
// The view looks at the box from in front of its first layer, above and to one side: the third
// axis (z) runs to the right, the second (y) downwards and the first (x) away from the viewer,
// as in the layers drawn side by side. The box is turned by `yaw` about the upright axis and
// tilted by `pitch` towards the viewer, so that no two cells of the box fall on one point.
#pragma once

#include "records.hpp"

struct View {
    double yaw = 0;    // radians
    double pitch = 0;  // radians
};

// The view of the pictures.
inline constexpr View picture_view{0.62, 0.42};

// A cell centre (or any point in cell units) in the view: u to the right, v downwards, both in
// cell units around the box's centre, and its depth (larger is farther from the viewer).
struct Projected {
    double u = 0, v = 0, depth = 0;
};

Projected project(const Box& box, const View& view, double x, double y, double z);

// The smallest rectangle holding the box's eight corners (the cells' outer faces) in the view.
struct Bounds {
    double left = 0, top = 0, right = 0, bottom = 0;
};

Bounds bounds_of(const Box& box, const View& view);
