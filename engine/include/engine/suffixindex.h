#pragma once

#include "engine/genome.h"
#include "engine/hugepages.h"
#include "engine/indexnode.h"
#include "engine/repeatlist.h"
#include "engine/searchcontrol.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <variant>

namespace tessaron {

// The depth-limited circular suffix trie of a genome, as its length settings
// were when it was built: the index the trie searches and the motif search
// read. Immutable once built and shareable between threads; it keeps its
// genome alive. A genome of no letter (empty, or gaps only) has an empty index.
class SuffixIndex {
public:
    ~SuffixIndex();
    SuffixIndex(const SuffixIndex&) = delete;
    SuffixIndex& operator=(const SuffixIndex&) = delete;

    [[nodiscard]] const Genome& genome() const { return *genome_; }
    [[nodiscard]] const std::shared_ptr<const Genome>& sharedGenome() const { return genome_; }
    // Whether the index holds no word (a genome without letters).
    [[nodiscard]] bool empty() const { return nodes_.empty(); }
    // The genome's length settings when the index was built.
    [[nodiscard]] int minLength() const { return minLength_; }
    [[nodiscard]] int lengthBound() const { return lengthBound_; }
    [[nodiscard]] int maxLength() const { return lengthBound_ - 1; }
    // Words longer than this keep the lists of their recorded ends.
    [[nodiscard]] int recordDepth() const { return recordDepth_; }

    // The root of the index: the empty word; a childless node when it is empty.
    [[nodiscard]] const IndexNode& root() const;
    [[nodiscard]] const IndexNode& node(NodeId id) const { return nodes_[id]; }
    [[nodiscard]] std::size_t nodeCount() const { return nodes_.size(); }
    // The recorded ends of a node of this index (empty for any other node).
    [[nodiscard]] std::span<const PositionLink> positions(const IndexNode& node) const;
    [[nodiscard]] std::span<const PositionLink> positions(NodeId id) const
    {
        const std::uint32_t end = id + 1 < nodes_.size() ? nodes_[id + 1].positionsBegin
                                                         : static_cast<std::uint32_t>(positions_.size());
        return {positions_.data() + nodes_[id].positionsBegin, end - nodes_[id].positionsBegin};
    }
    [[nodiscard]] std::span<const PositionLink> leafStarts(const IndexNode& node) const
    {
        return {leafStarts_.data() + node.leafBegin, node.leafEnd - node.leafBegin};
    }

    // The root's child count for a letter: how often it occurs, or 0 if at
    // most once (with gaps it may miss the last occurrence of a letter that
    // only ever precedes a gap; Genome::letterCount is the composition).
    [[nodiscard]] int baseCount(char letter) const;
    // Starts of the occurrences of a word of A, T, C, G as the index lists
    // them (ordered by the letters that follow); empty when not found.
    [[nodiscard]] PositionList findWord(std::string_view word) const;

    // The described searches with every pair stored. They return null only
    // when memory runs out (or the genome's pair limit is passed).
    [[nodiscard]] std::unique_ptr<RepeatList> findDirectRepeats() const;
    // Inverted, Mirror or Complementary; null for Direct.
    [[nodiscard]] std::unique_ptr<RepeatList> findRepeats(RepeatKind kind) const;
    // Any of the four, telling why it gave up: OutOfMemory, PairLimit (more
    // pairs than the genome's pair limit) or Cancelled.
    [[nodiscard]] std::variant<std::unique_ptr<RepeatList>, SearchFailure> searchList(
        RepeatKind kind, const SearchControl& control = {}) const;

private:
    struct Lookup;
    friend struct IndexAccess;
    friend class IndexBuilder;
    friend std::variant<std::shared_ptr<const SuffixIndex>, SearchFailure> buildIndex(
        std::shared_ptr<const Genome> genome, const SearchControl& control, int threads);

    explicit SuffixIndex(std::shared_ptr<const Genome> genome);

    // Lookup of a word given as letter codes (0..3).
    [[nodiscard]] Lookup lookup(const std::uint8_t* word, int wordLength) const;
    // Asks the memory for the table entry a lookup of the word starts from.
    void prefetchLookup(const std::uint8_t* word, int wordLength) const;
    // Ends a lookup whose first `matched` letters led to `node`.
    [[nodiscard]] Lookup finishLookup(NodeId node, int matched, const std::uint8_t* word,
                                      int wordLength) const;
    // `position` reduced into 0 .. length-1 of the indexed sequence.
    [[nodiscard]] std::int32_t reduce(std::int64_t position) const;
    // Letter code at a circular position within the window the index reads;
    // kGapCode for a gap.
    [[nodiscard]] std::uint8_t code(std::int64_t position) const
    {
        return circular_[static_cast<std::size_t>(position + circularOffset_)];
    }
    void prepareLookupTable();

    std::shared_ptr<const Genome> genome_;
    int minLength_ = 3;
    int lengthBound_ = 5;
    int recordDepth_ = 2;
    std::int32_t indexedLength_ = 0;
    // The sequence as letter codes, repeated circularly on both sides far
    // enough for every read the index and the searches make.
    HugeVector<std::uint8_t> circular_;
    std::int64_t circularOffset_ = 0;
    HugeVector<IndexNode> nodes_;          // in pre-order, children in A, T, C, G order
    HugeVector<PositionLink> positions_;   // recorded ends, grouped per node
    HugeVector<PositionLink> leafStarts_;  // starts of the leaves, in A, T, C, G order
    // Shortcut into the trie for words of up to `tableDepth_` letters (and the
    // first `tableDepth_` letters of longer ones): per word length L, indexed by
    // the word as a base-4 number. Level L starts at (4^L - 1) / 3. An entry
    // holds what a lookup needs in one cache line: for a word that is a path,
    // its node, leaf run and first start; otherwise the deepest node on its
    // path and that node's depth.
    struct TableEntry {
        NodeId node = kRootNode;
        std::uint32_t leafBegin = 0;
        std::uint32_t leafEnd = 0;      // equal to leafBegin when the path ends above
        std::int32_t firstOrDepth = 0;  // first start, or the depth reached
    };
    int tableDepth_ = 0;
    HugeVector<TableEntry> table_;
};

using SuffixIndexResult = std::variant<std::shared_ptr<const SuffixIndex>, SearchFailure>;

// Builds the index of a genome under its current length settings, stoppable
// and reporting its progress; fails with OutOfMemory or Cancelled. `threads`
// build it: 0 uses up to two for large genomes; the index is the same
// however many build it.
[[nodiscard]] SuffixIndexResult buildIndex(std::shared_ptr<const Genome> genome,
                                           const SearchControl& control = {}, int threads = 0);

}  // namespace tessaron
