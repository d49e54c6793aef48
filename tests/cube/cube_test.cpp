#include "cube.hpp"
#include "store.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

EdgeArgument read(std::vector<std::string> args) {
    args.insert(args.begin(), "vevuvedu");
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    return read_edge(static_cast<int>(args.size()), argv.data());
}

TEST(ReadEdge, ReadsLikeStrtolAndRefusesWhatItCannotSearch) {
    EXPECT_EQ(read({"4"}).n, 4);
    EXPECT_EQ(read({"\t +5"}).n, 5);
    EXPECT_EQ(read({"3abc"}).n, 3);
    EXPECT_EQ(read({"1290"}).n, 1290);  // 1290^3 still fits 32 bits
    EXPECT_FALSE(read({"1290"}).failure);
    auto status = [](const EdgeArgument& e) { return e.failure ? e.failure->status : 0; };
    for (const char* bad : {"", "abc", "-", " x3", "0", "-1", "+0"})
        EXPECT_EQ(status(read({bad})), 2) << bad;
    EXPECT_EQ(status(read({})), 2);
    EXPECT_EQ(status(read({"1291"})), 3);
    EXPECT_EQ(status(read({"99999999999999999999999"})), 3);
}

TEST(FinalMessage, ItsLengthIsTheExitStatus) {
    EXPECT_EQ(final_message(0).size(), 37u);
    EXPECT_EQ(final_message(1).size(), 45u);
    EXPECT_EQ(final_message(12345).size(), 49u);
    EXPECT_EQ(final_message(12), "Celkový počet nalezených vyplnění je 12.\n");
}

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
