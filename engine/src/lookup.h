#pragma once

// Internal to the engine: the result of looking a word up in the index.

#include "engine/genome.h"

namespace tessaron {

// Either a run of the index's leaf starts (the word is a path of the trie) or
// one start (the word left the trie at a leaf and matched that leaf's
// occurrence); not found when `count` is 0.
struct Genome::Lookup {
    const PositionLink* begin = nullptr;  // null for a single start
    std::uint32_t count = 0;
    PositionLink firstStart = 0;  // the first start listed

    [[nodiscard]] bool found() const { return count != 0; }
    [[nodiscard]] PositionLink first() const { return firstStart; }
    [[nodiscard]] std::span<const PositionLink> starts() const
    {
        if (count == 0) {
            return {};
        }
        return begin != nullptr ? std::span<const PositionLink>(begin, count)
                                : std::span<const PositionLink>(&firstStart, 1);
    }
};

}  // namespace tessaron
