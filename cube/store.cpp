// vevuvedu: the cube `kostka`, its cells, and printing a filling.
#include "store.hpp"

#include <algorithm>

bool make_cube(Cube& kostka, int32_t nx, int32_t ny, int32_t nz) {
    kostka.nx = nx;
    kostka.ny = ny;
    kostka.nz = nz;
    kostka.celkem_poli = nx * ny * nz;
    // calloc: the cells start free, and pages of a large cube are not touched until used.
    kostka.cells.reset(
        static_cast<int32_t*>(std::calloc(static_cast<std::size_t>(kostka.celkem_poli), 4)));
    return kostka.cells != nullptr;
}

bool copy_cube(Cube& copy, const Cube& kostka) {
    if (!make_cube(copy, kostka.nx, kostka.ny, kostka.nz)) return false;
    std::copy(kostka.cells.get(), kostka.cells.get() + kostka.celkem_poli, copy.cells.get());
    return true;
}

void dump(std::string& text, const Cube& k) {
    char cell[16];
    for (int32_t x = 0; x < k.nx; ++x) {
        for (int32_t y = 0; y < k.ny; ++y) {
            for (int32_t z = 0; z < k.nz; ++z)
                text.append(cell, static_cast<std::size_t>(
                                      std::snprintf(cell, sizeof cell, "%d ", k.at(x, y, z))));
            text += '\n';
        }
        text += "---\n";
    }
}
