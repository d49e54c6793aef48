#include "arguments.hpp"
#include "cube.hpp"

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

TEST(ThreadCount, ComesFromTheSettingOrTheProcessors) {
    EXPECT_GE(read_threads(nullptr).threads, 1);
    EXPECT_EQ(read_threads("3").threads, 3);
    EXPECT_EQ(read_threads("256").threads, 256);
    for (const char* bad : {"", "0", "-2", "257", "3x", "x", " ", "99999999999999999999"}) {
        const ThreadCount t = read_threads(bad);
        ASSERT_TRUE(t.failure) << bad;
        EXPECT_EQ(t.failure->status, 2) << bad;
    }
}

TEST(CheckpointInterval, ComesFromTheSettingOrIsFiveMinutes) {
    EXPECT_EQ(read_checkpoint_every(nullptr).seconds, 300);
    EXPECT_EQ(read_checkpoint_every("0.25").seconds, 0.25);
    EXPECT_EQ(read_checkpoint_every("0").seconds, 0);
    for (const char* bad : {"", "-1", "x", "5s", "nan", "inf", "1e99"}) {
        const Seconds s = read_checkpoint_every(bad);
        ASSERT_TRUE(s.failure) << bad;
        EXPECT_EQ(s.failure->status, 2) << bad;
    }
}

}  // namespace
