#include "rum.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

template <typename Wide>
std::vector<std::string> trace_of(RumState& state) {
    std::vector<std::string> lines;
    state = rum_simulate<Wide>([&](float level) {
        char text[64];
        std::snprintf(text, sizeof text, "%lf", static_cast<double>(level));
        lines.emplace_back(text);
    });
    return lines;
}

const std::vector<std::string> expected_trace = {
    "0.000000",    "0.999700",   "-0.999700",    "2.999100",    "-4.998500",
    "10.996700",   "-20.993700", "42.987099",    "-84.974495",  "170.948685",
    "-340.897675", "682.795044", "-1364.590332", "2730.180420", "-5459.361328"};

TEST(RumSim, DoubleIntermediatesGiveTheTraceAndTheFinalState) {
    RumState s;
    EXPECT_EQ(trace_of<double>(s), expected_trace);
    EXPECT_EQ(s.j, -4525.98876953125f);
    EXPECT_EQ(s.i, 10920.55078125f);
    EXPECT_EQ(s.rum, 10919.72265625f);
    EXPECT_EQ(s.tuzemacek, -80958208.0f);
}

TEST(RumSim, ExtendedIntermediatesGiveTheSameResults) {
    RumState wide, plain;
    EXPECT_EQ(trace_of<long double>(wide), trace_of<double>(plain));
    EXPECT_EQ(wide.tuzemacek, plain.tuzemacek);
    EXPECT_EQ(wide.rum, plain.rum);
}

// The trace depends on the arithmetic rule: with single-precision intermediates the seventh
// level already differs.
TEST(RumSim, SinglePrecisionIntermediatesChangeTheSeventhLine) {
    RumState s;
    const std::vector<std::string> lines = trace_of<float>(s);
    ASSERT_GE(lines.size(), 7u);
    for (std::size_t k = 0; k < 6; ++k)
        EXPECT_EQ(lines[k], expected_trace[k]) << "line " << k + 1;
    EXPECT_NE(lines[6], expected_trace[6]);
}

}  // namespace
