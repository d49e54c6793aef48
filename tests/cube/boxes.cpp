// Boxes for the search tests: random walks of segments and the boxes they leave free.
#include "boxes.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

Cube box(int32_t nx, int32_t ny, int32_t nz) {
    Cube k;
    EXPECT_TRUE(make_cube(k, nx, ny, nz));
    return k;
}

Cube copy_of(const Cube& k) {
    Cube copy = box(k.nx, k.ny, k.nz);
    std::copy(k.cells.get(), k.cells.get() + k.celkem_poli, copy.cells.get());
    return copy;
}

std::string dump_text(const Cube& k) {
    std::string text;
    dump(text, k);
    return text;
}

std::string snapshot(const Cube& k) { return dump_text(k); }

namespace {

struct Reference {
    Cube& k;
    std::string printed;
    uint64_t calls = 0;

    int32_t probe(std::array<int32_t, 3> at, int32_t axis, int32_t d, int32_t segment,
                  int32_t filled) {
        ++calls;
        const int32_t s = d > 0 ? 1 : -1;
        auto cell = [&](int32_t step) -> int32_t& {
            std::array<int32_t, 3> c = at;
            c[axis] += step * s;
            return k.at(c[0], c[1], c[2]);
        };
        for (int32_t i = 1; i <= std::abs(d); ++i)
            if (cell(i) != 0) return 0;
        for (int32_t i = 1; i <= std::abs(d); ++i)
            cell(i) = segment;
        int32_t sum = 0;
        if (filled + std::abs(d) == k.celkem_poli) {
            printed += dump_text(k);
            sum = 1;
        } else if (d != 0) {
            std::array<int32_t, 3> head = at;
            head[axis] += d;
            const int32_t edges[3] = {k.nx, k.ny, k.nz};
            const int32_t order[3][2] = {{1, 2}, {0, 2}, {1, 0}};
            for (int32_t next : order[axis])
                for (int32_t t = 0; t < edges[next]; ++t)
                    if (std::abs(t - head[next]) >= 2)
                        sum += probe(head, next, t - head[next], segment + 1, filled + std::abs(d));
        }
        for (int32_t i = 1; i <= std::abs(d); ++i)
            cell(i) = 0;
        return sum;
    }
};

}  // namespace

KeptSearch plain_search(const Cube& k) {
    Cube copy = copy_of(k);
    copy.at(0, 0, 0) = 1;
    int32_t filled = 0;
    for (int32_t cell = 0; cell < copy.celkem_poli; ++cell)
        filled += copy.cells[cell] != 0;
    Reference ref{copy, {}, 0};
    KeptSearch kept;
    kept.count = ref.probe({0, 0, 0}, 0, k.nx - 1, 2, filled);
    kept.stats.calls = ref.calls;
    kept.printed = std::move(ref.printed);
    return kept;
}

KeptSearch search_kept(Cube& k) {
    KeptSearch kept;
    SearchOptions options;
    options.sink.context = &kept.printed;
    options.sink.write = [](std::string_view text, void* printed) {
        static_cast<std::string*>(printed)->append(text);
        return true;
    };
    static_cast<BoxSearch&>(kept) = search_box(k, options);
    return kept;
}

bool extend(Walk& w, int32_t axis, int32_t d) {
    const int32_t edges[3] = {w.k.nx, w.k.ny, w.k.nz};
    std::array<int32_t, 3> c = w.head;
    c[axis] += d;
    if (std::abs(d) < 2 || c[axis] < 0 || c[axis] >= edges[axis]) return false;
    for (int32_t i = 1; i <= std::abs(d); ++i) {
        c = w.head;
        c[axis] += d > 0 ? i : -i;
        if (w.k.at(c[0], c[1], c[2]) != 0) return false;
    }
    for (int32_t i = 1; i <= std::abs(d); ++i) {
        w.head[axis] += d > 0 ? 1 : -1;
        w.k.at(w.head[0], w.head[1], w.head[2]) = 1;
    }
    w.axis = axis;
    return true;
}

Walk random_walk(std::mt19937& rng, int32_t nx, int32_t ny, int32_t nz, int32_t tries) {
    Walk w{box(nx, ny, nz), {nx - 1, 0, 0}, 0};
    for (int32_t x = 0; x < nx; ++x)
        w.k.at(x, 0, 0) = 1;
    const int32_t edges[3] = {nx, ny, nz};
    for (; tries > 0; --tries) {
        const int32_t next = (w.axis + 1 + static_cast<int32_t>(rng() % 2)) % 3;
        const int32_t t = static_cast<int32_t>(rng() % static_cast<uint32_t>(edges[next]));
        extend(w, next, t - w.head[next]);
    }
    return w;
}

bool end_in_ring(std::mt19937& rng, Walk& w) {
    const int32_t edges[3] = {w.k.nx, w.k.ny, w.k.nz};
    const int32_t a = (w.axis + 1 + static_cast<int32_t>(rng() % 2)) % 3;
    const int32_t b = (a + 1) % 3, c = (a + 2) % 3;
    if (edges[b] < 4 || edges[c] < 4) return false;
    auto side = [&](int32_t axis) {  // 3 cells or more, either way
        const int32_t length =
            3 + static_cast<int32_t>(rng() % static_cast<uint32_t>(edges[axis] - 3));
        return rng() % 2 ? length : -length;
    };
    for (int32_t attempt = 0; attempt < 20; ++attempt) {
        Walk tried{copy_of(w.k), w.head, w.axis};
        const int32_t t = static_cast<int32_t>(rng() % static_cast<uint32_t>(edges[a]));
        const int32_t lb = side(b), lc = side(c);
        if (extend(tried, a, t - tried.head[a]) && extend(tried, b, lb) && extend(tried, c, lc) &&
            extend(tried, b, -lb) && extend(tried, c, lc > 0 ? 1 - lc : -1 - lc)) {
            w = std::move(tried);
            return true;
        }
    }
    return false;
}

Cube walk_box(std::mt19937& rng, Walk& w, int32_t spare) {
    Cube& k = w.k;
    for (int32_t cell = 0; cell < k.celkem_poli; ++cell)
        k.cells[cell] = k.cells[cell] ? 0 : -1;
    for (int32_t i = 0; i < spare; ++i)
        k.cells[rng() % static_cast<uint32_t>(k.celkem_poli)] = 0;
    return std::move(k);
}

Cube random_walk_box(std::mt19937& rng, int32_t nx, int32_t ny, int32_t nz, int32_t spare,
                     int32_t tries) {
    Walk w = random_walk(rng, nx, ny, nz, tries);
    return walk_box(rng, w, spare);
}

Cube random_box(std::mt19937& rng, int32_t nx, int32_t ny, int32_t nz, uint32_t taken) {
    Cube k = box(nx, ny, nz);
    for (int32_t cell = 0; cell < k.celkem_poli; ++cell)
        if (cell % (ny * nz) != 0 && rng() % 1000 < taken) k.cells[cell] = -1;
    return k;
}

Cube picture(int32_t nx, int32_t n, const std::vector<std::string>& layers) {
    Cube k = box(nx, n, n);
    for (int32_t x = 0; x < nx; ++x)
        for (int32_t y = 0; y < n; ++y)
            for (int32_t z = 0; z < n; ++z)
                if (layers[static_cast<std::size_t>(x)]
                          [static_cast<std::size_t>(y * (n + 1) + z)] == '#')
                    k.at(x, y, z) = -1;
    return k;
}

Folder::Folder() {
    char name[] = "/tmp/vevuvedu-test-XXXXXX";
    path = mkdtemp(name);
}
Folder::~Folder() { std::filesystem::remove_all(path); }

bool append(std::string_view text, void* printed) {
    static_cast<std::string*>(printed)->append(text);
    return true;
}
