// vevuvedu: the search on several threads, with the output of the single walk; and the same
// machinery dealing with only some of the events, for a work unit.
#pragma once

#include "mirror.hpp"
#include "records.hpp"
#include "store.hpp"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// What one event of the top walk gave: an event is a continuation tried at the split depth (its
// whole subtree searched), a filling found above that depth, or the start's switch to the
// mirrored third axis. Outcomes are handed on in event order.
struct EventOutcome {
    int64_t event = 0;
    int32_t found = 0;                        // fillings, the switch's mirrors included
    uint64_t calls = 0;                       // calls made below the event's continuation
    bool mirror_switch = false;               // the event is the switch to the mirrored half
    std::string text;                         // the fillings, as `dump` writes them
    std::vector<std::vector<int32_t>> cells;  // with `EventPlan::take`: each filling's cells
    std::vector<MirroredFilling> mirrors;     // theirs, when the start is mirror-symmetric
    double share = 0;                         // the share of the search done before this event
};

// An event whose search stopped before it was handed on: where its walk stands below the
// event's own segment (`place_of`; empty when it was searched to the end) and its outcome so
// far, the calls made below it and the fillings found included.
struct EventPlace {
    std::vector<int32_t> place;
    EventOutcome outcome;
};

// Which events a search deals with and what becomes of their outcomes. The default plan deals
// with every event and writes the fillings to the options' sink, the mirrors at the switch.
struct EventPlan {
    // True for the events to deal with; nullptr: every event.
    bool (*wanted)(int64_t event, const void* context) = nullptr;
    const void* wanted_context = nullptr;
    // Takes each outcome in event order instead of the sink (nullptr: the sink). The outcomes
    // then keep each filling's cells instead of its text, and the switch to the mirrored half
    // is an event with no fillings, its mirrors left to whoever gathers every event's outcome.
    void (*take)(EventOutcome& outcome, void* context) = nullptr;
    void* take_context = nullptr;
    // Called about every `watch_ms` milliseconds while the threads run, without the search's
    // lock; true stops the search where it is (events in flight are abandoned, unless
    // `keep_places`).
    bool (*watch)(void* context) = nullptr;
    void* watch_context = nullptr;
    int watch_ms = 500;
    // Events an earlier search of the same plan stopped in, by event: each continues from its
    // place, its outcome so far kept, so that it ends as it would have without the stop.
    const std::map<int64_t, EventPlace>* resume = nullptr;
    // When the search stops, keep the place of every event it was searching or held
    // (ThreadedSearch::places) instead of abandoning them.
    bool keep_places = false;
    // With `keep_places`: asked after `watch` every interval; when it says so, `save` gets the
    // outcomes held and the places of the events being searched, as each thread last published
    // them, in event order, for a checkpoint while the search runs. `save` runs under the
    // search's lock (no outcome is handed on meanwhile) with the watch's context.
    bool (*save_due)(void* context) = nullptr;
    void (*save)(std::vector<EventPlace> places, void* context) = nullptr;
    // Stops the search once this many calls have been made below the events in this run (0:
    // never), looking after every call: a stop at an exact point, for tests.
    uint64_t stop_after_calls = 0;
};

struct ThreadedSearch {
    BoxSearch result;
    int64_t events = 0;              // events the top walk numbered (all of them unless stopped)
    uint64_t top_calls = 0;          // calls of the top walk, the same in every thread
    int64_t mirror_event = -1;       // the event of the switch to the mirrored half; -1: none
    bool stopped = false;            // `watch` or `stop_after_calls` stopped it
    std::vector<EventPlace> places;  // with `keep_places`, after a stop: in event order
};

// Runs the search of `probe_path` from the first segment on `options.threads` threads (at
// least one). Every thread walks the top of the tree to `options.split_depth` segments and
// numbers the events in the order of the single walk; the threads deal with the wanted ones in
// that order, and each one's outcome is held until every wanted event before it is done, then
// handed on: the sink sees the fillings exactly in the order of the single walk. `filled`
// counts the box's taken cells, the start cell (0,0,0), already marked, included.
ThreadedSearch search_threads(Cube& kostka, int32_t filled, const SearchOptions& options,
                              EventPlan& plan);
