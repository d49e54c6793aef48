// orv-editor: where the program's records live.
//
// The editor hands out a fresh record for every fraction, function and question it creates and
// never releases one while it runs; a record that a new value replaces is simply abandoned. The
// records are kept in one store per type for the whole run, so their addresses stay valid and
// nothing is lost track of: the store is released only when the process ends.
#pragma once

#include <deque>

// A new value-initialised record of type T, owned by the program until it exits.
template <typename T>
T* new_record() {
    static std::deque<T> store;  // a deque never moves the records it already holds
    return &store.emplace_back();
}
