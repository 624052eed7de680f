#pragma once

// Internal to the engine: the result of looking a word up in the suffix
// index, and what the searches read of the index.

#include "engine/suffixindex.h"

namespace tessaron {

// Either a run of the index's leaf starts (the word is a path of the trie) or
// one start (the word left the trie at a leaf and matched that leaf's
// occurrence); not found when `count` is 0.
struct SuffixIndex::Lookup {
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

// What the searches and their pair sources read of the index.
struct IndexAccess {
    using Lookup = SuffixIndex::Lookup;

    static const IndexNode& node(const SuffixIndex& index, NodeId id) { return index.nodes_[id]; }
    static std::size_t nodeCount(const SuffixIndex& index) { return index.nodes_.size(); }
    static std::span<const PositionLink> leafRun(const SuffixIndex& index, const IndexNode& node)
    {
        return {index.leafStarts_.data() + node.leafBegin, node.leafEnd - node.leafBegin};
    }
    static Lookup lookup(const SuffixIndex& index, const std::uint8_t* word, int wordLength)
    {
        return index.lookup(word, wordLength);
    }
    static void prefetchLookup(const SuffixIndex& index, const std::uint8_t* word, int wordLength)
    {
        index.prefetchLookup(word, wordLength);
    }
    static std::uint8_t code(const SuffixIndex& index, std::int64_t position) { return index.code(position); }
    static std::int32_t reduce(const SuffixIndex& index, std::int64_t position)
    {
        return index.reduce(position);
    }
    static std::int32_t indexedLength(const SuffixIndex& index) { return index.indexedLength_; }
    static int tableDepth(const SuffixIndex& index) { return index.tableDepth_; }
};

}  // namespace tessaron
