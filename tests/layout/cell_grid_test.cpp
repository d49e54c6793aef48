#include "cell_grid.hpp"
#include "cost.hpp"
#include "placement.hpp"

#include <gtest/gtest.h>

namespace {

// Every distance the table gives is the one `vzdalenost` computes, bit for bit, and the padding
// entry is 0 from every cell.
TEST(CellGrid, HoldsTheSameDoublesAsTheDistance) {
    const layout::CellGrid& m = layout::grid();
    const auto cells = layout::diagonal_order();
    for (int a = 0; a < 285; ++a)
        for (int b = 0; b < 285; ++b) {
            layout::vrchol p, q;
            p.x = cells[a].x, p.y = cells[a].y, q.x = cells[b].x, q.y = cells[b].y;
            ASSERT_EQ(m.row(a)[-m.key[b]], layout::vzdalenost(&p, &q)) << a << " " << b;
        }
    for (int a = 0; a < 285; ++a)
        ASSERT_EQ(m.row(a)[layout::padding_key], 0.0) << a;
    EXPECT_EQ(m.first_of_diagonal[15], 120);
    EXPECT_EQ(m.diagonal[284], 32);
}

}  // namespace
