// The listing reader and the choice of the edges to draw.
#include "listing.hpp"
#include "picture.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

// A listing as orv-layout writes it: vertex v on `cells[v - 1]`, followed by the cells of the
// vertices `lists[v - 1]` names.
struct Plan {
    std::vector<Cell> cells;
    std::vector<std::vector<int>> lists;
};

// Every vertex on its own cell, in a shuffled order, and no neighbours.
Plan shuffled_plan(unsigned seed) {
    Plan plan;
    for (int x = 0; x < columns; ++x)
        for (int y = 0; y < rows; ++y)
            plan.cells.push_back({x, y});
    std::mt19937 random(seed);
    std::shuffle(plan.cells.begin(), plan.cells.end(), random);
    plan.lists.resize(vertex_count);
    return plan;
}

std::string line_of(Cell cell, int number, bool neighbour) {
    char text[32];
    std::snprintf(text, sizeof text, "%s%d %d : %03d\n", neighbour ? "\t" : "", cell.x, cell.y,
                  number);
    return text;
}

std::string text_of(const Plan& plan) {
    std::string text;
    for (int v = 1; v <= vertex_count; ++v) {
        text += line_of(plan.cells[v - 1], v, false);
        for (int n : plan.lists[v - 1])
            text += line_of(plan.cells[n - 1], n, true);
    }
    return text;
}

Read<Listing> read_text(const std::string& text) {
    std::FILE* in = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), in);
    std::rewind(in);
    Read<Listing> read = read_listing(in);
    std::fclose(in);
    return read;
}

// The reason a text is refused for; "" when it is read.
std::string refusal(const std::string& text) {
    const Read<Listing> read = read_text(text);
    if (!read.failure) return "";
    EXPECT_EQ(read.failure->status, 2);
    return read.failure->reason;
}

// Replaces line `number` (from 1) of `text` by `line` (without its line feed).
std::string with_line(std::string text, int number, const std::string& line) {
    std::size_t start = 0;
    for (int i = 1; i < number; ++i)
        start = text.find('\n', start) + 1;
    return text.replace(start, text.find('\n', start) - start, line);
}

TEST(ListingReader, ReadsWhatOrvLayoutWritesCellsAndMentionsInOrder) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        Plan plan = shuffled_plan(seed);
        std::mt19937 random(seed + 100);
        std::uniform_int_distribution<int> vertex(1, vertex_count), count(0, max_neighbours);
        for (auto& list : plan.lists) {
            if (random() % 4 != 0) continue;  // most vertices list nobody
            for (int n = count(random); n > 0; --n)
                list.push_back(vertex(random));
        }
        const Read<Listing> read = read_text(text_of(plan));
        ASSERT_FALSE(read.failure) << read.failure->reason;
        std::vector<Mention> expected;
        for (int v = 1; v <= vertex_count; ++v) {
            EXPECT_EQ(read.value.cells[v - 1], plan.cells[v - 1]) << "vertex " << v;
            for (int n : plan.lists[v - 1])
                expected.push_back({v, n});
        }
        ASSERT_EQ(read.value.mentions.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(read.value.mentions[i].from, expected[i].from);
            EXPECT_EQ(read.value.mentions[i].to, expected[i].to);
        }
    }
}

TEST(ListingReader, TakesALastLineWithoutItsLineFeed) {
    std::string text = text_of(shuffled_plan(3));
    text.pop_back();
    EXPECT_EQ(refusal(text), "");
}

TEST(ListingReader, RefusesLinesOfAnotherFormNamingTheLine) {
    Plan plan = shuffled_plan(5);
    plan.lists[0] = {2, 3};
    const std::string good = text_of(plan);  // line 1: vertex 1, lines 2-3 its neighbours
    const std::string form = "řádek nemá tvar \"X Y : NNN\" ani \"<TAB>X Y : NNN\"";
    const Cell c2 = plan.cells[1];
    const std::string x2 = std::to_string(c2.x), y2 = std::to_string(c2.y);
    for (const std::string& bad : {
             std::string(""),                    // an empty line
             " " + x2 + " " + y2 + " : 002",     // a blank instead of the tab
             "\t" + x2 + " " + y2 + " : 002\r",  // a carriage-return line end
             "\t" + x2 + "  " + y2 + " : 002",   // two blanks
             "\t" + x2 + " " + y2 + ": 002",     // no blank before the colon
             "\t" + x2 + " " + y2 + " : 2",      // the number not in three digits
             "\t" + x2 + " " + y2 + " : 0002",   // nor in four
             "\t-" + x2 + " " + y2 + " : 002",   // a sign
             "\t" + x2 + " " + y2,               // no number
             "\t" + x2 + " " + y2 + " : 002 ",   // a trailing blank
             "\tx " + y2 + " : 002",             // a letter
             "\t\t" + x2 + " " + y2 + " : 002",  // two tabs
         })
        EXPECT_EQ(refusal(with_line(good, 2, bad)), "řádek 2: " + form) << bad;
    EXPECT_EQ(refusal(with_line(good, 2, std::string(5000, '7'))),
              "řádek 2: řádek je příliš dlouhý");
}

TEST(ListingReader, RefusesNumbersOutsideTheGridAndTheVertexRange) {
    const std::string good = text_of(shuffled_plan(6));
    EXPECT_EQ(refusal(with_line(good, 4, "15 0 : 004")),
              "řádek 4: sloupec 15 leží mimo mřížku (0 až 14)");
    EXPECT_EQ(refusal(with_line(good, 4, "0 19 : 004")),
              "řádek 4: řádek 19 leží mimo mřížku (0 až 18)");
    EXPECT_EQ(refusal(with_line(good, 4, "99999 0 : 004")),
              "řádek 4: řádek nemá tvar \"X Y : NNN\" ani \"<TAB>X Y : NNN\"");
    EXPECT_EQ(refusal(with_line(good, 4, "0 0 : 000")),
              "řádek 4: číslo vrcholu 000 leží mimo rozsah 001 až 285");
    EXPECT_EQ(refusal(with_line(good, 4, "0 0 : 286")),
              "řádek 4: číslo vrcholu 286 leží mimo rozsah 001 až 285");
}

TEST(ListingReader, RefusesVerticesOutOfOrderOnTakenCellsMissingOrExtra) {
    const Plan plan = shuffled_plan(7);
    const std::string good = text_of(plan);  // no neighbours: line v holds vertex v
    const Cell c3 = plan.cells[2];
    const std::string cell3 = std::to_string(c3.x) + " " + std::to_string(c3.y);
    EXPECT_EQ(refusal(with_line(good, 4, cell3 + " : 005")),
              "řádek 4: čeká se vrchol 004, stojí zde vrchol 005");
    EXPECT_EQ(refusal(with_line(good, 4, cell3 + " : 003")),
              "řádek 4: čeká se vrchol 004, stojí zde vrchol 003");
    EXPECT_EQ(refusal(with_line(good, 4, cell3 + " : 004")),
              "řádek 4: pole " + cell3 + " už zabral vrchol 003");
    EXPECT_EQ(refusal(good + line_of({0, 0}, 1, false)),
              "řádek 286: vrchol 001 je navíc: výpis už má všech 285 vrcholů");

    const std::string first_120 = good.substr(0, good.find(line_of(plan.cells[120], 121, false)));
    EXPECT_EQ(refusal(first_120), "řádek 121: výpis končí, chybí vrcholy 121 až 285");
    EXPECT_EQ(refusal("").rfind("výpis je prázdný: orv-layout nejspíš skončil chybou", 0), 0u);
}

TEST(ListingReader, RefusesNeighbourLinesThatDisagreeWithTheVertexLines) {
    Plan plan = shuffled_plan(8);
    const std::string alone = text_of(plan);
    EXPECT_EQ(refusal(line_of(plan.cells[1], 2, true) + alone),
              "řádek 1: soused stojí před prvním vrcholem");

    // Vertex 1 lists vertex 200 at a cell that vertex 200's own line, much later, contradicts:
    // the line named is the neighbour line.
    plan.lists[0] = {2, 200};
    const Cell wrong = plan.cells[0];
    const Cell right = plan.cells[199];
    EXPECT_EQ(refusal(with_line(text_of(plan), 3,
                                "\t" + std::to_string(wrong.x) + " " + std::to_string(wrong.y) +
                                    " : 200")),
              "řádek 3: vrchol 200 stojí na poli " + std::to_string(right.x) + " " +
                  std::to_string(right.y) + ", ne na " + std::to_string(wrong.x) + " " +
                  std::to_string(wrong.y));

    plan.lists[0] = std::vector<int>(max_neighbours, 2);
    EXPECT_EQ(refusal(text_of(plan)), "");
    plan.lists[0].push_back(3);
    EXPECT_EQ(refusal(text_of(plan)), "řádek 52: vrchol 001 má víc než 50 sousedů");
}

TEST(ListingReader, NamesTheFileInItsMessages) {
    const std::string text = text_of(shuffled_plan(9));
    std::FILE* in = std::tmpfile();
    std::fwrite(text.data(), 1, 30, in);
    std::rewind(in);
    const Read<Listing> read = read_listing(in, "saved.txt");
    std::fclose(in);
    ASSERT_TRUE(read.failure);
    EXPECT_EQ(read.failure->reason.rfind("saved.txt, řádek ", 0), 0u) << read.failure->reason;

    const Read<Listing> missing = read_listing_file("/nonexistent/listing");
    ASSERT_TRUE(missing.failure);
    EXPECT_EQ(missing.failure->status, 2);
    EXPECT_EQ(missing.failure->reason,
              "soubor /nonexistent/listing nelze otevřít: No such file or directory");
}

TEST(DrawnEdges, OneEdgePerPairDirectedOnlyWhenListedOneWay) {
    Listing listing;
    listing.mentions = {
        {1, 2}, {2, 1}, {1, 2},  // both ways, one of them twice
        {5, 3}, {5, 3},          // one way, from the larger number
        {4, 6},                  // one way, from the smaller number
        {7, 7}, {7, 7},          // a vertex listing itself
        {9, 8}, {8, 9},          // both ways, first from the larger
    };
    const std::vector<Edge> edges = drawn_edges(listing);
    ASSERT_EQ(edges.size(), 5u);
    auto expect_edge = [](const Edge& e, int from, int to, EdgeKind kind) {
        EXPECT_EQ(e.from, from);
        EXPECT_EQ(e.to, to);
        EXPECT_EQ(e.kind, kind);
    };
    expect_edge(edges[0], 1, 2, EdgeKind::both_ways);
    expect_edge(edges[1], 5, 3, EdgeKind::directed);
    expect_edge(edges[2], 4, 6, EdgeKind::directed);
    expect_edge(edges[3], 7, 7, EdgeKind::loop);
    expect_edge(edges[4], 8, 9, EdgeKind::both_ways);
}

}  // namespace
