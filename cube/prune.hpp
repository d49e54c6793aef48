// vevuvedu: rules that show a subtree of the search holds no filling, on bit-board copies of
// the box. Each rule is argued next to its code in prune.cpp.
#pragma once

#include "cube.hpp"
#include "search.hpp"

#include <array>
#include <cstdint>

// Bit boards cover boxes of up to 512 cells (N = 8); the search runs larger boxes unpruned.
inline constexpr int32_t board_words = 8;
using Board = std::array<uint64_t, board_words>;

// Fixed masks of one box, built once per search.
struct PruneBoards {
    int32_t words = 0;                // words in use
    std::array<int32_t, 6> offset{};  // index step of each direction: +x, -x, +y, -y, +z, -z
    std::array<Board, 6> inside{};    // cells whose neighbour in that direction is in the box
    Board even{};                     // cells with x + y + z even
};

bool prune_supported(const Kostka& kostka);
void prepare_boards(PruneBoards& boards, const Kostka& kostka);

// True when no walk can go on from `head` (the end of the last segment, laid along `last_axis`)
// through every free cell in straight segments of at least two cells, each at a right angle to
// the one before. False means only that the subtree must be searched.
bool holds_no_filling(const PruneBoards& boards, const Kostka& kostka,
                      const std::array<int32_t, 3>& head, int32_t last_axis, SearchStats& stats);

// True when swapping the second and third axes maps the box's free cells and the first segment
// (start, axis) onto themselves.
bool mirror_symmetric(const Kostka& kostka, const std::array<int32_t, 3>& start, int32_t axis);
