#include "search.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <random>
#include <string>

namespace {

// The search as a plain recursion, written straight from its rules: the reference that the
// explicit-stack search must match call for call and filling for filling.
struct Reference {
    Kostka& k;
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

Kostka box(int32_t nx, int32_t ny, int32_t nz) {
    Kostka k;
    EXPECT_TRUE(make_kostka(k, nx, ny, nz));
    return k;
}

Kostka copy_of(const Kostka& k) {
    Kostka copy = box(k.nx, k.ny, k.nz);
    std::copy(k.cells.get(), k.cells.get() + k.celkem_poli, copy.cells.get());
    return copy;
}

std::string snapshot(const Kostka& k) { return dump_text(k); }

TEST(ProbePath, PlainSearchMakesTheKnownNumberOfCallsAndLeavesTheCubeClean) {
    const std::array<uint64_t, 5> calls = {1, 1, 1, 75, 187165};
    for (int32_t n = 1; n <= 4; ++n) {
        Kostka k = box(n, n, n);
        const BoxSearch r = search_box(k, Pruning::none);
        EXPECT_EQ(r.stats.calls, calls[n]) << "N = " << n;
        EXPECT_EQ(r.count, n == 1 ? 1 : 0);
        EXPECT_EQ(r.printed, n == 1 ? "1 \n---\n" : "");
        EXPECT_EQ(k.at(0, 0, 0), 1);
        for (int32_t cell = 1; cell < k.celkem_poli; ++cell)
            ASSERT_EQ(k.cells[cell], 0);
        Kostka pruned = box(n, n, n);
        EXPECT_EQ(search_box(pruned, Pruning::full).printed, r.printed);
        EXPECT_EQ(snapshot(pruned), snapshot(k));
    }
}

// In a 3 x 3 x 1 box with (0,1) and (1,1) taken, the one filling is: along x to (2,0), along y
// to (2,2), back along x to (0,2).
TEST(ProbePath, FindsAndPrintsAFillingOfABoxWithTakenCells) {
    for (Pruning pruning : {Pruning::none, Pruning::full}) {
        Kostka k = box(3, 3, 1);
        k.at(0, 1, 0) = k.at(1, 1, 0) = 9;
        const BoxSearch r = search_box(k, pruning);
        EXPECT_EQ(r.count, 1);
        EXPECT_EQ(r.printed, "1 \n9 \n4 \n---\n2 \n9 \n4 \n---\n2 \n3 \n3 \n---\n");
        EXPECT_EQ(snapshot(k), "1 \n9 \n0 \n---\n0 \n9 \n0 \n---\n0 \n0 \n0 \n---\n");
    }
}

// In a 3 x 2 x 1 box one step along y and two back along x would fill it, but no segment
// after the first covers a single cell, and the first segment is the only call.
TEST(ProbePath, NeverTriesATargetOneCellAway) {
    Kostka k = box(3, 2, 1);
    const BoxSearch r = search_box(k, Pruning::none);
    EXPECT_EQ(r.count, 0);
    EXPECT_EQ(r.stats.calls, 1u);
    // Blocked first segment: nothing is marked, nothing else tried.
    Kostka blocked = box(3, 3, 1);
    blocked.at(2, 0, 0) = 7;
    EXPECT_EQ(search_box(blocked, Pruning::none).stats.calls, 1u);
    EXPECT_EQ(blocked.at(1, 0, 0), 0);
}

// A random walk of segments from (0,0,0), the first along the whole first axis: its cells are
// marked 1 in `k`, and `head` and `axis` are the end of its last segment and that segment's axis.
struct Walk {
    Kostka k;
    std::array<int32_t, 3> head;
    int32_t axis = 0;
};

// Appends the segment (axis, d) from the head when its cells are in the box and off the walk.
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

// Ends the walk in a ring: a segment at a right angle to the last one, to a corner of a
// rectangle border of at least 4 x 4 cells lying across that segment. The walk can then go
// round the ring either way, so the box has two fillings or more. False (the walk unchanged)
// when none fits.
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

// The box whose free cells are the walk's cells and `spare` random others: with none spare it
// has at least one filling, the walk itself; with some it usually has none.
Kostka walk_box(std::mt19937& rng, Walk& w, int32_t spare) {
    Kostka& k = w.k;
    for (int32_t cell = 0; cell < k.celkem_poli; ++cell)
        k.cells[cell] = k.cells[cell] ? 0 : -1;
    for (int32_t i = 0; i < spare; ++i)
        k.cells[rng() % static_cast<uint32_t>(k.celkem_poli)] = 0;
    return std::move(k);
}

Kostka random_walk_box(std::mt19937& rng, int32_t nx, int32_t ny, int32_t nz, int32_t spare,
                       int32_t tries = 200) {
    Walk w = random_walk(rng, nx, ny, nz, tries);
    return walk_box(rng, w, spare);
}

// A random box with every cell but the first row taken with probability `taken` in 1000.
Kostka random_box(std::mt19937& rng, int32_t nx, int32_t ny, int32_t nz, uint32_t taken) {
    Kostka k = box(nx, ny, nz);
    for (int32_t cell = 0; cell < k.celkem_poli; ++cell)
        if (cell % (ny * nz) != 0 && rng() % 1000 < taken) k.cells[cell] = -1;
    return k;
}

// Compares the plain explicit-stack search with the reference recursion, and the pruned
// search with the plain one: the same fillings in the same order, the box left as it was.
// Returns the number of fillings.
int32_t expect_same_search(Kostka& k, const std::string& label) {
    const std::string before = snapshot(k);
    Kostka copy = copy_of(k);
    const BoxSearch plain = search_box(k, Pruning::none);
    const std::string start = snapshot(k);  // with (0,0,0) marked 1
    copy.at(0, 0, 0) = 1;
    int32_t filled = 0;
    for (int32_t cell = 0; cell < copy.celkem_poli; ++cell)
        filled += copy.cells[cell] != 0;
    Reference ref{copy, {}, 0};
    const int32_t ref_count = ref.probe({0, 0, 0}, 0, k.nx - 1, 2, filled);
    EXPECT_EQ(plain.count, ref_count) << label;
    EXPECT_EQ(plain.stats.calls, ref.calls) << label;
    EXPECT_EQ(plain.printed, ref.printed) << label;
    const BoxSearch pruned = search_box(k, Pruning::full);
    EXPECT_EQ(pruned.count, plain.count) << label << "\n" << before;
    EXPECT_EQ(pruned.printed, plain.printed) << label << "\n" << before;
    EXPECT_LE(pruned.stats.calls, plain.stats.calls) << label;
    EXPECT_EQ(snapshot(k), start) << label;
    return plain.count;
}

TEST(ProbePath, PrunedSearchFindsWhatThePlainSearchFindsOnRandomBoxes) {
    std::mt19937 rng(20261208);
    // Boxes with an edge of 1 or 2 as well: segments there run along two axes only, or cross a
    // thin box in a single step that no segment may take.
    const int32_t shapes[][3] = {{3, 3, 3}, {4, 4, 4}, {4, 5, 6}, {6, 5, 4}, {3, 4, 5},
                                 {5, 3, 4}, {2, 6, 5}, {5, 5, 5}, {5, 1, 6}, {6, 4, 1},
                                 {4, 2, 6}, {6, 6, 2}, {7, 1, 1}, {1, 4, 4}};
    int32_t boxes = 0, with_fillings = 0;
    for (int32_t round = 0; round < 300; ++round)
        for (const auto& s : shapes) {
            const int32_t spare = static_cast<int32_t>(rng() % 4);  // 0: one filling at least
            Kostka k = random_walk_box(rng, s[0], s[1], s[2], spare);
            const int32_t found = expect_same_search(k, "walk box");
            if (spare == 0 && s[0] > 1) {
                ASSERT_GE(found, 1);
            }
            ++boxes;
            with_fillings += found > 0;
        }
    // Up to 64 cells take one board word, up to 128 two, then four and eight; 5 x 13 x 5 and
    // 8 x 8 x 8 step a word or more along the first axis, 4 x 2 x 64 one word along the second
    // and two along the first, 2 x 4 x 64 four along the first.
    for (int32_t round = 0; round < 8; ++round)
        for (const auto& s :
             {std::array<int32_t, 3>{6, 6, 5}, {5, 13, 5}, {8, 8, 8}, {4, 2, 64}, {2, 4, 64}}) {
            Kostka k = random_walk_box(rng, s[0], s[1], s[2], 0, 60);
            ASSERT_GE(expect_same_search(k, "large walk box"), 1);
        }
    for (int32_t round = 0; round < 300; ++round) {
        const std::array<int32_t, 3> s = {3 + static_cast<int32_t>(rng() % 2), 3, 3};
        Kostka k = random_box(rng, s[0], s[1], s[2], 50 + rng() % 200);
        with_fillings += expect_same_search(k, "random 3x3 box") > 0;
        ++boxes;
    }
    for (int32_t round = 0; round < 40; ++round) {  // deep trees, large free regions
        Kostka k = random_box(rng, 4, 4, 4, 80 + rng() % 80);
        with_fillings += expect_same_search(k, "random 4x4x4 box") > 0;
        ++boxes;
    }
    EXPECT_GT(with_fillings, boxes / 4);  // the comparison sees many real fillings
}

// Boxes with several fillings: walks that end going round a ring one way or the other, so the
// search finds a filling and must still find the next one below the same segments.
TEST(ProbePath, PrunedSearchFindsEveryFillingWhereThereAreSeveral) {
    std::mt19937 rng(4);
    int32_t rings = 0;
    for (int32_t round = 0; round < 3000; ++round) {
        const std::array<int32_t, 3> s = {4 + static_cast<int32_t>(rng() % 3),
                                          4 + static_cast<int32_t>(rng() % 3),
                                          2 + static_cast<int32_t>(rng() % 5)};
        Walk w = random_walk(rng, s[0], s[1], s[2], 1 + static_cast<int32_t>(rng() % 30));
        if (!end_in_ring(rng, w)) continue;
        ++rings;
        Kostka k = walk_box(rng, w, 0);
        ASSERT_GE(expect_same_search(k, "ring walk box"), 2);
    }
    EXPECT_GT(rings, 200);
}

// Swapping the second and third axes maps these boxes onto themselves, so the pruned search
// skips the third axis at the start when the second found nothing.
TEST(ProbePath, MirrorSkipKeepsEveryFillingOfSymmetricBoxes) {
    // Every layer but the last taken, the last one free only on its border: the walk goes round
    // the border one way or the other, a mirrored pair of fillings.
    for (int32_t nx = 2; nx <= 4; ++nx)
        for (int32_t n = 4; n <= 6; ++n) {
            Kostka k = box(nx, n, n);
            for (int32_t x = 0; x < nx; ++x)
                for (int32_t y = 0; y < n; ++y)
                    for (int32_t z = 0; z < n; ++z) {
                        const bool border = y == 0 || z == 0 || y == n - 1 || z == n - 1;
                        if ((y > 0 || z > 0) && (x < nx - 1 || !border)) k.at(x, y, z) = -1;
                    }
            EXPECT_EQ(expect_same_search(k, "ring box"), 2);
        }
    std::mt19937 rng(7);
    for (int32_t nx = 1; nx <= 5; ++nx)
        for (int32_t n = 1; n <= 4; ++n) {
            Kostka empty = box(nx, n, n);
            expect_same_search(empty, "empty box");
            for (int32_t round = 0; round < 20; ++round) {
                Kostka k = box(nx, n, n);
                for (int32_t x = 0; x < nx; ++x)
                    for (int32_t y = 0; y < n; ++y)
                        for (int32_t z = 0; z <= y; ++z)
                            if (x + y > 0 && rng() % 6 == 0) k.at(x, y, z) = k.at(x, z, y) = -1;
                expect_same_search(k, "mirror box");
            }
        }
}

}  // namespace
