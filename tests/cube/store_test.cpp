#include "boxes.hpp"
#include "store.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Dump, WritesEveryXAsABlockOfLines) {
    Cube k;
    ASSERT_TRUE(make_cube(k, 2, 3, 1));
    for (int32_t cell = 0; cell < k.celkem_poli; ++cell)
        k.cells[cell] = cell + 1;
    k.at(0, 1, 0) = -1;  // a cell the tests mark as taken
    std::string text = "before\n";
    dump(text, k);
    EXPECT_EQ(text, "before\n1 \n-1 \n3 \n---\n4 \n5 \n6 \n---\n");
}

}  // namespace
