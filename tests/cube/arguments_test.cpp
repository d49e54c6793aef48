// The command line: N read like strtol, and refused where it cannot be searched.
#include "arguments.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

Read<int32_t> read(std::vector<std::string> args) {
    args.insert(args.begin(), "vevuvedu");
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    return read_edge(static_cast<int>(args.size()), argv.data());
}

TEST(ReadEdge, ReadsLikeStrtolAndRefusesWhatItCannotSearch) {
    EXPECT_EQ(read({"4"}).value, 4);
    EXPECT_EQ(read({"\t +5"}).value, 5);
    EXPECT_EQ(read({"3abc"}).value, 3);
    EXPECT_EQ(read({"1290"}).value, 1290);  // 1290^3 still fits 32 bits
    EXPECT_FALSE(read({"1290"}).failure);
    auto status = [](const Read<int32_t>& e) { return e.failure ? e.failure->status : 0; };
    for (const char* bad : {"", "abc", "-", " x3", "0", "-1", "+0"})
        EXPECT_EQ(status(read({bad})), 2) << bad;
    EXPECT_EQ(status(read({})), 2);
    EXPECT_EQ(status(read({"1291"})), 3);
    EXPECT_EQ(status(read({"99999999999999999999999"})), 3);
}

}  // namespace
