// vevuvedu-svg: tracing a filling's path.
#include "path.hpp"

namespace {

std::string cell_text(Cell c) {
    return std::to_string(c.x) + " " + std::to_string(c.y) + " " + std::to_string(c.z);
}

bool inside(const Box& box, Cell c) {
    return c.x >= 0 && c.y >= 0 && c.z >= 0 && c.x < box.nx && c.y < box.ny && c.z < box.nz;
}

Cell step_from(Cell c, Cell d, int k) { return {c.x + k * d.x, c.y + k * d.y, c.z + k * d.z}; }

PathTrace refused(PathTrace trace, Cell where, const std::string& what) {
    trace.fault_cell = where;
    trace.fault = "pole " + cell_text(where) + ": " + what;
    return trace;
}

// Where each number's cells are: their count and one of them, for the messages.
struct Census {
    std::vector<int64_t> count;    // index k: the cells holding k
    std::vector<Cell> some_cell;   // index k: the last cell in index order holding k
};

// Counts every number's cells; refuses a number that is neither -1 nor a segment that can fit.
std::optional<PathTrace> take_census(const Box& box, const std::vector<int32_t>& values,
                                     Census& census) {
    const int64_t most = box.cells();
    census.count.assign(static_cast<std::size_t>(most) + 1, 0);
    census.some_cell.assign(static_cast<std::size_t>(most) + 1, Cell{});
    for (int x = 0; x < box.nx; ++x)
        for (int y = 0; y < box.ny; ++y)
            for (int z = 0; z < box.nz; ++z) {
                const Cell c{x, y, z};
                const int32_t v = values[static_cast<std::size_t>(box.index(c))];
                if (v == taken_value) continue;
                if (v < 1 || v > most)
                    return refused({}, c, "číslo " + std::to_string(v) +
                                              " není číslo úseku ani -1 (obsazené pole)");
                ++census.count[v];
                census.some_cell[v] = c;
            }
    return std::nullopt;
}

}  // namespace

PathTrace trace_path(const Box& box, const std::vector<int32_t>& values) {
    PathTrace trace;
    const Cell start{0, 0, 0};
    Census census;
    if (std::optional<PathTrace> fault = take_census(box, values, census)) return *fault;
    auto value_at = [&](Cell c) { return values[static_cast<std::size_t>(box.index(c))]; };
    if (value_at(start) != 1) return refused(trace, start, "cesta v něm nezačíná číslem 1");
    if (census.count[1] != 1)
        return refused(trace, census.some_cell[1], "číslo 1 patří jen počátečnímu poli 0 0 0");
    trace.path.push_back(start);
    trace.segments.push_back({start, start, 1});

    // Segments 2, 3, ... for as long as some cell holds the number; then no higher number may
    // be left over.
    Cell end = start, along{0, 0, 0};
    int32_t k = 2;
    for (; k < static_cast<int32_t>(census.count.size()) && census.count[k] > 0; ++k) {
        const int64_t length = census.count[k];
        Cell d{0, 0, 0};
        if (k == 2) {
            d = {1, 0, 0};
            if (length != box.nx - 1)
                return refused(trace, census.some_cell[k],
                               "úsek 2 má vést podél celé první osy, od 1 0 0 do " +
                                   std::to_string(box.nx - 1) + " 0 0");
        } else {
            const Cell axes[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
            bool found = false;
            for (const Cell& a : axes) {
                const Cell next = step_from(end, a, 1);
                if (inside(box, next) && value_at(next) == k) {
                    d = a;
                    found = true;
                    break;
                }
            }
            if (!found)
                return refused(trace, census.some_cell[k],
                               "úsek " + std::to_string(k) + " nezačíná vedle konce úseku " +
                                   std::to_string(k - 1) + " (pole " + cell_text(end) + ")");
            if (d.x * along.x + d.y * along.y + d.z * along.z != 0)
                return refused(trace, step_from(end, d, 1),
                               "úsek " + std::to_string(k) + " nezahýbá kolmo k úseku " +
                                   std::to_string(k - 1));
            if (length < 2)
                return refused(trace, census.some_cell[k],
                               "úsek " + std::to_string(k) + " má jen 1 pole, nejméně 2");
        }
        // The segment's cells must be exactly the `length` cells straight on from the end.
        for (int64_t i = 1; i <= length; ++i) {
            const Cell c = step_from(end, d, static_cast<int>(i));
            if (!inside(box, c) || value_at(c) != k)
                return refused(trace, census.some_cell[k],
                               "úsek " + std::to_string(k) + " není jedna přímá řada " +
                                   std::to_string(length) + " polí od konce úseku " +
                                   std::to_string(k - 1));
            trace.path.push_back(c);
        }
        const Cell last = step_from(end, d, static_cast<int>(length));
        trace.segments.push_back({step_from(end, d, 1), last, static_cast<int>(length)});
        end = last;
        along = d;
    }
    if (k == 2 && box.nx > 1)
        return refused(trace, {1, 0, 0}, "chybí úsek 2, který vede podél celé první osy");
    for (int32_t j = k + 1; j < static_cast<int32_t>(census.count.size()); ++j)
        if (census.count[j] > 0)
            return refused(trace, census.some_cell[j],
                           "číslo " + std::to_string(j) + " bez úseku " + std::to_string(k));
    return trace;
}
