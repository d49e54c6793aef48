#include "boxes.hpp"
#include "mirror.hpp"
#include "prune.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <random>
#include <string>

namespace {

// The cubes up to N = 4: the plain search's calls, the one filling of N = 1, and the box left
// as the search found it.
TEST(ProbePath, CubesUpToFourFindWhatThePlainSearchFindsAndLeaveTheCubeClean) {
    const std::array<uint64_t, 5> calls = {1, 1, 1, 75, 187165};
    for (int32_t n = 1; n <= 4; ++n) {
        Cube k = box(n, n, n);
        const KeptSearch plain = plain_search(k);
        EXPECT_EQ(plain.stats.calls, calls[n]) << "N = " << n;
        const KeptSearch r = search_kept(k);
        EXPECT_EQ(r.count, n == 1 ? 1 : 0);
        EXPECT_EQ(r.printed, n == 1 ? "1 \n---\n" : "");
        EXPECT_EQ(r.printed, plain.printed);
        EXPECT_LE(r.stats.calls, plain.stats.calls);
        EXPECT_EQ(k.at(0, 0, 0), 1);
        for (int32_t cell = 1; cell < k.celkem_poli; ++cell)
            ASSERT_EQ(k.cells[cell], 0);
    }
}

// The rules cut exactly the same subtrees whatever order they apply in: the calls of the pruned
// search, measured when the rounds still applied every rule to the state the round started
// from, stay as they were. A change of the calls is a change of what is cut.
TEST(ProbePath, PrunedSearchMakesTheCallsItAlwaysMade) {
    const struct {
        int32_t nx, ny, nz;
        uint64_t calls;
    } searches[] = {{5, 5, 5, 53312}, {4, 5, 6, 67142}, {4, 6, 6, 608116}};
    for (const auto& s : searches) {
        Cube k = box(s.nx, s.ny, s.nz);
        EXPECT_EQ(search_kept(k).stats.calls, s.calls) << s.nx << " x " << s.ny << " x " << s.nz;
    }
}

// In a 3 x 3 x 1 box with (0,1) and (1,1) taken, the one filling is: along x to (2,0), along y
// to (2,2), back along x to (0,2).
TEST(ProbePath, FindsAndPrintsAFillingOfABoxWithTakenCells) {
    Cube k = box(3, 3, 1);
    k.at(0, 1, 0) = k.at(1, 1, 0) = 9;
    const std::string filling = "1 \n9 \n4 \n---\n2 \n9 \n4 \n---\n2 \n3 \n3 \n---\n";
    EXPECT_EQ(plain_search(k).printed, filling);
    const KeptSearch r = search_kept(k);
    EXPECT_EQ(r.count, 1);
    EXPECT_EQ(r.printed, filling);
    EXPECT_EQ(snapshot(k), "1 \n9 \n0 \n---\n0 \n9 \n0 \n---\n0 \n0 \n0 \n---\n");
}

// In a 3 x 2 x 1 box one step along y and two back along x would fill it, but no segment
// after the first covers a single cell, and the first segment is the only call.
TEST(ProbePath, NeverTriesATargetOneCellAway) {
    Cube k = box(3, 2, 1);
    const KeptSearch r = search_kept(k);
    EXPECT_EQ(r.count, 0);
    EXPECT_EQ(r.stats.calls, 1u);
    // Blocked first segment: nothing is marked, nothing else tried.
    Cube blocked = box(3, 3, 1);
    blocked.at(2, 0, 0) = 7;
    EXPECT_EQ(search_kept(blocked).stats.calls, 1u);
    EXPECT_EQ(blocked.at(1, 0, 0), 0);
}

// Compares the program's search with the plain recursion: the same fillings in the same order,
// never more calls, and the very same calls where the program walks unpruned (a box larger
// than the rules' boards, not mirrored); the box left as it was, its start taken. Returns the
// number of fillings.
int32_t expect_same_search(Cube& k, const std::string& label) {
    const std::string before = snapshot(k);
    const KeptSearch plain = plain_search(k);
    const KeptSearch r = search_kept(k);
    EXPECT_EQ(r.count, plain.count) << label << "\n" << before;
    EXPECT_EQ(r.printed, plain.printed) << label << "\n" << before;
    if (!prune_supported(k) && !mirror_symmetric(k, {0, 0, 0}, 0)) {
        EXPECT_EQ(r.stats.calls, plain.stats.calls) << label;
    } else {
        EXPECT_LE(r.stats.calls, plain.stats.calls) << label;
    }
    EXPECT_EQ(k.at(0, 0, 0), 1) << label;
    k.at(0, 0, 0) = 0;
    EXPECT_EQ(snapshot(k), before) << label;
    k.at(0, 0, 0) = 1;
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
            Cube k = random_walk_box(rng, s[0], s[1], s[2], spare);
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
            Cube k = random_walk_box(rng, s[0], s[1], s[2], 0, 60);
            ASSERT_GE(expect_same_search(k, "large walk box"), 1);
        }
    // Boxes beyond the boards (more than 512 cells) are walked unpruned, call for call as the
    // plain recursion, with one filling or none.
    for (int32_t round = 0; round < 8; ++round)
        for (const auto& s : {std::array<int32_t, 3>{9, 8, 8}, {4, 13, 10}, {3, 3, 60}}) {
            Cube k = random_walk_box(rng, s[0], s[1], s[2], round % 3, 60);
            const int32_t found = expect_same_search(k, "walk box beyond the boards");
            if (round % 3 == 0) {
                ASSERT_GE(found, 1);
            }
        }
    for (int32_t round = 0; round < 300; ++round) {
        const std::array<int32_t, 3> s = {3 + static_cast<int32_t>(rng() % 2), 3, 3};
        Cube k = random_box(rng, s[0], s[1], s[2], 50 + rng() % 200);
        with_fillings += expect_same_search(k, "random 3x3 box") > 0;
        ++boxes;
    }
    for (int32_t round = 0; round < 40; ++round) {  // deep trees, large free regions
        Cube k = random_box(rng, 4, 4, 4, 80 + rng() % 80);
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
        Cube k = walk_box(rng, w, 0);
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
            Cube k = box(nx, n, n);
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
            Cube empty = box(nx, n, n);
            expect_same_search(empty, "empty box");
            for (int32_t round = 0; round < 20; ++round) {
                Cube k = box(nx, n, n);
                for (int32_t x = 0; x < nx; ++x)
                    for (int32_t y = 0; y < n; ++y)
                        for (int32_t z = 0; z <= y; ++z)
                            if (x + y > 0 && rng() % 6 == 0) k.at(x, y, z) = k.at(x, z, y) = -1;
                expect_same_search(k, "mirror box");
            }
        }
}

}  // namespace
