#pragma once

// Internal to the engine: the result of looking a word up in the index.

#include "engine/genome.h"

namespace tessaron {

// The code of a gap among the letter indices the index reads (0..3).
inline constexpr std::uint8_t kGapCode = 4;

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

namespace tessaron {

// What the searches and their pair sources read of the index.
struct IndexAccess {
    using Lookup = Genome::Lookup;

    static const IndexNode& node(const Genome& genome, NodeId id) { return genome.nodes_[id]; }
    static std::size_t nodeCount(const Genome& genome) { return genome.nodes_.size(); }
    static std::span<const PositionLink> leafRun(const Genome& genome, const IndexNode& node)
    {
        return {genome.leafStarts_.data() + node.leafBegin, node.leafEnd - node.leafBegin};
    }
    static Genome::Lookup lookup(const Genome& genome, const std::uint8_t* word, int wordLength)
    {
        return genome.lookup(word, wordLength);
    }
    static void prefetchLookup(const Genome& genome, const std::uint8_t* word, int wordLength)
    {
        genome.prefetchLookup(word, wordLength);
    }
    static std::uint8_t code(const Genome& genome, std::int64_t position) { return genome.code(position); }
    static std::int32_t reduce(const Genome& genome, std::int64_t position)
    {
        return genome.reduce(position);
    }
    static std::int32_t indexedLength(const Genome& genome) { return genome.indexedLength_; }
    static int tableDepth(const Genome& genome) { return genome.tableDepth_; }
};

}  // namespace tessaron
