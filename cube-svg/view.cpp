// vevuvedu-svg: the three-dimensional view.
#include "view.hpp"

#include <algorithm>
#include <cmath>

Projected project(const Box& box, const View& view, double x, double y, double z) {
    // Upright world coordinates around the box's centre: right, up, away.
    const double right = z - (box.nz - 1) / 2.0;
    const double up = (box.ny - 1) / 2.0 - y;
    const double away = x - (box.nx - 1) / 2.0;
    const double cy = std::cos(view.yaw), sy = std::sin(view.yaw);
    const double turned_right = right * cy + away * sy;
    const double turned_away = away * cy - right * sy;
    const double cp = std::cos(view.pitch), sp = std::sin(view.pitch);
    return {turned_right, -(up * cp + turned_away * sp), turned_away * cp - up * sp};
}

Bounds bounds_of(const Box& box, const View& view) {
    Bounds b{1e300, 1e300, -1e300, -1e300};
    for (int corner = 0; corner < 8; ++corner) {
        const Projected p =
            project(box, view, (corner & 1) ? box.nx - 0.5 : -0.5,
                    (corner & 2) ? box.ny - 0.5 : -0.5, (corner & 4) ? box.nz - 0.5 : -0.5);
        b.left = std::min(b.left, p.u);
        b.right = std::max(b.right, p.u);
        b.top = std::min(b.top, p.v);
        b.bottom = std::max(b.bottom, p.v);
    }
    return b;
}
