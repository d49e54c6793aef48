#include "boxes.hpp"
#include "store.hpp"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

TEST(Dump, WritesEveryXAsABlockOfLines) {
    Cube k;
    ASSERT_TRUE(make_cube(k, 2, 3, 1));
    for (int32_t cell = 0; cell < k.celkem_poli; ++cell)
        k.cells[cell] = cell + 1;
    k.at(0, 1, 0) = -1;  // a cell the tests mark as taken
    EXPECT_EQ(dump_text(k), "1 \n-1 \n3 \n---\n4 \n5 \n6 \n---\n");
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    dump(k, f);
    std::rewind(f);
    char text[64] = {};
    EXPECT_EQ(std::fread(text, 1, sizeof text - 1, f), dump_text(k).size());
    EXPECT_EQ(text, dump_text(k));
    std::fclose(f);
}

}  // namespace
