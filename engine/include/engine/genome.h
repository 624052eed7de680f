#pragma once

#include "engine/hugepages.h"
#include "engine/indexnode.h"
#include "engine/repeatlist.h"
#include "engine/searchcontrol.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace tessaron {

// The one circular genome under analysis: its bases, a title line, the repeat
// length settings and the suffix index over the sequence. Positions are
// 0-based; a position past the end reads modulo the length.
//
// A letter other than A, C, G or T (N and the other IUPAC codes) is a gap: it
// keeps its position, upper case, but no word of the index, no repeat and no
// occurrence of a motif contains it.
//
// A load is: allocate, appendText/appendBase, setLengthBounds (readers),
// buildIndex, then the searches.
class Genome {
public:
    static constexpr int kTitleLength = 95;  // longest title kept, in bytes
    // Searches that would hold more pairs than this (1 GiB of pairs) give up
    // as if memory had run out, before the machine starts swapping.
    static constexpr std::int64_t kDefaultPairLimit = std::int64_t{1} << 27;

    Genome() noexcept;
    ~Genome();
    Genome(const Genome&) = delete;
    Genome& operator=(const Genome&) = delete;
    Genome(Genome&&) noexcept;
    Genome& operator=(Genome&&) noexcept;
    // Exchanges everything: sequence, title, settings and index.
    void swap(Genome& other) noexcept;

    // Drops the sequence and index, clamps and stores the settings (minimum at
    // least 3; a maximum not above the minimum becomes minimum + 1) and makes
    // room for `capacity` bases. Returns false, leaving an empty genome, when
    // the memory cannot be had. The title is kept.
    bool allocate(std::int64_t capacity, int minimum, int maximum);
    // Clamps and stores the settings, forgets the sequence (keeping the buffer)
    // and drops the index.
    void resetSettings(int minimum, int maximum);
    // Appends the bases of a NUL-terminated text until `capacity` is reached.
    // A byte 0xFF ends the text like a NUL does.
    void appendText(const char* text);
    // Appends one character if it is an ASCII letter (either case; a letter
    // other than A, C, G, T is kept as a gap); anything else is skipped.
    // False only for an end-of-text value (0 or -1).
    bool appendBase(int ch);
    // Stores minLength = minimum and lengthBound = maximum + 1 as given.
    void setLengthBounds(int minimum, int maximum);
    // Keeps at most kTitleLength bytes, never splitting a UTF-8 character.
    void setTitle(std::string_view title);

    void clearIndex();
    // Builds the index for the current sequence and settings. Returns false,
    // leaving the index empty, when memory runs out.
    bool buildIndex();
    // The same, stoppable and reporting its progress: nullopt once built;
    // otherwise OutOfMemory or Cancelled, and no index is left.
    [[nodiscard]] std::optional<SearchFailure> buildIndex(const SearchControl& control);
    // Threads that build the index: 0 (the default) uses up to two for large
    // genomes; the index is the same however many build it.
    void setBuildThreads(int threads) { buildThreads_ = threads; }

    // The root's child count for a letter: how often it occurs, or 0 if at
    // most once (with gaps it may miss the last occurrence of a letter that
    // only ever precedes a gap; letterCount is the composition).
    [[nodiscard]] int baseCount(char letter) const;
    // How often A, C, G or T occurs in the sequence (0 for any other letter);
    // kept as the sequence grows, so it costs nothing to ask.
    [[nodiscard]] std::int64_t letterCount(char letter) const;
    // Whether the letter at a position (read circularly) is a gap.
    [[nodiscard]] bool isGap(std::int64_t position) const;
    [[nodiscard]] std::int64_t gapCount() const { return static_cast<std::int64_t>(gaps_.size()); }
    // The positions of the gaps, ascending.
    [[nodiscard]] std::span<const std::int32_t> gaps() const { return gaps_; }
    // Starts of the occurrences of a word of A, T, C, G as the index lists
    // them (ordered by the letters that follow); empty when not found.
    [[nodiscard]] PositionList findWord(std::string_view word) const;

    // The searches need buildIndex since the last change. They return null
    // only when memory runs out (or the pair limit is passed).
    [[nodiscard]] std::unique_ptr<RepeatList> findDirectRepeats() const;
    // Inverted, Mirror or Complementary; null for Direct.
    [[nodiscard]] std::unique_ptr<RepeatList> findRepeats(RepeatKind kind) const;
    // Any of the four searches with every pair stored, telling why it gave
    // up: OutOfMemory, PairLimit (more pairs than pairLimit()) or Cancelled.
    [[nodiscard]] std::variant<std::unique_ptr<RepeatList>, SearchFailure> searchList(
        RepeatKind kind, const SearchControl& control = {}) const;

    // Replaces the sequence with a random arrangement of exactly a A's, t T's,
    // c C's and g G's. With no seed the generator is seeded with the time in
    // seconds. Refuses (false, genome unchanged) negative counts or a total
    // beyond the 32-bit range; false also when memory runs out.
    bool makeRandom(std::int64_t a, std::int64_t t, std::int64_t c, std::int64_t g, int minimum, int maximum,
                    std::optional<std::uint32_t> seed = std::nullopt);
    // A random control for `model`: its letters A, T, C, G rearranged at
    // random (exactly its composition) with its gaps kept in place, the same
    // letters at the same positions; the model's length settings. Without gaps
    // this is makeRandom with the model's counts and the seed. False when
    // memory runs out (genome left empty); `model` must not be this genome.
    bool makeRandomLike(const Genome& model, std::uint32_t seed);

    [[nodiscard]] int length() const { return static_cast<int>(sequence_.size()); }
    [[nodiscard]] int capacity() const { return capacity_; }
    [[nodiscard]] int minLength() const { return minLength_; }
    [[nodiscard]] int lengthBound() const { return lengthBound_; }
    [[nodiscard]] int maxLength() const { return lengthBound_ - 1; }
    [[nodiscard]] int recordDepth() const { return recordDepth_; }
    [[nodiscard]] std::string_view sequence() const { return sequence_; }
    // NUL-terminated bases.
    [[nodiscard]] const char* c_str() const { return sequence_.c_str(); }
    [[nodiscard]] const std::string& title() const { return title_; }
    // The base at a position read circularly; any integer position.
    [[nodiscard]] char at(std::int64_t position) const;
    // `count` letters from `start`, read circularly.
    [[nodiscard]] std::string word(std::int64_t start, int count) const;

    // Read access to the index for views and tests.
    // Whether the index describes the current sequence (false when it is empty).
    [[nodiscard]] bool isIndexed() const { return indexed_; }
    // The root of the index: the empty word; a childless node when there is no index.
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

    void setPairLimit(std::int64_t limit) { pairLimit_ = limit; }
    [[nodiscard]] std::int64_t pairLimit() const { return pairLimit_; }

private:
    struct Lookup;
    friend struct IndexAccess;
    friend class IndexBuilder;

    // Lookup of a word given as letter indices (0..3).
    [[nodiscard]] Lookup lookup(const std::uint8_t* word, int wordLength) const;
    // Asks the memory for the table entry a lookup of the word starts from.
    void prefetchLookup(const std::uint8_t* word, int wordLength) const;
    // Ends a lookup whose first `matched` letters led to `node`.
    [[nodiscard]] Lookup finishLookup(NodeId node, int matched, const std::uint8_t* word,
                                      int wordLength) const;
    // `position` reduced into 0 .. length-1 of the indexed sequence.
    [[nodiscard]] std::int32_t reduce(std::int64_t position) const;
    // Letter index at a circular position within the window the index reads;
    // 4 for a gap.
    [[nodiscard]] std::uint8_t code(std::int64_t position) const
    {
        return circular_[static_cast<std::size_t>(position + circularOffset_)];
    }
    void prepareLookupTable();
    void dropIndexIfBuilt()
    {
        if (indexed_) {
            clearIndex();
        }
    }

    std::string sequence_;
    std::array<std::int64_t, 4> letterCounts_{};  // A, T, C, G
    std::vector<std::int32_t> gaps_;              // ascending
    int capacity_ = 0;
    int minLength_ = 3;
    int lengthBound_ = 5;
    int recordDepth_ = 2;
    std::string title_;
    std::int64_t pairLimit_ = kDefaultPairLimit;
    int buildThreads_ = 0;

    // The index, valid for the sequence as it was at buildIndex: every change
    // of the sequence drops it, so it never describes other bases.
    bool indexed_ = false;
    std::int32_t indexedLength_ = 0;
    // The sequence as letter indices, repeated circularly on both sides far
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

}  // namespace tessaron
