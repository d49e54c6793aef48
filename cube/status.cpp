// vevuvedu: where a run of work units stands, from its result and checkpoint files.
#include "status.hpp"

#include "files.hpp"
#include "unit_file.hpp"

#include <algorithm>
#include <iterator>
#include <map>

namespace {

// The fillings a unit's file holds: a result's, or a checkpoint's with those of its events
// searched in part.
int64_t fillings_in(const UnitFile& unit) {
    int64_t n = static_cast<int64_t>(unit.fillings.size());
    for (const UnitOpen& open : unit.open)
        n += static_cast<int64_t>(open.fillings.size());
    return n;
}

uint64_t calls_in(const UnitFile& unit) {
    uint64_t calls = unit.calls;
    for (const UnitOpen& open : unit.open)
        calls += open.calls;
    return calls;
}

// Appends the numbers first .. last: " A-B" for three or more, " A" or " A B" otherwise.
void append_run(std::string& text, int64_t first, int64_t last) {
    text += " " + std::to_string(first);
    if (last == first + 1) text += " " + std::to_string(last);
    if (last > first + 1) text += "-" + std::to_string(last);
}

// A line: `name`, then the numbers of `units` (ascending).
void append_units(std::string& text, const char* name, const std::vector<int64_t>& units) {
    text += name;
    for (std::size_t i = 0; i < units.size();) {
        std::size_t j = i;
        while (j + 1 < units.size() && units[j + 1] == units[j] + 1)
            ++j;
        append_run(text, units[i], units[j]);
        i = j + 1;
    }
    text += "\n";
}

// A line: `name`, then the numbers below `all` that neither `a` nor `b` (both ascending) holds.
void append_others(std::string& text, const char* name, int64_t all, const std::vector<int64_t>& a,
                   const std::vector<int64_t>& b) {
    std::vector<int64_t> held;
    std::merge(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(held));
    text += name;
    int64_t next = 0;  // the lowest number not yet passed
    for (int64_t k : held) {
        if (k > next) append_run(text, next, k - 1);
        next = k + 1;
    }
    if (all > next) append_run(text, next, all - 1);
    text += "\n";
}

}  // namespace

Read<RunStatus> read_run_status(const std::string& folder) {
    Read<RunStatus> read;
    std::vector<std::string> files;
    for (const char* ending : {".vvr", ".vvr.checkpoint"}) {
        const Read<std::vector<std::string>> found = files_ending_in(folder, ending);
        if (found.failure) {
            read.failure = found.failure;
            return read;
        }
        files.insert(files.end(), found.value.begin(), found.value.end());
    }
    if (files.empty()) {
        read.failure =
            Failure{2, "ve složce „" + folder + "“ není žádný výsledek ani kontrolní bod"};
        return read;
    }
    std::vector<UnitFile> units;
    for (const std::string& file : files) {
        UnitLoad load = load_unit(file, "soubor dílu");
        if (load.failure) {
            read.failure = load.failure;
            return read;
        }
        if (const char* differs =
                units.empty() ? nullptr : identity_difference(load.unit.id, units[0].id, false)) {
            read.failure = Failure{2, "soubor dílu „" + file + "“ nepatří ke stejnému běhu jako „" +
                                          files.front() + "“ (liší se " + differs + ")"};
            return read;
        }
        units.push_back(std::move(load.unit));
    }
    // Only the units with a file are looked at, as M comes from the files and may be large. A
    // unit's checkpoint left beside its result does not count; of two checkpoints, the first.
    std::map<int64_t, std::size_t> result_of, checkpoint_of;  // a unit's number -> its file
    for (std::size_t i = 0; i < units.size(); ++i) {
        const int64_t shard = units[i].id.shard;
        if (!units[i].complete) {
            checkpoint_of.emplace(shard, i);
            continue;
        }
        const auto [earlier, added] = result_of.emplace(shard, i);
        if (!added) {
            read.failure = Failure{2, "díl " + std::to_string(shard) + " má dva výsledky: „" +
                                          files[earlier->second] + "“ a „" + files[i] + "“"};
            return read;
        }
    }
    RunStatus& status = read.value;
    status.units = units[0].id.shards;
    auto count = [&](const UnitFile& unit) {
        status.calls += calls_in(unit);
        status.fillings += fillings_in(unit);
    };
    for (const auto& [shard, i] : result_of) {
        status.complete.push_back(shard);
        count(units[i]);
    }
    for (const auto& [shard, i] : checkpoint_of) {
        if (result_of.count(shard) != 0) continue;
        status.stopped.push_back(shard);
        count(units[i]);
    }
    status.untouched = status.units - static_cast<int64_t>(status.complete.size()) -
                       static_cast<int64_t>(status.stopped.size());
    return read;
}

std::string format_status(const RunStatus& status) {
    std::string text;
    text += "díly " + std::to_string(status.units) + "\n";
    text += "hotové " + std::to_string(status.complete.size()) + "\n";
    text += "zastavené " + std::to_string(status.stopped.size()) + "\n";
    text += "nezačaté " + std::to_string(status.untouched) + "\n";
    text += "volání " + std::to_string(status.calls) + "\n";
    text += "vyplnění " + std::to_string(status.fillings) + "\n";
    append_units(text, "zastavené-díly", status.stopped);
    append_others(text, "nezačaté-díly", status.units, status.complete, status.stopped);
    return text;
}
