#include "reader.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

using layout::Graph;

// The neighbour numbers (1-based) that vertex `number` lists.
std::vector<int> neighbours_of(const Graph& g, int number) {
    const layout::vrchol& v = g.vrcholy[number - 1];
    std::vector<int> out;
    for (int k = 0; k < v.pocet; ++k)
        out.push_back(v.sousede[k] + 1);
    return out;
}

// The reason of a failed read, "" when it succeeded; every failure ends with the error status.
std::string reason(const std::optional<layout::Failure>& failure) {
    if (!failure) return "";
    EXPECT_EQ(failure->status, 255);
    return failure->reason;
}

// Runs the reader on `text` as the contents of "orv-graph", counting lines from `first_line`.
std::string read_text(const std::string& text, Graph& g, std::int64_t first_line = 1) {
    std::FILE* f = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    const std::string problem = reason(layout::read_stream(f, {"orv-graph"}, g, first_line));
    std::fclose(f);
    return problem;
}

Graph read(const std::string& text) {
    Graph g;
    EXPECT_EQ(read_text(text, g), "") << text;
    return g;
}

using list = std::vector<int>;

TEST(Reader, KeepsTheQuirksOfItsLineRules) {
    // A neighbour line before the first vertex is ignored.
    EXPECT_EQ(neighbours_of(read("\t5\n3\n\t4\n"), 3), (list{4}));
    // A vertex listed twice keeps only its last list; empty lines are ignored.
    EXPECT_EQ(neighbours_of(read("2\n\t3\n\t4\n\n\n2\n\t5\n"), 2), (list{5}));
    // No final line feed.
    EXPECT_EQ(neighbours_of(read("1\n\t2\n\t285"), 1), (list{2, 285}));
    // A tab behind a number, or a line holding only a tab, makes the next number a neighbour.
    EXPECT_EQ(neighbours_of(read("1\t\n2\n"), 1), (list{2}));
    EXPECT_EQ(neighbours_of(read("1\n\t\n2\n"), 1), (list{2}));
    // A blank behind a number makes the next number a vertex, even on a tab line.
    const Graph g = read("1 \n\t2\n");
    EXPECT_EQ(neighbours_of(g, 1), (list{}));
    EXPECT_EQ(neighbours_of(g, 2), (list{}));
    // Duplicates and self-loops are kept as listed.
    EXPECT_EQ(neighbours_of(read("4\n\t4\n\t6\n\t6\n"), 4), (list{4, 6, 6}));
    // Signs and leading zeros are part of a decimal number.
    EXPECT_EQ(neighbours_of(read("+4\n\t0000000000000000000000000006\n"), 4), (list{6}));
}

TEST(Reader, CarriageReturnBeforeLineFeedEndsTheLine) {
    const Graph crlf = read("1\r\n\t2\r\n\r\n\t3\r\n5\r\n\t1");
    EXPECT_EQ(neighbours_of(crlf, 1), (list{2, 3}));
    EXPECT_EQ(neighbours_of(crlf, 5), (list{1}));
    // Anywhere else a carriage return is white space like a blank: the next number is a vertex.
    const Graph lone = read("1\r\t2\n\t3\n");
    EXPECT_EQ(neighbours_of(lone, 1), (list{}));
    EXPECT_EQ(neighbours_of(lone, 2), (list{3}));
}

TEST(Reader, IgnoresALineWhoseNumberTheFileEndsBefore) {
    for (const char* text : {"1\n\t2\n\t\n", "1\n\t2\n\t", "1\n\t2 ", "1\n\t2\r", "1\n\t2\n \n"}) {
        const Graph g = read(text);
        EXPECT_EQ(neighbours_of(g, 1), (list{2})) << text;
        EXPECT_EQ(neighbours_of(g, 2), (list{})) << text;
    }
    EXPECT_EQ(neighbours_of(read("\t\n"), 1), (list{}));
}

TEST(Reader, AcceptsFiftyNeighboursAgainAfterAVertexStartsOver) {
    std::string text = "3\n";
    for (int i = 0; i < 50; ++i)
        text += "\t7\n";
    text += "3\n\t8\n";
    for (int i = 0; i < 49; ++i)
        text += "\t9\n";
    const Graph g = read(text);
    EXPECT_EQ(g.vrcholy[2].pocet, 50);
    EXPECT_EQ(g.vrcholy[2].sousede[0], 7);
}

TEST(Reader, RejectsWhatTheTablesCannotHoldNamingTheLine) {
    std::string fifty_one = "2\n3\n";
    for (int i = 0; i < 51; ++i)
        fifty_one += "\t1\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"1\n\t2\n286\n", "orv-graph, řádek 3: číslo vrcholu 286 leží mimo rozsah 1 až 285"},
        {"0\n", "orv-graph, řádek 1: číslo vrcholu 0 leží mimo rozsah 1 až 285"},
        {"1\n\t-2\n", "orv-graph, řádek 2: číslo souseda -2 leží mimo rozsah 1 až 285"},
        {"\t4294967297\n1\n",
         "orv-graph, řádek 1: číslo souseda 4294967297 leží mimo rozsah 1 až 285"},
        {"1\n\t123456789012345678901234567890\n",
         "orv-graph, řádek 2: číslo souseda 12345678901234567890... leží mimo rozsah 1 až 285"},
        {fifty_one, "orv-graph, řádek 53: vrchol 3 má víc než 50 sousedů"},
        {"1\n\tx\n", "orv-graph, řádek 2: místo čísla stojí znak 'x'"},
        {"1\n\t7b\n", "orv-graph, řádek 2: místo čísla stojí znak 'b'"},
        {"1\n\n\t+\n", "orv-graph, řádek 3: místo čísla stojí bajt 0x0A"},
        {"1\n\t\n\n\xc5\xa1\n", "orv-graph, řádek 4: místo čísla stojí bajt 0xC5"},
    };
    for (const auto& [text, message] : cases) {
        Graph g;
        EXPECT_EQ(read_text(text, g), message) << text;
    }
}

// A stream of more than 2^31 lines (a FIFO, a generated file) is counted in 64 bits: started just
// below the 32-bit limit, the count runs past it and names the true line.
TEST(Reader, CountsLinesPastThe32BitLimit) {
    Graph g;
    EXPECT_EQ(read_text("1\n\t2\n\n\tx\n", g, 2147483646),
              "orv-graph, řádek 2147483649: místo čísla stojí znak 'x'");
    EXPECT_EQ(read_text("\n\n7\n\t286\n", g, 4294967295),
              "orv-graph, řádek 4294967298: číslo souseda 286 leží mimo rozsah 1 až 285");
    EXPECT_EQ(neighbours_of(g, 1), (list{2}));
}

TEST(Reader, ReportsAFileThatCannotBeOpenedOrRead) {
    Graph g;
    EXPECT_EQ(reason(layout::read_graph("/nonexistent/orv-graph", g)),
              "soubor /nonexistent/orv-graph nelze otevřít: No such file or directory");
    EXPECT_EQ(reason(layout::read_graph("/", g)), "soubor / nelze přečíst: Is a directory");
}

// A stream that serves `head` and then either fails or repeats one byte without end, counting
// what it serves.
struct FakeStream {
    std::string head;
    bool fails = false;
    char fill = 0;
    std::size_t served = 0;

    static ssize_t read(void* cookie, char* buffer, std::size_t size) {
        FakeStream& p = *static_cast<FakeStream*>(cookie);
        if (p.served < p.head.size()) {
            const std::size_t n = std::min(size, p.head.size() - p.served);
            p.head.copy(buffer, n, p.served);
            p.served += n;
            return static_cast<ssize_t>(n);
        }
        if (p.fails) {
            errno = EIO;
            return -1;
        }
        std::fill(buffer, buffer + size, p.fill);
        p.served += size;
        return static_cast<ssize_t>(size);
    }
    std::string read_text(Graph& g) {
        std::FILE* f = fopencookie(this, "r", {read, nullptr, nullptr, nullptr});
        const std::string problem = reason(layout::read_stream(f, {"orv-graph"}, g));
        std::fclose(f);
        return problem;
    }
};

TEST(Reader, StopsAtTheFirstFaultWithoutReadingTheRest) {
    FakeStream zeros{"1\n\t2\n"};
    Graph g;
    EXPECT_EQ(zeros.read_text(g), "orv-graph, řádek 3: místo čísla stojí bajt 0x00");
    EXPECT_LE(zeros.served, std::size_t{1} << 20);
}

TEST(Reader, ReportsAReadErrorRatherThanWhatItCut) {
    FakeStream cut{"1\n\t2\n\t-", true};
    Graph g;
    EXPECT_EQ(cut.read_text(g), "soubor orv-graph nelze přečíst: Input/output error");
}

}  // namespace
