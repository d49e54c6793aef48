// How a time span is written, at the edges of each form, and for whatever a guess may give.
#include "progress.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(DurationText, RoundsToTheSecondAndChangesFormAtAMinuteAndAnHour) {
    EXPECT_EQ(duration_text(0), "0 s");
    EXPECT_EQ(duration_text(59.49), "59 s");
    EXPECT_EQ(duration_text(59.5), "1 min 00 s");
    EXPECT_EQ(duration_text(252), "4 min 12 s");
    EXPECT_EQ(duration_text(3599.4), "59 min 59 s");
    EXPECT_EQ(duration_text(3599.5), "1 h 00 min");
    EXPECT_EQ(duration_text(3900), "1 h 05 min");
    EXPECT_EQ(duration_text(1e9), "277777 h 46 min");
}

TEST(DurationText, GuessesBeyondReasonAreHeldWithin) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(duration_text(-5), "0 s");
    EXPECT_EQ(duration_text(std::nan("")), "0 s");
    EXPECT_EQ(duration_text(inf), "1000000000 h 00 min");
    EXPECT_EQ(duration_text(1e300), "1000000000 h 00 min");
}

}  // namespace
