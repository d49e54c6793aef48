// The reader of vevuvedu's output in vevuvedu-svg.
#include "reader.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

// The one filling of a 3 x 3 x 1 box whose middle column of the first two layers is taken, as
// vevuvedu prints it (lines 1 to 12), and the final line (13).
const std::string flat_filling = "1 \n-1 \n4 \n---\n2 \n-1 \n4 \n---\n2 \n3 \n3 \n---\n";
const std::string one_found = "Celkový počet nalezených vyplnění je 1.\n";
const std::string flat = flat_filling + one_found;

std::string source_file(const std::string& relative) {
    std::ifstream in(std::string(ORV_SOURCE_DIR) + "/" + relative, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The text with its line `line` (from 1) left out.
std::string without_line(const std::string& text, int line) {
    std::istringstream in(text);
    std::string out, l;
    for (int n = 1; std::getline(in, l); ++n)
        if (n != line) out += l + "\n";
    return out;
}

std::string refusal(const std::string& text, std::optional<Box> box = std::nullopt) {
    const Read<Output> read = read_output(text, "", box);
    if (!read.failure) return "(accepted)";
    EXPECT_EQ(read.failure->status, 2);
    return read.failure->reason;
}

// An independent look at a traced path: it starts at (0,0,0), every step goes to a neighbouring
// cell, the segment numbers along it never fall and rise by at most one a step, and it covers
// every cell that is not taken once.
void expect_sound_path(const Output& output, const Filling& f) {
    const Box& b = output.box;
    ASSERT_FALSE(f.path.empty());
    EXPECT_EQ(f.path.front(), (Cell{0, 0, 0}));
    std::vector<int> seen(static_cast<std::size_t>(b.cells()), 0);
    int previous = 1;
    for (std::size_t i = 0; i < f.path.size(); ++i) {
        const Cell c = f.path[i];
        const int v = f.values[static_cast<std::size_t>(b.index(c))];
        ++seen[static_cast<std::size_t>(b.index(c))];
        EXPECT_TRUE(v == previous || v == previous + 1) << "step " << i;
        previous = v;
        if (i == 0) continue;
        const Cell p = f.path[i - 1];
        EXPECT_EQ(std::abs(c.x - p.x) + std::abs(c.y - p.y) + std::abs(c.z - p.z), 1)
            << "step " << i;
    }
    for (std::size_t i = 0; i < seen.size(); ++i)
        EXPECT_EQ(seen[i], f.values[i] == taken_value ? 0 : 1) << "cell " << i;
    EXPECT_EQ(static_cast<int>(f.segments.size()), previous);
}

TEST(ReadOutput, TakesWhatVevuveduWrites) {
    const Read<Output> six =
        read_output(source_file("cube/samples/vevuvedu-6.out"), "", std::nullopt);
    ASSERT_FALSE(six.failure) << six.failure->reason;
    EXPECT_EQ(six.value.box, (Box{6, 6, 6}));
    ASSERT_EQ(six.value.fillings.size(), 14u);
    EXPECT_EQ(six.value.taken, 0);
    for (const Filling& f : six.value.fillings) {
        EXPECT_EQ(f.path.size(), 216u);
        expect_sound_path(six.value, f);
    }

    const Read<Output> box =
        read_output(source_file("tests/cube/cases/box-six-fillings/stdout"), "", Box{6, 6, 6});
    ASSERT_FALSE(box.failure) << box.failure->reason;
    ASSERT_EQ(box.value.fillings.size(), 6u);
    EXPECT_GT(box.value.taken, 0);
    for (const Filling& f : box.value.fillings) {
        EXPECT_EQ(static_cast<int64_t>(f.path.size()), 216 - box.value.taken);
        expect_sound_path(box.value, f);
    }

    const Read<Output> one = read_output("1 \n---\n" + one_found, "", std::nullopt);
    ASSERT_FALSE(one.failure);
    EXPECT_EQ(one.value.box, (Box{1, 1, 1}));
    EXPECT_EQ(one.value.fillings.at(0).path.size(), 1u);

    const Read<Output> two = read_output(
        flat_filling + flat_filling + "Celkový počet nalezených vyplnění je 2.",  // no line feed
        "", std::nullopt);
    ASSERT_FALSE(two.failure) << two.failure->reason;
    EXPECT_EQ(two.value.box, (Box{3, 3, 1}));
    EXPECT_EQ(two.value.fillings.size(), 2u);
    EXPECT_EQ(two.value.taken, 2);
}

TEST(ReadOutput, NoFillingIsAnOutputToo) {
    const Read<Output> none = read_output("Nebylo nalezeno žádné vyplnění.\n", "", std::nullopt);
    ASSERT_FALSE(none.failure);
    EXPECT_TRUE(none.value.fillings.empty());
    EXPECT_EQ(none.value.box, Box{});
    EXPECT_EQ(read_output("Nebylo nalezeno žádné vyplnění.\n", "", Box{4, 5, 6}).value.box,
              (Box{4, 5, 6}));
}

TEST(ReadOutput, RefusesLinesOfAnotherForm) {
    EXPECT_EQ(refusal("1\n---\n" + one_found),
              "řádek 1: řádek nemá tvar výstupu vevuvedu (čísla, za každým jedna mezera; ---; "
              "závěrečná řádka)");
    for (const char* line :
         {"1  ", "01 ", "+1 ", " 1 ", "1 \r", "", "1 x ", "--- ", "99999999999 "})
        EXPECT_NE(
            refusal(std::string(line) + "\n---\n" + one_found).find("řádek 1: řádek nemá tvar"),
            std::string::npos)
            << line;
    EXPECT_EQ(refusal("2 \n---\n" + one_found),
              "řádek 1: vyplnění nezačíná číslem 1 (počáteční pole 0 0 0), ale 2");
    EXPECT_EQ(refusal("---\n" + one_found), "řádek 1: řádek --- bez řádků bloku před ním");
}

TEST(ReadOutput, RefusesBlocksAndFillingsTooShortOrTooLong) {
    // A line left out of the second block, a "---" left out.
    EXPECT_EQ(refusal(without_line(flat, 6)),
              "řádek 7: počet řádků bloku je 2 místo 3 (tolik má první blok)");
    EXPECT_EQ(refusal(without_line(flat, 8)),
              "řádek 8: počet řádků bloku přesahuje 3 (tolik má první blok); chybí řádek ---");
    // A line with a number more or less than the first line.
    EXPECT_EQ(refusal("1 \n-1 \n4 4 \n---\n" + one_found),
              "řádek 3: počet čísel na řádku je 2 místo 1 (tolik má první řádek)");
    // A block left out of the second filling; a filling longer than the box given.
    const std::string two =
        flat_filling + flat_filling + "Celkový počet nalezených vyplnění je 2.\n";
    EXPECT_EQ(refusal(without_line(without_line(without_line(without_line(two, 17), 17), 17), 17)),
              "řádek 21: počet bloků vyplnění z řádku 13 je 2 místo 3 (tolik má první vyplnění)");
    EXPECT_EQ(refusal(flat, Box{2, 3, 1}),
              "řádek 9: počet bloků vyplnění z řádku 1 přesahuje 2 (kvádr 2 x 3 x 1 z --box); "
              "nové vyplnění začíná číslem 1");
    // A given box that is not the output's.
    EXPECT_EQ(refusal(flat, Box{3, 3, 2}),
              "řádek 1: počet čísel na řádku je 1 místo 2 (kvádr 3 x 3 x 2 z --box)");
    EXPECT_EQ(refusal(flat, Box{3, 2, 1}),
              "řádek 3: počet řádků bloku přesahuje 2 (kvádr 3 x 2 x 1 z --box); chybí řádek ---");
}

TEST(ReadOutput, RefusesAFillingThatIsNotOnePathOnTheLineOfTheCell) {
    // (1,2,0), line 7, holds 5: segment 4 is the one cell (0,2,0), on line 3.
    std::string damaged = flat;
    damaged.replace(damaged.find("4 \n---\n2 \n3"), 1, "5");
    EXPECT_EQ(refusal(damaged),
              "řádek 3: pole 0 2 0: úsek 4 nezačíná vedle konce úseku 3 (pole 2 2 0)");
    // The second filling, a path of its own, takes a cell the first one does not.
    EXPECT_EQ(refusal(flat_filling + "1 \n-1 \n-1 \n---\n2 \n-1 \n-1 \n---\n2 \n-1 \n-1 \n---\n" +
                      "Celkový počet nalezených vyplnění je 2.\n"),
              "řádek 15: pole 0 2 0 je obsazené (-1), v prvním vyplnění nebylo");
}

TEST(ReadOutput, RefusesAFinalLineThatDoesNotMatch) {
    EXPECT_EQ(refusal(flat_filling + "Celkový počet nalezených vyplnění je 2.\n"),
              "řádek 13: závěrečná řádka uvádí 2 vyplnění, výstup jich má 1");
    EXPECT_EQ(refusal(flat_filling + "Nebylo nalezeno žádné vyplnění.\n"),
              "řádek 13: výstup má 1 vyplnění, závěrečná řádka žádné");
    for (const char* last : {"je 1", "je 01.", "je 0.", "je .", "je 1. ", "je -1."})
        EXPECT_NE(refusal(flat_filling + "Celkový počet nalezených vyplnění " + last + "\n")
                      .find("řádek 13:"),
                  std::string::npos)
            << last;
    EXPECT_EQ(refusal("Celkový počet nalezených vyplnění je 1.\n"),
              "řádek 1: závěrečná řádka uvádí 1 vyplnění, výstup jich má 0");
    EXPECT_EQ(refusal(flat + "\n"), "řádek 14: za závěrečnou řádkou už nic být nemá");
    EXPECT_EQ(refusal(flat_filling),
              "řádek 13: výstup končí bez závěrečné řádky s počtem vyplnění");
    EXPECT_EQ(refusal("1 \n-1 \n"), "řádek 3: výstup končí uprostřed bloku");
    EXPECT_EQ(refusal("1 \n-1 \n" + one_found), "řádek 3: blok nekončí řádkem ---");
}

TEST(ReadOutput, NamesTheFileAndTellsWhatAnEmptyOutputMeans) {
    EXPECT_EQ(read_output(flat_filling, "out", std::nullopt).failure->reason,
              "out, řádek 13: výstup končí bez závěrečné řádky s počtem vyplnění");
    const Read<Output> empty = read_output("", "", std::nullopt);
    ASSERT_TRUE(empty.failure);
    EXPECT_EQ(empty.failure->reason.rfind("výstup je prázdný: vevuvedu nejspíš skončil chybou", 0),
              0u);
    EXPECT_EQ(read_output_file("/nonexistent/out", std::nullopt).failure->reason,
              "soubor /nonexistent/out nelze otevřít: No such file or directory");
    EXPECT_EQ(read_output_file("/", std::nullopt).failure->reason,
              "soubor / nelze přečíst: Is a directory");
}

}  // namespace
