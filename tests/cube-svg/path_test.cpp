// Tracing the path of one filling of vevuvedu-svg.
#include "path.hpp"

#include <gtest/gtest.h>

namespace {

// A 3 x 3 x 1 box whose middle column (y = 1) of the first two layers is taken: the one filling
// vevuvedu finds in it, the values in the box's index order (x, then y).
const Box flat{3, 3, 1};
const std::vector<int32_t> flat_values = {1, -1, 4, 2, -1, 4, 2, 3, 3};

std::string fault_of(const Box& box, const std::vector<int32_t>& values) {
    const PathTrace trace = trace_path(box, values);
    if (trace.fault.empty()) return "";
    return trace.fault;
}

TEST(TracePath, FollowsTheSegmentsFromTheStartToTheEnd) {
    const PathTrace trace = trace_path(flat, flat_values);
    ASSERT_EQ(trace.fault, "");
    const std::vector<Cell> path = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, 1, 0},
                                    {2, 2, 0}, {1, 2, 0}, {0, 2, 0}};
    EXPECT_EQ(trace.path, path);
    ASSERT_EQ(trace.segments.size(), 4u);
    EXPECT_EQ(trace.segments[0].length, 1);
    EXPECT_EQ(trace.segments[1].first, (Cell{1, 0, 0}));
    EXPECT_EQ(trace.segments[1].last, (Cell{2, 0, 0}));
    EXPECT_EQ(trace.segments[3].first, (Cell{1, 2, 0}));
    EXPECT_EQ(trace.segments[3].last, (Cell{0, 2, 0}));
    EXPECT_EQ(trace.segments[3].length, 2);

    // One cell, and a run along the first axis alone.
    EXPECT_EQ(trace_path({1, 1, 1}, {1}).path.size(), 1u);
    EXPECT_EQ(trace_path({2, 1, 1}, {1, 2}).path.size(), 2u);
    EXPECT_EQ(trace_path({4, 1, 1}, {1, 2, 2, 2}).segments.size(), 2u);
}

TEST(TracePath, RefusesWhatIsNotOnePathAndNamesTheCell) {
    // Numbers that are neither a segment nor a taken cell.
    EXPECT_EQ(fault_of(flat, {1, -1, 0, 2, -1, 4, 2, 3, 3}),
              "pole 0 2 0: číslo 0 není číslo úseku ani -1 (obsazené pole)");
    EXPECT_NE(fault_of(flat, {1, -1, 10, 2, -1, 4, 2, 3, 3}).find("číslo 10 není"),
              std::string::npos);
    EXPECT_NE(fault_of(flat, {1, -2, 4, 2, -1, 4, 2, 3, 3}).find("číslo -2 není"),
              std::string::npos);
    // The start, and the number 1 anywhere else.
    EXPECT_EQ(fault_of(flat, {2, -1, 4, 1, -1, 4, 2, 3, 3}),
              "pole 0 0 0: cesta v něm nezačíná číslem 1");
    EXPECT_EQ(fault_of(flat, {1, -1, 1, 2, -1, 4, 2, 3, 3}),
              "pole 0 2 0: číslo 1 patří jen počátečnímu poli 0 0 0");
    // Segment 2 runs the whole first axis, or is missing.
    EXPECT_EQ(fault_of({3, 1, 1}, {1, 2, -1}),
              "pole 1 0 0: úsek 2 má vést podél celé první osy, od 1 0 0 do 2 0 0");
    EXPECT_EQ(fault_of({2, 1, 1}, {1, -1}),
              "pole 1 0 0: chybí úsek 2, který vede podél celé první osy");
    // A segment that goes on straight.
    EXPECT_EQ(fault_of({3, 5, 1}, {1, -1, -1, -1, -1, 2, -1, -1, -1, -1, 2, 3, 3, 4, 4}),
              "pole 2 3 0: úsek 4 nezahýbá kolmo k úseku 3");
    // A segment of one cell.
    EXPECT_EQ(fault_of(flat, {1, -1, 5, 2, -1, 4, 2, 3, 3}),
              "pole 1 2 0: úsek 4 má jen 1 pole, nejméně 2");
    // A segment that does not start beside the end of the one before.
    EXPECT_EQ(fault_of(flat, {1, 4, -1, 2, 4, -1, 2, 3, 3}),
              "pole 1 1 0: úsek 4 nezačíná vedle konce úseku 3 (pole 2 2 0)");
    // A segment whose cells are not one straight row on from there.
    EXPECT_EQ(fault_of(flat, {1, 4, -1, 2, -1, 4, 2, 3, 3}),
              "pole 1 2 0: úsek 4 není jedna přímá řada 2 polí od konce úseku 3");
    // A third cell holding 3, away from its row.
    EXPECT_EQ(fault_of(flat, {1, 3, 4, 2, -1, 4, 2, 3, 3}),
              "pole 2 2 0: úsek 3 není jedna přímá řada 3 polí od konce úseku 2");
    // A number after a gap in the numbering.
    EXPECT_EQ(fault_of(flat, {1, -1, 5, 2, -1, 5, 2, 3, 3}), "pole 1 2 0: číslo 5 bez úseku 4");
}

}  // namespace
