// The frame: the final message, the number of threads and the checkpoint interval.
#include "cube.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(FinalMessage, ItsLengthIsTheExitStatus) {
    EXPECT_EQ(final_message(0).size(), 37u);
    EXPECT_EQ(final_message(1).size(), 45u);
    EXPECT_EQ(final_message(12345).size(), 49u);
    EXPECT_EQ(final_message(12), "Celkový počet nalezených vyplnění je 12.\n");
}

TEST(ReadThreads, ComesFromTheSettingOrTheProcessors) {
    EXPECT_GE(read_threads(nullptr).value, 1);
    EXPECT_EQ(read_threads("3").value, 3);
    EXPECT_EQ(read_threads("256").value, 256);
    for (const char* bad : {"", "0", "-2", "257", "3x", "x", " ", "99999999999999999999"}) {
        const Read<int> t = read_threads(bad);
        ASSERT_TRUE(t.failure) << bad;
        EXPECT_EQ(t.failure->status, 2) << bad;
    }
}

TEST(CheckpointInterval, ComesFromTheSettingOrIsFiveMinutes) {
    EXPECT_EQ(read_checkpoint_every(nullptr).value, 300);
    EXPECT_EQ(read_checkpoint_every("0.25").value, 0.25);
    EXPECT_EQ(read_checkpoint_every("0").value, 0);
    for (const char* bad : {"", "-1", "x", "5s", "nan", "inf", "1e99"}) {
        const Read<double> s = read_checkpoint_every(bad);
        ASSERT_TRUE(s.failure) << bad;
        EXPECT_EQ(s.failure->status, 2) << bad;
    }
}

}  // namespace
