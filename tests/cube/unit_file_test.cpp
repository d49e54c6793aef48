// The file of a work unit: what is written reads back the same, and any damage is refused.
#include "unit_file.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

UnitFile sample() {
    UnitFile u;
    u.id = {"1.0.0", 3, 4, 4, 0x0123456789abcdefULL, 5, 2, 7};
    u.complete = true;
    u.events = u.next_event = 40;
    for (int64_t e = 0; e < u.events; ++e)
        u.owned += owner_of(e, 7) == 2;
    u.mirror_event = 39;
    u.top_calls = 1234;
    u.calls = 18446744073709551615ULL;  // the whole 64 bits
    for (int64_t e = 0; e < u.events; ++e)
        if (owner_of(e, 7) == 2 && u.fillings.size() < 3)
            u.fillings.push_back({e, std::vector<int32_t>(48, -1), {0, 5, -2147483647 - 1}});
    u.fillings[0].cells[0] = 1;
    u.fillings[1].trials.clear();
    return u;
}

TEST(UnitFile, ReadsBackWhatItWrites) {
    const UnitFile u = sample();
    ASSERT_EQ(u.fillings.size(), 3u);
    const std::string text = format_unit(u);
    const Read<UnitFile> read = parse_unit(text, "x.vvr");
    ASSERT_FALSE(read.failure) << read.failure->reason;
    EXPECT_EQ(format_unit(read.value), text);
    EXPECT_EQ(read.value.calls, u.calls);
    EXPECT_EQ(read.value.fillings[2].trials, u.fillings[2].trials);
    EXPECT_TRUE(read.value.fillings[1].trials.empty());
    EXPECT_EQ(identity_difference(read.value.id, u.id, true), nullptr);
}

// A byte dropped, changed or added anywhere, or the file cut anywhere, is refused.
TEST(UnitFile, RefusesEveryChangedTruncatedOrExtendedFile) {
    const std::string text = format_unit(sample());
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::string changed = text;
        changed[i] = static_cast<char>(changed[i] ^ 0x04);
        ASSERT_TRUE(parse_unit(changed, "x").failure) << i;
        ASSERT_TRUE(parse_unit(text.substr(0, i), "x").failure) << i;
        std::string dropped = text;
        dropped.erase(i, 1);
        ASSERT_TRUE(parse_unit(dropped, "x").failure) << i;
    }
    EXPECT_TRUE(parse_unit(text + "\n", "x").failure);
    const Read<UnitFile> read = parse_unit(text.substr(0, 100), "cut.vvr");
    ASSERT_TRUE(read.failure);
    EXPECT_EQ(read.failure->status, 2);
    EXPECT_NE(read.failure->reason.find("cut.vvr"), std::string::npos);
}

// A file whose checksum is right but whose fields contradict the assignment is refused too.
TEST(UnitFile, RefusesAFillingOfAnEventTheUnitDoesNotOwn) {
    UnitFile u = sample();
    int64_t foreign = 0;
    while (owner_of(foreign, 7) == 2)
        ++foreign;
    u.fillings.insert(u.fillings.begin(), {foreign, std::vector<int32_t>(48, 1), {}});
    EXPECT_TRUE(parse_unit(format_unit(u), "x").failure);
    UnitFile flat = sample();
    flat.id.nz = 5;  // no mirror in a box whose second and third edges differ
    flat.fillings.clear();
    EXPECT_TRUE(parse_unit(format_unit(flat), "x").failure);
}

// Found by the fuzz target: a list with two blanks, or a blank at either end, read back as
// written would change the file; each is refused, its checksum right.
TEST(UnitFile, RefusesAListNotSpelledAsWritten) {
    const std::string text = format_unit(sample());
    const std::string body = text.substr(0, text.rfind("checksum "));
    const std::string line = "trials 0 5 -2147483648\n";
    const std::size_t trials = body.find(line);
    ASSERT_NE(trials, std::string::npos);
    for (const char* spelling : {"trials  0 5 -2147483648\n", "trials 0  5 -2147483648\n",
                                 "trials 0 5 -2147483648 \n", "trials 0 5 -2147483648\r\n"}) {
        std::string changed = body;
        changed.replace(trials, line.size(), spelling);
        char sum[32];
        std::snprintf(sum, sizeof sum, "checksum %016llx\n",
                      static_cast<unsigned long long>(fnv1a(changed)));
        EXPECT_TRUE(parse_unit(changed + sum, "x").failure) << spelling;
    }
}

// A file larger than the reader's first look is read whole when its header's fillings can take
// it, and refused unread when they cannot; counts of events beyond what the box can have are
// refused whatever the checksum says.
TEST(UnitFile, BoundsWhatItReadsByTheSearch) {
    UnitFile u = sample();
    u.id.shard = 0;
    u.id.shards = 1;
    u.owned = u.events = u.next_event = most_events(u.id);
    for (int64_t e = 0; e < 2000; ++e)
        u.fillings.push_back({e % u.events, std::vector<int32_t>(48, -1), {}});
    std::sort(u.fillings.begin(), u.fillings.end(),
              [](const UnitFilling& a, const UnitFilling& b) { return a.event < b.event; });
    const std::string text = format_unit(u);
    ASSERT_GT(text.size(), 200000u);
    char name[] = "/tmp/vevuvedu-unit-file-XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    const UnitLoad whole = load_unit(name, "soubor dílu");
    EXPECT_FALSE(whole.failure) << whole.failure->reason;
    EXPECT_EQ(whole.unit.fillings.size(), u.fillings.size());
    ASSERT_EQ(ftruncate(fd, static_cast<off_t>(text.size()) * 20), 0);
    const UnitLoad grown = load_unit(name, "soubor dílu");
    ASSERT_TRUE(grown.failure);
    EXPECT_NE(grown.failure->reason.find("bajtů"), std::string::npos) << grown.failure->reason;
    close(fd);
    unlink(name);
    EXPECT_TRUE(load_unit(name, "soubor dílu").missing);

    u.events = u.next_event = u.owned = most_events(u.id) + 1;
    u.fillings.clear();
    EXPECT_TRUE(parse_unit(format_unit(u), "x").failure);
}

// Every event has one owner, and neighbouring events are spread over the units.
TEST(UnitFile, DealsNeighbouringEventsToDifferentUnits) {
    for (int64_t m : {1, 2, 3, 7, 64}) {
        std::vector<int64_t> count(static_cast<std::size_t>(m), 0);
        for (int64_t e = 0; e < 64000; ++e) {
            const int64_t k = owner_of(e, m);
            ASSERT_GE(k, 0);
            ASSERT_LT(k, m);
            ++count[static_cast<std::size_t>(k)];
        }
        for (int64_t c : count) {  // within a tenth of the even share
            EXPECT_GT(c, 64000 / m * 9 / 10) << m;
            EXPECT_LT(c, 64000 / m * 11 / 10) << m;
        }
    }
    // The first 16 events of 16 units do not all go to one or two units, as ranges would.
    std::set<int64_t> units;
    for (int64_t e = 0; e < 16; ++e)
        units.insert(owner_of(e, 16));
    EXPECT_GE(units.size(), 8u);
}

}  // namespace
