// vevuvedu: putting the results of the work units together.
#include "merge.hpp"

#include "files.hpp"
#include "mirror.hpp"
#include "store.hpp"

#include <algorithm>
#include <cerrno>
#include <map>
#include <new>
#include <sys/stat.h>

namespace {

std::string quoted(const std::string& text) { return "„" + text + "“"; }

// The files the inputs name: a folder stands for its *.vvr files, in the order of their names.
std::optional<Failure> expand(const std::vector<std::string>& inputs,
                              std::vector<std::string>& files) {
    for (const std::string& input : inputs) {
        struct stat info;
        if (stat(input.c_str(), &info) != 0)
            return failure_of(2, quoted(input) + " nejde otevřít", errno, "chyba čtení");
        if (!S_ISDIR(info.st_mode)) {
            files.push_back(input);
            continue;
        }
        const Read<std::vector<std::string>> found = files_ending_in(input, ".vvr");
        if (found.failure) return found.failure;
        if (found.value.empty())
            return Failure{2, "ve složce " + quoted(input) + " není žádný soubor *.vvr"};
        files.insert(files.end(), found.value.begin(), found.value.end());
    }
    return std::nullopt;
}

}  // namespace

Read<UnitSet> read_unit_set(const std::vector<std::string>& inputs) {
    Read<UnitSet> read;
    auto refuse = [&](std::string reason) {
        read.failure = Failure{2, std::move(reason)};
        return read;
    };
    std::vector<std::string> files;
    if (std::optional<Failure> f = expand(inputs, files)) {
        read.failure = f;
        return read;
    }
    std::vector<UnitFile> units;
    for (const std::string& file : files) {
        UnitLoad unit = load_unit(file, "soubor dílu");
        if (unit.failure) {
            read.failure = unit.failure;
            return read;
        }
        if (!unit.unit.complete)
            return refuse("soubor dílu " + quoted(file) +
                          " není hotový výsledek, je to kontrolní bod");
        if (!units.empty()) {
            const UnitFile& first = units.front();
            const char* differs = identity_difference(unit.unit.id, first.id, false);
            if (differs == nullptr &&
                (unit.unit.events != first.events || unit.unit.top_calls != first.top_calls ||
                 unit.unit.mirror_event != first.mirror_event))
                differs = "průchod vrcholu stromu";
            if (differs != nullptr)
                return refuse("soubor dílu " + quoted(file) + " nepatří ke stejnému běhu jako " +
                              quoted(files.front()) + " (liší se " + differs + ")");
        }
        units.push_back(std::move(unit.unit));
    }
    const int64_t m = units.front().id.shards;
    std::map<int64_t, std::size_t> at;  // unit number -> its file; M may be large, files are few
    for (std::size_t i = 0; i < units.size(); ++i) {
        const auto [slot, first] = at.emplace(units[i].id.shard, i);
        if (!first)
            return refuse("díl " + std::to_string(units[i].id.shard) + "/" + std::to_string(m) +
                          " je tu dvakrát: " + quoted(files[slot->second]) + " a " +
                          quoted(files[i]));
    }
    if (static_cast<int64_t>(at.size()) < m) {
        std::string missing;
        int64_t shown = 0;
        for (int64_t k = 0; k < m && shown < 10; ++k)
            if (at.count(k) == 0) missing += (shown++ == 0 ? "" : ", ") + std::to_string(k);
        const int64_t missing_count = m - static_cast<int64_t>(at.size());
        return refuse("chybí " + std::to_string(missing_count) + " z " + std::to_string(m) +
                      " dílů (" + missing + (missing_count > 10 ? ", …" : "") +
                      "), sada začíná souborem " + quoted(files.front()));
    }
    // Every event is owned by exactly one unit: the assignment says which, the files must agree.
    // The counts the files state add up to the events first, which takes no loop over them; one
    // unit owns every event.
    const int64_t events = units.front().events;
    int64_t stated = 0;
    for (const UnitFile& u : units)
        if (__builtin_add_overflow(stated, u.owned, &stated)) stated = -1;
    if (stated != events)
        return refuse("soubory dílů sady začínající " + quoted(files.front()) +
                      " neuvádějí události, které jim patří");
    std::vector<int64_t> owned(static_cast<std::size_t>(m), 0);
    if (m == 1) owned[0] = events;
    for (int64_t e = 0; m > 1 && e < events; ++e)
        ++owned[static_cast<std::size_t>(owner_of(e, m))];
    read.value.units.resize(static_cast<std::size_t>(m));
    read.value.names.resize(static_cast<std::size_t>(m));
    for (int64_t k = 0; k < m; ++k) {
        const std::size_t i = at.at(k);
        if (units[i].owned != owned[static_cast<std::size_t>(k)])
            return refuse("soubor dílu " + quoted(files[i]) + " neuvádí události, které mu patří");
        read.value.units[static_cast<std::size_t>(k)] = std::move(units[i]);
        read.value.names[static_cast<std::size_t>(k)] = files[i];
    }
    return read;
}

BoxSearch merge_units(const UnitSet& set, const FillingSink& sink) {
    BoxSearch result;
    const UnitFile& first = set.units.front();
    std::vector<const UnitFilling*> fillings;
    for (const UnitFile& u : set.units)
        for (const UnitFilling& f : u.fillings)
            fillings.push_back(&f);
    // An event belongs to one unit, and a unit keeps its fillings in the order found.
    std::stable_sort(
        fillings.begin(), fillings.end(),
        [](const UnitFilling* a, const UnitFilling* b) { return a->event < b->event; });
    try {
        Cube k;
        if (!make_cube(k, first.id.nx, first.id.ny, first.id.nz)) throw std::bad_alloc();
        std::vector<MirroredFilling> mirrors;
        std::string text;
        auto write = [&] {
            if (text.empty() || sink.write == nullptr || sink.write(text, sink.context)) {
                text.clear();
                return true;
            }
            result.failure = write_failure();
            return false;
        };
        bool mirrored = first.mirror_event < 0;
        for (const UnitFilling* f : fillings) {
            if (!mirrored && f->event > first.mirror_event) {
                result.count += static_cast<int32_t>(mirrors.size());
                append_mirrors(text, mirrors, k);
                mirrored = true;
                if (!write()) return result;
            }
            std::copy(f->cells.begin(), f->cells.end(), k.cells.get());
            if (!mirrored) mirrors.push_back(mirror_of(k, f->trials));
            ++result.count;
            dump(text, k);
            if (!write()) return result;
        }
        if (!mirrored) {
            result.count += static_cast<int32_t>(mirrors.size());
            append_mirrors(text, mirrors, k);
            write();
        }
    } catch (const std::bad_alloc&) {
        result.failure = memory_failure();
    }
    for (const UnitFile& u : set.units)
        result.stats.calls += u.calls;
    result.stats.calls += first.top_calls;
    return result;
}

std::optional<Failure> compare_sets(const UnitSet& a, const UnitSet& b) {
    const UnitFile& ua = a.units.front();
    const UnitFile& ub = b.units.front();
    const char* differs = identity_difference(ua.id, ub.id, false);
    if (differs != nullptr)
        return Failure{2, "sady " + quoted(a.names.front()) + " a " + quoted(b.names.front()) +
                              " nepatří ke stejnému běhu (liší se " + differs + ")"};
    std::string report;
    auto fillings_equal = [](const UnitFile& x, const UnitFile& y) {
        if (x.fillings.size() != y.fillings.size()) return false;
        for (std::size_t i = 0; i < x.fillings.size(); ++i)
            if (x.fillings[i].event != y.fillings[i].event ||
                x.fillings[i].cells != y.fillings[i].cells ||
                x.fillings[i].trials != y.fillings[i].trials)
                return false;
        return true;
    };
    for (std::size_t k = 0; k < a.units.size(); ++k) {
        const UnitFile& x = a.units[k];
        const UnitFile& y = b.units[k];
        std::string what;
        if (x.fillings.size() != y.fillings.size())
            what += ", počet vyplnění";
        else if (!fillings_equal(x, y))
            what += ", vyplnění";
        if (x.calls != y.calls || x.top_calls != y.top_calls) what += ", volání";
        if (x.events != y.events || x.mirror_event != y.mirror_event) what += ", události";
        if (what.empty()) continue;
        report += (report.empty() ? "" : "; ") + std::string("díl ") + std::to_string(k) + "/" +
                  std::to_string(a.units.size()) + " (" + quoted(a.names[k]) + " a " +
                  quoted(b.names[k]) + "): " + what.substr(2);
    }
    if (report.empty()) return std::nullopt;
    return Failure{4, "sady se liší: " + report};
}
