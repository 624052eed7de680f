#pragma once

#include "engine/alphabet.h"

#include <array>
#include <cstdint>
#include <vector>

namespace tessaron {

// Index of a node in the suffix index's node array. The root is node 0 and is never
// anyone's child, so 0 doubles as "no child".
using NodeId = std::uint32_t;
inline constexpr NodeId kNoNode = 0;
inline constexpr NodeId kRootNode = 0;

// One position in the sequence. Word lookups return start positions; the
// index records end positions. Lists are contiguous runs of them.
using PositionLink = std::int32_t;
using PositionList = std::vector<PositionLink>;

// Node of the depth-limited circular suffix trie. The word of a node is the
// path of letters from the root; its depth is that word's length.
struct IndexNode {
    // End (reduced modulo the length) of the first occurrence of the word, the
    // one that created the node; 0 for the root.
    std::int32_t position = 0;
    // Occurrences that start after the end of the first one, counting the
    // first once a second has been seen; 0 while the word is seen once.
    std::int32_t count = 0;
    std::array<NodeId, 4> children{};  // A, T, C, G; kNoNode where absent
    // Where the node's recorded end positions that survived pruning begin:
    // the first occurrence's (reduced), then later non-overlapping ones
    // (unreduced). The list ends where the next node's begins, the lists
    // lying in node order (SuffixIndex::positions).
    std::uint32_t positionsBegin = 0;
    // The starts that a lookup of this word lists: one per leaf below (or the
    // node itself when it is a leaf), in A, T, C, G order of what follows.
    std::uint32_t leafBegin = 0;
    std::uint32_t leafEnd = 0;

    [[nodiscard]] bool isLeaf() const { return (children[0] | children[1] | children[2] | children[3]) == 0; }
};

}  // namespace tessaron
