// vevuvedu: rules that show a subtree of the search holds no filling, on bit boards of the box.
// Each rule is argued next to its code in prune.cpp; pruner.cpp sets the boards up for a box.
#pragma once

#include "records.hpp"
#include "store.hpp"

#include <array>
#include <cstdint>
#include <vector>

// Bit boards cover boxes of up to 512 cells (N = 8); the search runs larger boxes unpruned.
inline constexpr int32_t board_words = 8;
using Board = std::array<uint64_t, board_words>;

// The roles a cell may play in the rest of a walk: straight along one of the 3 axes, one of
// the 12 turns, or the end of the walk toward one of the 6 directions.
inline constexpr int32_t role_count = 21;

// What the rules know at one node of the search: its free cells, the roles each may still play
// (every role some walk from the node's head could give it, and perhaps more), and the
// directions in which the walk may still leave the head. Bit i of a board is the cell whose
// index in the box is i.
struct NodeRoles {
    Board free{};
    std::array<Board, role_count> role{};
    uint32_t exits = 0;
};

struct Pruner;

// The rules' code. The search spends nearly all its time in it, so it is built twice: for any
// processor, and (on x86-64) once more for x86-64-v3, whose AVX2 registers hold a whole board
// of a box up to 256 cells and which runs the search about a third faster. Both builds give the
// same answers. Each node or child answer is the one the functions below document.
struct PruneCode {
    bool (*node_holds_no_filling)(Pruner& pruner, int32_t level, const Cube& kostka, int32_t head,
                                  int32_t last_axis, PruneCounters& counters);
    bool (*child_holds_no_filling)(Pruner& pruner, int32_t level, int32_t parent_head, int32_t dir,
                                   int32_t length, PruneCounters& counters);
};

// The build for any processor, and the x86-64-v3 one when it was built and this processor has
// every feature it may use (nullptr otherwise).
const PruneCode& portable_prune_code();
const PruneCode* x86_64_v3_prune_code();

// The code a search runs: the x86-64-v3 build where the processor allows it, unless the
// environment variable VEVUVEDU_CODE is `portable`.
const PruneCode& chosen_prune_code();

// The box's fixed masks, the code that applies the rules, and the roles of every node on the
// current path: `levels[k]` belongs to the node whose last segment is the path's k-th (counted
// from 0).
struct Pruner {
    const PruneCode* code = nullptr;
    int32_t words = 0;                // board words in use
    std::array<int32_t, 6> offset{};  // index step of each direction: +x, -x, +y, -y, +z, -z
    std::array<Board, 6> inside{};    // cells whose neighbour in that direction is in the box
    Board even{};                     // cells with x + y + z even
    std::vector<NodeRoles> levels;    // sized once for the deepest path the box allows
};

// True when the box has few enough cells for the bit boards.
bool prune_supported(const Cube& kostka);

// Builds the masks of the box and room for the roles of its deepest path; the rules run `code`.
void prepare_pruner(Pruner& pruner, const Cube& kostka,
                    const PruneCode& code = chosen_prune_code());

// True when no walk can go on from `head` (a cell index: the end of the last segment, laid
// along `last_axis`) through every free cell of the box in straight segments of at least two
// cells, each at a right angle to the one before. False means only that the subtree must be
// searched; the node's roles are then in `levels[level]`. Works from the box's cells alone.
inline bool node_holds_no_filling(Pruner& pruner, int32_t level, const Cube& kostka, int32_t head,
                                  int32_t last_axis, PruneCounters& counters) {
    return pruner.code->node_holds_no_filling(pruner, level, kostka, head, last_axis, counters);
}

// The same answer for the child of the node at `level - 1` (whose roles are kept and whose head
// is `parent_head`) that lays `length` >= 2 cells from the parent's head in direction `dir`,
// found from the parent's roles; the child's roles go to `levels[level]` when it is not cut.
inline bool child_holds_no_filling(Pruner& pruner, int32_t level, int32_t parent_head, int32_t dir,
                                   int32_t length, PruneCounters& counters) {
    return pruner.code->child_holds_no_filling(pruner, level, parent_head, dir, length, counters);
}
