// The box size and the taken-cell file.
#include "box.hpp"
#include "boxes.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(BoxSize, ReadsThreeNumbersJoinedByX) {
    const Read<BoxSize> b = read_box_size("4x5x6");
    ASSERT_FALSE(b.failure);
    EXPECT_EQ(b.value.nx * 100 + b.value.ny * 10 + b.value.nz, 456);
    EXPECT_FALSE(read_box_size("1x1x2147483647").failure);
    for (const char* bad : {"", "4x5", "4x5x", "x4x5", "4x5x6x", "4x5x6x7", "0x5x6", "4x-5x6",
                            "4 x5x6", "4x5x6 ", "+4x5x6", "4X5X6", "2147483648x1x1",
                            "1290x1290x1291", "99999999999999999999x1x1", "65536x65536x1"}) {
        const Read<BoxSize> s = read_box_size(bad);
        ASSERT_TRUE(s.failure) << bad;
        EXPECT_EQ(s.failure->status, 2) << bad;
    }
}

TEST(TakenCells, MarksTheCellsListedAndRefusesTheRest) {
    Cube k = box(2, 3, 4);
    ASSERT_FALSE(read_taken("# a note\n\n1 2 3\r\n \t0 0 1\n   \n0 2 0", "f", k));
    EXPECT_EQ(k.at(1, 2, 3), taken_cell);
    EXPECT_EQ(k.at(0, 0, 1), taken_cell);
    EXPECT_EQ(k.at(0, 2, 0), taken_cell);
    int taken = 0;
    for (int32_t c = 0; c < k.celkem_poli; ++c)
        taken += k.cells[c] != 0;
    EXPECT_EQ(taken, 3);
    for (const char* bad :
         {"1 2", "1 2 3 4", "2 0 0", "0 3 0", "0 0 4", "0 0 0", "1 1 1\n1 1 1", "1,1,1", "-1 1 1",
          "1 1 99999999999999999999", "a b c", "1 1 1x", "11 1"}) {
        Cube c = box(2, 3, 4);
        const std::optional<Failure> f = read_taken(bad, "taken.txt", c);
        ASSERT_TRUE(f) << bad;
        EXPECT_EQ(f->status, 2);
        EXPECT_NE(f->reason.find("„taken.txt“, řádek"), std::string::npos) << f->reason;
    }
}

}  // namespace
