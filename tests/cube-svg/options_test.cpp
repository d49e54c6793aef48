// The command line of vevuvedu-svg.
#include "options.hpp"

#include <gtest/gtest.h>

namespace {

Command read(std::vector<std::string> args, bool terminal = false) {
    return read_command(args, terminal);
}

TEST(ReadCommand, FileHtmlAndBoxInAnyOrder) {
    EXPECT_EQ(read({}).options.file, "");
    EXPECT_FALSE(read({}).failure);
    EXPECT_EQ(read({"-"}).options.file, "");
    const Command all = read({"--box", "6x6x6", "out", "--html"});
    ASSERT_FALSE(all.failure);
    EXPECT_TRUE(all.options.html);
    EXPECT_EQ(all.options.file, "out");
    EXPECT_EQ(all.options.box, (Box{6, 6, 6}));
    EXPECT_FALSE(read({"out"}).options.box);
    EXPECT_FALSE(read({"out"}, true).failure);
    EXPECT_EQ(read({"--help", "x"}).request, Request::help);
    EXPECT_EQ(read({"--version", "--bogus"}).request, Request::version);
}

TEST(ReadCommand, RefusesWithTheUsage) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--svg"}, {"a", "b"}, {""}, {"--box"}, {"--box", "6x6"}, {"out", "--help"}}) {
        const Command c = read(args);
        ASSERT_TRUE(c.failure) << args[0];
        EXPECT_EQ(c.failure->status, 2);
        EXPECT_NE(c.failure->reason.find("použití: vevuvedu-svg"), std::string::npos);
    }
    EXPECT_EQ(read({}, true).failure->reason.rfind("chybí výstup vevuvedu", 0), 0u);
}

TEST(ReadBox, TakesSizesAsVevuveduDoes) {
    EXPECT_EQ(read_box("3x4x5"), (Box{3, 4, 5}));
    EXPECT_EQ(read_box("1x1x2147483647"), (Box{1, 1, 2147483647}));
    for (const char* bad : {"", "x", "3x4", "3x4x", "0x4x5", "03x4x5", "-3x4x5", "3x4x5x", "3X4X5",
                            " 3x4x5", "3x4x5 ", "2x2x1073741824", "65536x65536x1"})
        EXPECT_FALSE(read_box(bad)) << bad;
}

}  // namespace
