// Boxes for the search tests: random walks of segments and the boxes they leave free.
#pragma once

#include "cube.hpp"
#include "store.hpp"

#include <array>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <vector>

// An nx x ny x nz box with every cell free.
Cube box(int32_t nx, int32_t ny, int32_t nz);
Cube copy_of(const Cube& k);
std::string snapshot(const Cube& k);

// The text `dump` writes for the box.
std::string dump_text(const Cube& k);

// A search on one walk, keeping every filling's text in `printed`.
struct KeptSearch : BoxSearch {
    std::string printed;
};
KeptSearch search_kept(Cube& k);

// The search as a plain recursion, written straight from its rules, on a copy of the box with
// its start taken: the reference the program's search must match filling for filling, and call
// for call where it walks unpruned (a box too large for the rules' boards, never mirrored).
KeptSearch plain_search(const Cube& k);

// A random walk of segments from (0,0,0), the first along the whole first axis: its cells are
// marked 1 in `k`, and `head` and `axis` are the end of its last segment and that segment's axis.
struct Walk {
    Cube k;
    std::array<int32_t, 3> head;
    int32_t axis = 0;
};

// Appends the segment (axis, d) from the head when its cells are in the box and off the walk.
bool extend(Walk& w, int32_t axis, int32_t d);

// A walk from (0,0,0), the first segment along the whole first axis, then `tries` random
// segments, each kept when it fits.
Walk random_walk(std::mt19937& rng, int32_t nx, int32_t ny, int32_t nz, int32_t tries);

// Ends the walk in a ring: a segment at a right angle to the last one, to a corner of a
// rectangle border of at least 4 x 4 cells lying across that segment. The walk can then go
// round the ring either way, so the box has two fillings or more. False (the walk unchanged)
// when none fits.
bool end_in_ring(std::mt19937& rng, Walk& w);

// The box whose free cells are the walk's cells and `spare` random others: with none spare it
// has at least one filling, the walk itself; with some it usually has none.
Cube walk_box(std::mt19937& rng, Walk& w, int32_t spare);
Cube random_walk_box(std::mt19937& rng, int32_t nx, int32_t ny, int32_t nz, int32_t spare,
                     int32_t tries = 200);

// A random box with every cell but the first row taken with probability `taken` in 1000.
Cube random_box(std::mt19937& rng, int32_t nx, int32_t ny, int32_t nz, uint32_t taken);

// An nx x n x n box drawn as a picture: one layer a string for every x, each row of it a word of
// n characters, '#' a taken cell. The tests draw boxes that swapping the second and third axes
// maps onto themselves with it.
Cube picture(int32_t nx, int32_t n, const std::vector<std::string>& layers);

// A fresh temporary folder, removed with everything in it at the end of its scope.
struct Folder {
    std::filesystem::path path;
    Folder();
    ~Folder();
};

// A sink that appends the fillings' text to the std::string `printed`.
bool append(std::string_view text, void* printed);
