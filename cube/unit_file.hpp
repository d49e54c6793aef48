// vevuvedu: the file of one work unit (shard K of M): its result when complete, or its
// checkpoint while it runs. The same text serves both; it is self-describing and checked.
//
// The events of the search (see threads.hpp) are dealt out to the M units by a fixed
// permutation: event e belongs to unit splitmix64(e) mod M. Neighbouring events, whose subtrees
// are often alike in size, land in different units, so the few heavy subtrees spread out
// instead of falling to one unit, as contiguous ranges would make them.
//
// The file, one field a line, every number decimal unless said otherwise:
//   vevuvedu-unit 1                 the format and its version
//   program VERSION                 the version of vevuvedu that wrote it
//   box AxBxC                       the box searched (a cube of edge N is NxNxN)
//   taken HEX                       16 hex digits: FNV-1a 64 of the box's cells before the
//                                   search (its taken cells)
//   split-depth D                   the events are the continuations D segments deep
//   shard K/M                       this unit and the number of units
//   assignment splitmix64           how events are dealt out
//   state complete | checkpoint     a result, or a checkpoint to resume from
//   next-event E                    every event of this unit before E is done (complete: all)
//   events T                        events of the whole search (a checkpoint: 0)
//   owned O                         events of the whole search that are this unit's (a
//                                   checkpoint: 0)
//   mirror-event S                  the event where the mirrored half starts; -1: none (a
//                                   checkpoint: -1)
//   top-calls C                     calls of the walk of the top, made by every unit alike
//                                   (a checkpoint: 0)
//   calls C                         calls made below this unit's events
//   fillings F                      then F times:
//     filling E                       the event that found it
//     cells V V V ...                 its A*B*C cells, as `dump` orders them
//     trials T T ...                  the continuations that reach its mirror (empty when the
//                                     box has no mirrored half)
//   open O                          only in a checkpoint that stopped inside events, O > 0;
//                                   then O times, in event order:
//     open-event E                    an event searched in part, or whole but not yet taken in
//     calls C                         the calls made below it so far
//     place N N ...                   where its walk stands (empty: searched to the end)
//     fillings F                      then F times its fillings so far:
//       cells V V V ...
//       trials T T ...
//   checksum HEX                    16 hex digits: FNV-1a 64 of every byte before this line
// Lines end with a line feed; nothing follows the checksum line.
#pragma once

#include "failure.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int32_t unit_format = 1;

// FNV-1a, 64 bits, continuing from `hash`.
uint64_t fnv1a(std::string_view bytes, uint64_t hash = 0xcbf29ce484222325ULL);

// The unit that event `e` belongs to, of `shards`.
int64_t owner_of(int64_t e, int64_t shards);

// What every unit of one run shares, and which unit this is.
struct UnitIdentity {
    std::string program;
    int32_t nx = 0, ny = 0, nz = 0;
    uint64_t taken = 0;
    int32_t split_depth = 0;
    int64_t shard = 0, shards = 1;
};

struct UnitFilling {
    int64_t event = 0;
    std::vector<int32_t> cells;
    std::vector<int32_t> trials;
};

// An event of a checkpoint that its run stopped inside (see EventPlace in threads.hpp).
struct UnitOpen {
    int64_t event = 0;
    uint64_t calls = 0;
    std::vector<int32_t> place;
    std::vector<UnitFilling> fillings;  // their `event` is this one's
};

struct UnitFile {
    UnitIdentity id;
    bool complete = false;
    int64_t next_event = 0;
    int64_t events = 0;
    int64_t owned = 0;
    int64_t mirror_event = -1;
    uint64_t top_calls = 0;
    uint64_t calls = 0;
    std::vector<UnitFilling> fillings;
    std::vector<UnitOpen> open;  // a checkpoint's events searched in part
};

// The file's text, checksum included.
std::string format_unit(const UnitFile& unit);

// Reads a file's text; `name` names it in the failure (status 2) that tells what is wrong.
Read<UnitFile> parse_unit(std::string_view text, const std::string& name);

// The most events a search of this box and split depth can have: a count read from a file is
// refused above it, before anything loops over it.
int64_t most_events(const UnitIdentity& id);

// Reads the unit file at `path` (`what` names it in a failure: "výsledek", ...); `missing` tells
// a failure that is only the file's absence from the others. A file that cannot be read, is
// damaged, or is larger than the fillings its header counts can take is refused (status 2), the
// last before the rest of it is read.
struct UnitLoad {
    bool missing = false;
    UnitFile unit;
    std::optional<Failure> failure;
};
UnitLoad load_unit(const std::string& path, const std::string& what);

// The first field in which two identities differ ("box", "shard", ...), or nullptr; the shard
// number itself is compared only when `with_shard`.
const char* identity_difference(const UnitIdentity& a, const UnitIdentity& b, bool with_shard);
