// vevuvedu: writing and reading the file of one work unit.
#include "unit_file.hpp"

#include "number.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

uint64_t fnv1a(std::string_view bytes, uint64_t hash) {
    for (unsigned char c : bytes) {
        hash ^= c;
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

int64_t owner_of(int64_t e, int64_t shards) {
    // splitmix64's finaliser: a fixed permutation of the 64-bit numbers.
    uint64_t z = static_cast<uint64_t>(e) + 0x9e3779b97f4a7c15ULL;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    z ^= z >> 31;
    return static_cast<int64_t>(z % static_cast<uint64_t>(shards));
}

namespace {

std::string hex(uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

void append_numbers(std::string& text, const std::vector<int32_t>& numbers) {
    for (int32_t v : numbers) {
        text += ' ';
        text += std::to_string(v);
    }
    text += '\n';
}

// Appends what `fd` holds until `text` is `size` bytes long or the file ends; false (errno set)
// when reading fails.
bool read_up_to(int fd, uint64_t size, std::string& text) {
    char buffer[1 << 16];
    while (text.size() < size) {
        const std::size_t want = std::min<uint64_t>(sizeof buffer, size - text.size());
        const ssize_t got = read(fd, buffer, want);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) return true;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    return true;
}

// The bytes read first of a unit file that may be large: its header is far shorter.
constexpr uint64_t head_bytes = 1 << 16;
// The room a checkpoint's events searched in part may take beyond its fillings.
constexpr uint64_t open_bytes = uint64_t{1} << 26;

// Reads the file line by line; every step names what it expected when it fails.
struct Reader {
    std::string_view text;
    const std::string& name;
    int64_t line_number = 0;
    std::optional<Failure> failure;

    bool fail(const std::string& what) {
        if (!failure)
            failure = Failure{2, "soubor dílu „" + name + "“, řádek " +
                                     std::to_string(line_number) + ": " + what};
        return false;
    }
    // The next line, which must start with `key` and a blank (or be `key` alone when
    // `may_be_empty`); its value in `value`.
    bool field(const char* key, std::string_view& value, bool may_be_empty = false) {
        ++line_number;
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos)
            return fail(text.empty() ? std::string("soubor končí předčasně, chybí ") + key
                                     : std::string("řádek není ukončen, soubor je useknutý"));
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        const std::string_view k = key;
        if (line.substr(0, k.size()) != k) return fail(std::string("očekává se ") + key);
        line.remove_prefix(k.size());
        if (line.empty() && may_be_empty) {
            value = line;
            return true;
        }
        if (line.size() < 2 || line[0] != ' ') return fail(std::string("chybí hodnota ") + key);
        value = line.substr(1);
        return true;
    }
    // A number as the program writes it, from `least` to `most`.
    bool number(std::string_view text, int64_t least, int64_t most, int64_t& value,
                const char* what) {
        const Number<int64_t> n = exact_number(text, least, most);
        if (n.fault == NumberFault::malformed) return fail(std::string("chybné číslo: ") + what);
        if (n.fault == NumberFault::out_of_range)
            return fail(std::string("číslo mimo rozsah: ") + what);
        value = n.value;
        return true;
    }
    bool number_field(const char* key, int64_t least, int64_t most, int64_t& value) {
        std::string_view v;
        return field(key, v) && number(v, least, most, value, key);
    }
    bool unsigned_field(const char* key, uint64_t& value) {
        std::string_view v;
        if (!field(key, v)) return false;
        const Number<uint64_t> c = exact_count(v);
        if (c.fault == NumberFault::malformed) return fail(std::string("chybné číslo: ") + key);
        if (c.fault == NumberFault::out_of_range)
            return fail(std::string("číslo mimo rozsah: ") + key);
        value = c.value;
        return true;
    }
    bool hex_field(const char* key, uint64_t& value) {
        std::string_view v;
        if (!field(key, v)) return false;
        if (v.size() != 16) return fail(std::string("chybný šestnáctkový zápis: ") + key);
        value = 0;
        for (char c : v) {
            int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
            if (digit < 0) return fail(std::string("chybný šestnáctkový zápis: ") + key);
            value = value << 4 | static_cast<uint64_t>(digit);
        }
        return true;
    }
    // A list of numbers, each after one blank; `count` of them unless it is negative.
    bool numbers_field(const char* key, int64_t count, std::vector<int32_t>& out) {
        std::string_view v;
        if (!field(key, v, true)) return false;
        out.clear();
        // Numbers separated by one blank each: "1 2 3".
        for (std::size_t at = 0; !v.empty();) {
            const std::size_t end = v.find(' ', at);
            int64_t n = 0;
            if (!number(v.substr(at, end == std::string_view::npos ? end : end - at),
                        std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), n,
                        key))
                return false;
            out.push_back(static_cast<int32_t>(n));
            if (end == std::string_view::npos) break;
            at = end + 1;
        }
        if (count >= 0 && static_cast<int64_t>(out.size()) != count)
            return fail(std::string("nesedí počet čísel: ") + key);
        return true;
    }
};

}  // namespace

std::string format_unit(const UnitFile& u) {
    const UnitIdentity& id = u.id;
    std::string text = "vevuvedu-unit " + std::to_string(unit_format) + "\n";
    text += "program " + id.program + "\n";
    text += "box " + std::to_string(id.nx) + "x" + std::to_string(id.ny) + "x" +
            std::to_string(id.nz) + "\n";
    text += "taken " + hex(id.taken) + "\n";
    text += "split-depth " + std::to_string(id.split_depth) + "\n";
    text += "shard " + std::to_string(id.shard) + "/" + std::to_string(id.shards) + "\n";
    text += "assignment splitmix64\n";
    text += std::string("state ") + (u.complete ? "complete" : "checkpoint") + "\n";
    text += "next-event " + std::to_string(u.next_event) + "\n";
    text += "events " + std::to_string(u.events) + "\n";
    text += "owned " + std::to_string(u.owned) + "\n";
    text += "mirror-event " + std::to_string(u.mirror_event) + "\n";
    text += "top-calls " + std::to_string(u.top_calls) + "\n";
    text += "calls " + std::to_string(u.calls) + "\n";
    text += "fillings " + std::to_string(u.fillings.size()) + "\n";
    for (const UnitFilling& f : u.fillings) {
        text += "filling " + std::to_string(f.event) + "\n";
        text += "cells";
        append_numbers(text, f.cells);
        text += "trials";
        append_numbers(text, f.trials);
    }
    if (!u.open.empty()) text += "open " + std::to_string(u.open.size()) + "\n";
    for (const UnitOpen& o : u.open) {
        text += "open-event " + std::to_string(o.event) + "\n";
        text += "calls " + std::to_string(o.calls) + "\n";
        text += "place";
        append_numbers(text, o.place);
        text += "fillings " + std::to_string(o.fillings.size()) + "\n";
        for (const UnitFilling& f : o.fillings) {
            text += "cells";
            append_numbers(text, f.cells);
            text += "trials";
            append_numbers(text, f.trials);
        }
    }
    text += "checksum " + hex(fnv1a(text)) + "\n";
    return text;
}

namespace {

// Reads the fields from the format's line up to the count of fillings, which it returns in
// `fillings`; false, with the reader's failure set, at the first field that is wrong.
bool read_header(Reader& r, UnitFile& u, int64_t& fillings) {
    UnitIdentity& id = u.id;
    std::string_view v;
    if (!r.field("vevuvedu-unit", v)) return false;
    if (v != std::to_string(unit_format))
        return r.fail("jiná verze formátu (" + std::string(v) + ")");
    if (!r.field("program", v)) return false;
    id.program = std::string(v);
    if (!r.field("box", v)) return false;
    int64_t edge[3];
    for (int axis = 0; axis < 3; ++axis) {
        const std::size_t end = axis < 2 ? v.find('x') : v.size();
        if (end == std::string_view::npos) return r.fail("chybný kvádr");
        if (!r.number(v.substr(0, end), 1, std::numeric_limits<int32_t>::max(), edge[axis], "box"))
            return false;
        v.remove_prefix(axis < 2 ? end + 1 : end);
    }
    if (edge[0] * edge[1] > std::numeric_limits<int32_t>::max() ||
        edge[0] * edge[1] * edge[2] > std::numeric_limits<int32_t>::max())
        return r.fail("kvádr má příliš mnoho polí");
    id.nx = static_cast<int32_t>(edge[0]);
    id.ny = static_cast<int32_t>(edge[1]);
    id.nz = static_cast<int32_t>(edge[2]);
    int64_t n = 0;
    if (!r.hex_field("taken", id.taken)) return false;
    if (!r.number_field("split-depth", 1, 1000000, n)) return false;
    id.split_depth = static_cast<int32_t>(n);
    if (!r.field("shard", v)) return false;
    const std::size_t slash = v.find('/');
    if (slash == std::string_view::npos) return r.fail("chybný díl");
    if (!r.number(v.substr(slash + 1), 1, 1000000000, id.shards, "shard") ||
        !r.number(v.substr(0, slash), 0, id.shards - 1, id.shard, "shard"))
        return false;
    if (!r.field("assignment", v)) return false;
    if (v != "splitmix64") return r.fail("neznámé rozdělení událostí");
    if (!r.field("state", v)) return false;
    if (v != "complete" && v != "checkpoint") return r.fail("neznámý stav");
    u.complete = v == "complete";
    // Every count of events is bounded by the search before anything loops over it.
    const int64_t most = most_events(id);
    return r.number_field("next-event", 0, most, u.next_event) &&
           r.number_field("events", 0, most, u.events) &&
           r.number_field("owned", 0, most, u.owned) &&
           r.number_field("mirror-event", -1, most, u.mirror_event) &&
           r.unsigned_field("top-calls", u.top_calls) && r.unsigned_field("calls", u.calls) &&
           r.number_field("fillings", 0, std::numeric_limits<int64_t>::max(), fillings);
}

// The most bytes one filling of a box of `cells` cells takes: its event, its cells and as many
// trials as cells, each number at its longest.
uint64_t filling_bytes(int64_t cells) { return 30 + 2 * (8 + 12 * static_cast<uint64_t>(cells)); }

}  // namespace

Read<UnitFile> parse_unit(std::string_view text, const std::string& name) {
    Read<UnitFile> read;
    UnitFile& u = read.value;
    const UnitIdentity& id = u.id;
    Reader r{text, name, 0, std::nullopt};
    auto failed = [&] {
        read.failure = r.failure;
        return read;
    };
    // The checksum first: a damaged file is named as damaged, whatever else is wrong with it.
    const std::size_t last =
        text.size() >= 2 ? text.rfind('\n', text.size() - 2) : std::string_view::npos;
    const std::string_view body =
        last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
    const std::string_view tail = last == std::string_view::npos ? text : text.substr(last + 1);
    if (text.empty() || text.back() != '\n' || tail.substr(0, 9) != "checksum " ||
        tail != "checksum " + hex(fnv1a(body)) + "\n") {
        read.failure = Failure{2, "soubor dílu „" + name +
                                      "“ je poškozený nebo neúplný: kontrolní součet nesouhlasí"};
        return read;
    }
    int64_t count = 0;
    if (!read_header(r, u, count)) return failed();
    const int64_t cells = static_cast<int64_t>(id.nx) * id.ny * id.nz;
    for (int64_t i = 0; i < count; ++i) {
        UnitFilling f;
        if (!r.number_field("filling", 0, std::numeric_limits<int64_t>::max(), f.event) ||
            !r.numbers_field("cells", cells, f.cells) || !r.numbers_field("trials", -1, f.trials))
            return failed();
        // A filling's path has fewer segments than the box has cells, and one trial a segment.
        if (static_cast<int64_t>(f.trials.size()) > cells) {
            r.fail("příliš mnoho čísel: trials");
            return failed();
        }
        if (!u.fillings.empty() && f.event < u.fillings.back().event) {
            r.fail("vyplnění nejsou seřazena podle událostí");
            return failed();
        }
        u.fillings.push_back(std::move(f));
    }
    if (r.text.substr(0, 5) == "open ") {
        int64_t opened = 0;
        if (!r.number_field("open", 1, most_events(id), opened)) return failed();
        for (int64_t i = 0; i < opened; ++i) {
            UnitOpen o;
            int64_t found = 0;
            if (!r.number_field("open-event", u.next_event, std::numeric_limits<int64_t>::max(),
                                o.event) ||
                !r.unsigned_field("calls", o.calls) || !r.numbers_field("place", -1, o.place) ||
                !r.number_field("fillings", 0, std::numeric_limits<int64_t>::max(), found))
                return failed();
            // A place has a frame for each segment the event's walk laid, fewer than the cells.
            if (static_cast<int64_t>(o.place.size()) > cells) {
                r.fail("příliš mnoho čísel: place");
                return failed();
            }
            if (!u.open.empty() && o.event <= u.open.back().event) {
                r.fail("události nejsou seřazeny");
                return failed();
            }
            for (int64_t j = 0; j < found; ++j) {
                UnitFilling f;
                f.event = o.event;
                if (!r.numbers_field("cells", cells, f.cells) ||
                    !r.numbers_field("trials", -1, f.trials))
                    return failed();
                if (static_cast<int64_t>(f.trials.size()) > cells) {
                    r.fail("příliš mnoho čísel: trials");
                    return failed();
                }
                o.fillings.push_back(std::move(f));
            }
            u.open.push_back(std::move(o));
        }
    }
    std::string_view v;
    if (!r.field("checksum", v)) return failed();
    if (!r.text.empty()) {
        r.fail("za kontrolním součtem následuje další text");
        return failed();
    }
    // What the unit states must agree with itself and with the assignment.
    auto contradicts = [&](const std::string& what) {
        read.failure = Failure{2, "soubor dílu „" + name + "“: " + what};
        return read;
    };
    if ((u.complete &&
         (u.next_event != u.events || u.owned > u.events || u.mirror_event >= u.events)) ||
        (u.mirror_event >= 0 && id.ny != id.nz))
        return contradicts("údaje o událostech si odporují");
    for (const UnitFilling& f : u.fillings)
        if (f.event >= u.next_event || owner_of(f.event, id.shards) != id.shard)
            return contradicts("vyplnění z události " + std::to_string(f.event) +
                               ", která k tomuto dílu nepatří nebo ještě nebyla");
    if (u.complete && !u.open.empty())
        return contradicts("hotový výsledek má rozpracované události");
    for (const UnitOpen& o : u.open)
        if (owner_of(o.event, id.shards) != id.shard)
            return contradicts("rozpracovaná událost " + std::to_string(o.event) +
                               " k tomuto dílu nepatří");
    return read;
}

UnitLoad load_unit(const std::string& path, const std::string& what) {
    UnitLoad load;
    auto cannot_read = [&] {
        load.missing = errno == ENOENT;
        load.failure = failure_of(2, what + " „" + path + "“ nejde přečíst", errno, "chyba čtení");
        return load;
    };
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return cannot_read();
    std::string text;
    struct stat info;
    bool read_well = fstat(fd, &info) == 0;
    // The header first: a file larger than its header's fillings can take is refused before
    // the rest of it is read.
    const auto size = static_cast<uint64_t>(read_well ? info.st_size : 0);
    if (read_well) read_well = read_up_to(fd, std::min<uint64_t>(size, head_bytes), text);
    if (read_well && size > text.size()) {
        Reader r{text, path, 0, std::nullopt};
        UnitFile header;
        int64_t fillings = 0;
        if (!read_header(r, header, fillings)) {
            close(fd);
            load.failure = r.failure;
            return load;
        }
        const int64_t cells = static_cast<int64_t>(header.id.nx) * header.id.ny * header.id.nz;
        const uint64_t per_filling = filling_bytes(cells);
        // A checkpoint's events searched in part follow; their count is not in the header,
        // so they get room of their own.
        const uint64_t room = head_bytes + (header.complete ? 0 : open_bytes);
        const uint64_t most = static_cast<uint64_t>(fillings) > (UINT64_MAX - room) / per_filling
                                  ? UINT64_MAX
                                  : room + static_cast<uint64_t>(fillings) * per_filling;
        if (size > most) {
            close(fd);
            load.failure = Failure{2, what + " „" + path + "“ má " + std::to_string(size) +
                                          " bajtů, víc, než kolik zabere jeho " +
                                          std::to_string(fillings) + " vyplnění"};
            return load;
        }
        read_well = read_up_to(fd, size, text);
    }
    const int err = errno;
    close(fd);
    errno = err;
    if (!read_well) return cannot_read();
    Read<UnitFile> read = parse_unit(text, path);
    load.unit = std::move(read.value);
    load.failure = std::move(read.failure);
    return load;
}

int64_t most_events(const UnitIdentity& id) {
    // After a segment along one axis the next runs along one of the other two, to a target at
    // least 2 cells away: at most n - 2 targets on an axis of n cells. So at most `branches`
    // continuations follow a segment, and the events D segments deep (the continuations tried
    // there, the fillings found above and the switch to the mirrored half) are at most
    // 1 + branches + ... + branches^D, and 1.
    int64_t room[3] = {std::max(id.nx - 2, 0), std::max(id.ny - 2, 0), std::max(id.nz - 2, 0)};
    std::sort(room, room + 3);
    const int64_t branches = std::max<int64_t>(room[1] + room[2], 1);
    const int64_t most = std::numeric_limits<int64_t>::max();
    int64_t level = 1, total = 2;
    for (int32_t d = 1; d <= id.split_depth; ++d) {
        if (level > most / branches) return most;
        level *= branches;
        if (total > most - level) return most;
        total += level;
    }
    return total;
}

const char* identity_difference(const UnitIdentity& a, const UnitIdentity& b, bool with_shard) {
    if (a.program != b.program) return "verze programu";
    if (a.nx != b.nx || a.ny != b.ny || a.nz != b.nz) return "kvádr";
    if (a.taken != b.taken) return "obsazená pole";
    if (a.split_depth != b.split_depth) return "hloubka dělení";
    if (a.shards != b.shards) return "počet dílů";
    if (with_shard && a.shard != b.shard) return "číslo dílu";
    return nullptr;
}
