// vevuvedu-svg: tracing a filling's path.
#include "path.hpp"

namespace {

// Where the path has got to: the box and its numbers, where each number's cells are, the path
// so far and the end of its last segment.
struct Tracer {
    const Box& box;
    const std::vector<int32_t>& values;
    std::vector<int64_t> count;   // index k: the cells holding k
    std::vector<Cell> some_cell;  // index k: the last cell in index order holding k, for messages
    PathTrace trace;
    Cell end{0, 0, 0};    // the last cell of the path so far
    Cell along{0, 0, 0};  // the direction of its last segment (none for the start)
};

std::string cell_text(Cell c) {
    return std::to_string(c.x) + " " + std::to_string(c.y) + " " + std::to_string(c.z);
}

bool inside(const Box& box, Cell c) {
    return c.x >= 0 && c.y >= 0 && c.z >= 0 && c.x < box.nx && c.y < box.ny && c.z < box.nz;
}

int32_t value_at(const Tracer& t, Cell c) {
    return t.values[static_cast<std::size_t>(t.box.index(c))];
}

Cell step_from(Cell c, Cell d, int64_t k) {
    const int n = static_cast<int>(k);
    return {c.x + n * d.x, c.y + n * d.y, c.z + n * d.z};
}

// The trace so far, refused at cell `where`.
PathTrace refused(const Tracer& t, Cell where, const std::string& what) {
    PathTrace trace = t.trace;
    trace.fault_cell = where;
    trace.fault = "pole " + cell_text(where) + ": " + what;
    return trace;
}

std::string segment_text(int32_t k) { return "úsek " + std::to_string(k); }

// Counts every number's cells; refuses a number that is neither -1 nor a segment that can fit.
std::optional<PathTrace> take_census(Tracer& t) {
    const int64_t most = t.box.cells();
    t.count.assign(static_cast<std::size_t>(most) + 1, 0);
    t.some_cell.assign(static_cast<std::size_t>(most) + 1, Cell{});
    for (int x = 0; x < t.box.nx; ++x)
        for (int y = 0; y < t.box.ny; ++y)
            for (int z = 0; z < t.box.nz; ++z) {
                const Cell c{x, y, z};
                const int32_t v = value_at(t, c);
                if (v == taken_value) continue;
                if (v < 1 || v > most)
                    return refused(t, c,
                                   "číslo " + std::to_string(v) +
                                       " není číslo úseku ani -1 (obsazené pole)");
                ++t.count[static_cast<std::size_t>(v)];
                t.some_cell[static_cast<std::size_t>(v)] = c;
            }
    return std::nullopt;
}

// The direction segment k leaves the end of the path by: along the first axis for segment 2,
// which covers all of it after the start; otherwise towards the one neighbour of the end that
// holds k, at a right angle to the segment before, for at least 2 cells.
std::optional<PathTrace> direction_of(const Tracer& t, int32_t k, int64_t length, Cell& d) {
    const Cell some = t.some_cell[static_cast<std::size_t>(k)];
    if (k == 2) {
        d = {1, 0, 0};
        if (length == t.box.nx - 1) return std::nullopt;
        return refused(t, some,
                       "úsek 2 má vést podél celé první osy, od 1 0 0 do " +
                           std::to_string(t.box.nx - 1) + " 0 0");
    }
    const Cell axes[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    const Cell* found = nullptr;
    for (const Cell& a : axes)
        if (inside(t.box, step_from(t.end, a, 1)) && value_at(t, step_from(t.end, a, 1)) == k) {
            found = &a;
            break;
        }
    if (found == nullptr)
        return refused(t, some,
                       segment_text(k) + " nezačíná vedle konce úseku " + std::to_string(k - 1) +
                           " (pole " + cell_text(t.end) + ")");
    d = *found;
    if (d.x * t.along.x + d.y * t.along.y + d.z * t.along.z != 0)
        return refused(t, step_from(t.end, d, 1),
                       segment_text(k) + " nezahýbá kolmo k úseku " + std::to_string(k - 1));
    if (length < 2) return refused(t, some, segment_text(k) + " má jen 1 pole, nejméně 2");
    return std::nullopt;
}

// Lays segment k, of `length` cells, on the path: its cells must be exactly the `length` cells
// straight on from the end towards d.
std::optional<PathTrace> lay_segment(Tracer& t, int32_t k, int64_t length, Cell d) {
    for (int64_t i = 1; i <= length; ++i) {
        const Cell c = step_from(t.end, d, i);
        if (!inside(t.box, c) || value_at(t, c) != k)
            return refused(t, t.some_cell[static_cast<std::size_t>(k)],
                           segment_text(k) + " není jedna přímá řada " + std::to_string(length) +
                               " polí od konce úseku " + std::to_string(k - 1));
        t.trace.path.push_back(c);
    }
    const Cell last = step_from(t.end, d, length);
    t.trace.segments.push_back({step_from(t.end, d, 1), last, static_cast<int>(length)});
    t.end = last;
    t.along = d;
    return std::nullopt;
}

}  // namespace

PathTrace trace_path(const Box& box, const std::vector<int32_t>& values) {
    Tracer t{box, values, {}, {}, {}, {0, 0, 0}, {0, 0, 0}};
    const Cell start{0, 0, 0};
    if (std::optional<PathTrace> fault = take_census(t)) return *fault;
    if (value_at(t, start) != 1) return refused(t, start, "cesta v něm nezačíná číslem 1");
    if (t.count[1] != 1)
        return refused(t, t.some_cell[1], "číslo 1 patří jen počátečnímu poli 0 0 0");
    t.trace.path.push_back(start);
    t.trace.segments.push_back({start, start, 1});

    // Segments 2, 3, ... for as long as some cell holds the number; no higher number may be left
    // over then, and every cell holding a number lies on the path.
    int32_t k = 2;
    for (; static_cast<std::size_t>(k) < t.count.size() && t.count[static_cast<std::size_t>(k)] > 0;
         ++k) {
        const int64_t length = t.count[static_cast<std::size_t>(k)];
        Cell d;
        if (std::optional<PathTrace> fault = direction_of(t, k, length, d)) return *fault;
        if (std::optional<PathTrace> fault = lay_segment(t, k, length, d)) return *fault;
    }
    if (k == 2 && box.nx > 1)
        return refused(t, {1, 0, 0}, "chybí úsek 2, který vede podél celé první osy");
    for (std::size_t j = static_cast<std::size_t>(k) + 1; j < t.count.size(); ++j)
        if (t.count[j] > 0)
            return refused(t, t.some_cell[j],
                           "číslo " + std::to_string(j) + " bez úseku " + std::to_string(k));
    return t.trace;
}
