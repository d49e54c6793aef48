// vevuvedu: where a run of work units stands, from its result and checkpoint files.
#include "status.hpp"

#include "files.hpp"
#include "unit_file.hpp"

#include <algorithm>

namespace {

enum class State { untouched, stopped, complete };

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

void append_numbers(std::string& text, const char* name, const std::vector<int64_t>& units) {
    text += name;
    for (int64_t k : units)
        text += " " + std::to_string(k);
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
    // Results first: a unit's checkpoint left beside its result does not count.
    const UnitIdentity& first = units[0].id;
    std::vector<State> state(static_cast<std::size_t>(first.shards), State::untouched);
    std::vector<std::size_t> result_of(state.size());  // the file of each complete unit
    RunStatus& status = read.value;
    for (bool results : {true, false})
        for (std::size_t i = 0; i < units.size(); ++i) {
            const UnitFile& unit = units[i];
            const auto k = static_cast<std::size_t>(unit.id.shard);
            if (unit.complete != results) continue;
            if (results && state[k] == State::complete) {
                read.failure = Failure{2, "díl " + std::to_string(k) + " má dva výsledky: „" +
                                              files[result_of[k]] + "“ a „" + files[i] + "“"};
                return read;
            }
            if (state[k] != State::untouched) continue;  // a second checkpoint: the first counts
            state[k] = results ? State::complete : State::stopped;
            result_of[k] = i;
            status.calls += calls_in(unit);
            status.fillings += fillings_in(unit);
        }
    status.units = first.shards;
    for (std::size_t k = 0; k < state.size(); ++k) {
        const int64_t unit = static_cast<int64_t>(k);
        if (state[k] == State::complete) status.complete.push_back(unit);
        if (state[k] == State::stopped) status.stopped.push_back(unit);
        if (state[k] == State::untouched) status.untouched.push_back(unit);
    }
    return read;
}

std::string format_status(const RunStatus& status) {
    std::string text;
    text += "díly " + std::to_string(status.units) + "\n";
    text += "hotové " + std::to_string(status.complete.size()) + "\n";
    text += "zastavené " + std::to_string(status.stopped.size()) + "\n";
    text += "nezačaté " + std::to_string(status.untouched.size()) + "\n";
    text += "volání " + std::to_string(status.calls) + "\n";
    text += "vyplnění " + std::to_string(status.fillings) + "\n";
    append_numbers(text, "zastavené-díly", status.stopped);
    append_numbers(text, "nezačaté-díly", status.untouched);
    return text;
}
