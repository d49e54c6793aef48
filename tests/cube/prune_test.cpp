// The roles kept from node to node against the roles found from scratch at every node.
#include "boxes.hpp"
#include "prune.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

namespace {

int32_t cell_index(const Cube& k, const std::array<int32_t, 3>& at) {
    return k.index(at[0], at[1], at[2]);
}

// Walks random segments from the first one and, at every node, asks the rules twice: from the
// parent's kept roles with `kept_code`, and from the box's cells alone with `scratch_code`.
// They must agree on the cut and, when the node is kept, on every role and exit.
void expect_kept_roles_equal_the_fixpoint(const PruneCode& kept_code,
                                          const PruneCode& scratch_code) {
    auto name = [](const PruneCode& code) {
        return &code == &portable_prune_code() ? "portable" : "x86-64-v3";
    };
    SCOPED_TRACE(std::string("kept roles by ") + name(kept_code) + ", from scratch by " +
                 name(scratch_code));
    std::mt19937 rng(2026);
    int32_t nodes = 0, kept = 0, quick = 0;
    // Boards of one, two, four and eight words; among those of four, steps below 64 cells and
    // one of 64 (3 x 8 x 8), which the four-word shift of the x86-64-v3 build leaves to the
    // general one.
    const int32_t shapes[][3] = {{5, 5, 5},  {6, 6, 6},  {4, 5, 6}, {6, 4, 3}, {8, 8, 8},
                                 {5, 13, 5}, {4, 2, 64}, {7, 7, 1}, {3, 8, 8}, {5, 5, 6}};
    for (int32_t round = 0; round < 400; ++round) {
        const auto& s = shapes[round % std::size(shapes)];
        Walk w{box(s[0], s[1], s[2]), {s[0] - 1, 0, 0}, 0};
        for (int32_t x = 0; x < s[0]; ++x)
            w.k.at(x, 0, 0) = 1;
        Pruner incremental, scratch;
        prepare_pruner(incremental, w.k, kept_code);
        prepare_pruner(scratch, w.k, scratch_code);
        PruneCounters counters;
        if (node_holds_no_filling(incremental, 0, w.k, cell_index(w.k, w.head), 0, counters))
            continue;
        for (int32_t level = 1, tries = 0; tries < 200; ++tries) {
            // A random segment at a right angle to the last one, free and at least 2 long.
            const int32_t axis = (w.axis + 1 + static_cast<int32_t>(rng() % 2)) % 3;
            const int32_t t = static_cast<int32_t>(rng() % static_cast<uint32_t>(s[axis]));
            const std::array<int32_t, 3> from = w.head;
            const int32_t d = t - from[axis];
            if (!extend(w, axis, d)) continue;
            bool full = true;
            for (int32_t c = 0; c < w.k.celkem_poli; ++c)
                full = full && w.k.cells[c] != 0;
            if (full) break;
            ++nodes;
            const PruneCounters before = counters;
            const bool cut_kept =
                child_holds_no_filling(incremental, level, cell_index(w.k, from),
                                       2 * axis + (d < 0 ? 1 : 0), std::abs(d), counters);
            quick += counters.quick_cuts != before.quick_cuts;
            const bool cut_scratch =
                node_holds_no_filling(scratch, level, w.k, cell_index(w.k, w.head), axis, counters);
            ASSERT_EQ(cut_kept, cut_scratch) << snapshot(w.k);
            if (cut_kept) break;
            ++kept;
            const NodeRoles& a = incremental.levels[static_cast<std::size_t>(level)];
            const NodeRoles& b = scratch.levels[static_cast<std::size_t>(level)];
            const auto words = static_cast<std::size_t>(incremental.words);
            for (std::size_t i = 0; i < words; ++i) {
                ASSERT_EQ(a.free[i], b.free[i]);
                for (int32_t r = 0; r < role_count; ++r)
                    ASSERT_EQ(a.role[r][i], b.role[r][i]) << "role " << r << "\n" << snapshot(w.k);
            }
            ASSERT_EQ(a.exits, b.exits) << snapshot(w.k);
            ++level;
        }
    }
    // Both kinds of node are seen often, and the quick cut decides some of them.
    EXPECT_GT(kept, 1000);
    EXPECT_GT(nodes - kept, 200);
    EXPECT_GT(quick, 50);
}

TEST(Prune, KeptRolesEqualTheFixpointFromScratchAtEveryNode) {
    expect_kept_roles_equal_the_fixpoint(portable_prune_code(), portable_prune_code());
}

// The build for x86-64-v3 against the portable one, each way round: the same cuts, roles and
// exits at every node.
TEST(Prune, BothBuildsOfTheRulesGiveTheSameAnswers) {
    const PruneCode* fast = x86_64_v3_prune_code();
    if (fast == nullptr) GTEST_SKIP() << "no x86-64-v3 build of the rules for this processor";
    expect_kept_roles_equal_the_fixpoint(*fast, portable_prune_code());
    expect_kept_roles_equal_the_fixpoint(portable_prune_code(), *fast);
}

// The search runs the x86-64-v3 build wherever it can, and VEVUVEDU_CODE=portable turns it off.
TEST(Prune, TheSearchRunsTheFastestBuildUnlessAskedNotTo) {
    const PruneCode* fast = x86_64_v3_prune_code();
    if (fast == nullptr) GTEST_SKIP() << "no x86-64-v3 build of the rules for this processor";
    const char* before = std::getenv("VEVUVEDU_CODE");
    const std::string saved = before != nullptr ? before : "";
    unsetenv("VEVUVEDU_CODE");
    EXPECT_EQ(&chosen_prune_code(), fast);
    setenv("VEVUVEDU_CODE", "portable", 1);
    EXPECT_EQ(&chosen_prune_code(), &portable_prune_code());
    if (before != nullptr)
        setenv("VEVUVEDU_CODE", saved.c_str(), 1);
    else
        unsetenv("VEVUVEDU_CODE");
}

}  // namespace
