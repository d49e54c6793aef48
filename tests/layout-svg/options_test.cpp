// The command line of orv-layout-svg.
#include "options.hpp"

#include <gtest/gtest.h>

namespace {

Command read(std::vector<std::string> args, bool terminal = false) {
    return read_command(args, terminal);
}

TEST(ReadCommand, FileDashAndHtmlInAnyOrder) {
    EXPECT_EQ(read({}).options.file, "");
    EXPECT_FALSE(read({}).failure);
    EXPECT_EQ(read({"listing"}).options.file, "listing");
    EXPECT_EQ(read({"-"}).options.file, "");
    const Command html_last = read({"listing", "--html"});
    EXPECT_TRUE(html_last.options.html);
    EXPECT_EQ(html_last.options.file, "listing");
    EXPECT_TRUE(read({"--html"}).options.html);
    EXPECT_FALSE(read({"listing"}).options.html);
    // With a file, or with "-" asked for, a terminal on standard input does not matter.
    EXPECT_FALSE(read({"listing"}, true).failure);
    EXPECT_FALSE(read({"-"}, true).failure);
}

TEST(ReadCommand, HelpAndVersionFirstAnswerWhateverFollows) {
    EXPECT_EQ(read({"--help", "x", "y"}).request, Request::help);
    EXPECT_EQ(read({"--version", "--bogus"}).request, Request::version);
    EXPECT_TRUE(read({"listing", "--help"}).failure);  // only first
}

TEST(ReadCommand, RefusesWithTheUsageAndStatus2) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--svg"}, {"-x"}, {"--help=1"}, {"a", "b"}, {"-", "a"}, {""}, {"--html", "a", "b"}}) {
        const Command c = read(args);
        ASSERT_TRUE(c.failure) << args[0];
        EXPECT_EQ(c.failure->status, 2);
        EXPECT_NE(c.failure->reason.find("použití: orv-layout-svg"), std::string::npos);
    }
    EXPECT_EQ(read({"--svg"}).failure->reason.rfind("neznámá volba --svg\n", 0), 0u);
    EXPECT_EQ(read({"a", "b"}).failure->reason.rfind("nadbytečný argument b", 0), 0u);
    // Nobody types a listing on a terminal: no FILE there is refused instead of waiting.
    const Command terminal = read({}, true);
    ASSERT_TRUE(terminal.failure);
    EXPECT_EQ(terminal.failure->reason.rfind("chybí výpis", 0), 0u);
    EXPECT_TRUE(read({"--html"}, true).failure);
}

}  // namespace
