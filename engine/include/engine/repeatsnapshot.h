#pragma once

#include "engine/genome.h"
#include "engine/repeatlist.h"
#include "engine/searchcontrol.h"
#include "engine/suffixindex.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <stop_token>
#include <variant>
#include <vector>

namespace tessaron {

// One repeated word of one length: where the word is read and how many pairs
// it has. Its pairs are made only when asked for (RepeatSnapshot::pairs).
struct RepeatWord {
    std::int32_t first = 0;      // start of the first copy of its first pair; the word is read from here
    std::uint32_t handle = 0;    // the search's own way back to the pairs
    std::int64_t pairCount = 0;  // at least 1
};

// What a search keeps: the counts alone (summary, comparison) or the words too.
enum class SnapshotDetail { Counts, Words };

// The immutable result of one search, shareable between threads: per length
// slot the number of pairs and (with SnapshotDetail::Words) the repeated words
// in result order, each with its number of pairs. The pairs themselves are
// made on demand, in exactly the order the search defines. Slot j holds the
// words of length minLength() + j. It keeps the genome and the index its
// pairs are made from alive.
class RepeatSnapshot {
public:
    // Makes the pairs of one word of a slot; the search that made the
    // snapshot provides it.
    class Source {
    public:
        virtual ~Source() = default;
        // Appends to `out` the pairs [from, from + count) of the word, in order.
        virtual void pairs(int slot, const RepeatWord& word, std::int64_t from, std::int64_t count,
                           std::vector<RepeatPair>& out) const = 0;
    };

    RepeatSnapshot(std::shared_ptr<const Genome> genome, RepeatKind kind, int minLength,
                   std::vector<std::int64_t> pairCounts, std::vector<RepeatWord> words,
                   std::vector<std::size_t> slotBegins, std::unique_ptr<const Source> source);

    [[nodiscard]] RepeatKind kind() const { return kind_; }
    [[nodiscard]] bool transformed() const { return kind_ != RepeatKind::Direct; }
    [[nodiscard]] int minLength() const { return minLength_; }
    [[nodiscard]] int slotCount() const { return static_cast<int>(pairCounts_.size()); }
    [[nodiscard]] std::int64_t total() const { return total_; }
    [[nodiscard]] std::int64_t pairCount(int slot) const
    {
        return pairCounts_[static_cast<std::size_t>(slot)];
    }
    [[nodiscard]] const std::vector<std::int64_t>& pairCounts() const { return pairCounts_; }
    // Whether the words were kept (SnapshotDetail::Words).
    [[nodiscard]] bool hasWords() const { return !slotBegins_.empty(); }
    // The words of a slot in result order; empty for a counts-only snapshot.
    [[nodiscard]] std::span<const RepeatWord> words(int slot) const;
    // Pairs [from, from + count) of a word of `slot` (count < 0: to the end).
    [[nodiscard]] std::vector<RepeatPair> pairs(int slot, const RepeatWord& word, std::int64_t from = 0,
                                                std::int64_t count = -1) const;
    // Every pair of a word, handed over in batches, in order.
    void forEachPairBatch(int slot, const RepeatWord& word,
                          const std::function<void(std::span<const RepeatPair>)>& visit) const;

    [[nodiscard]] const Genome& genome() const { return *genome_; }
    [[nodiscard]] const std::shared_ptr<const Genome>& sharedGenome() const { return genome_; }

private:
    std::shared_ptr<const Genome> genome_;
    RepeatKind kind_;
    int minLength_;
    std::int64_t total_ = 0;
    std::vector<std::int64_t> pairCounts_;
    std::vector<RepeatWord> words_;
    std::vector<std::size_t> slotBegins_;  // slotCount() + 1 entries with words, else none
    std::unique_ptr<const Source> source_;
};

using SnapshotResult = std::variant<std::shared_ptr<const RepeatSnapshot>, SearchFailure>;

// Runs one search (the described searches of the four kinds) over a suffix
// index. The counts and every pair, in order, are those of findDirectRepeats
// and findRepeats; no pair limit applies, since no pair is stored.
[[nodiscard]] SnapshotResult searchRepeats(std::shared_ptr<const SuffixIndex> index, RepeatKind kind,
                                           SnapshotDetail detail = SnapshotDetail::Words,
                                           const SearchControl& control = {});

// Every pair of a snapshot with words, stored as the described list (tests and
// small genomes). Fails with PairLimit past the genome's pair limit.
[[nodiscard]] std::variant<std::unique_ptr<RepeatList>, SearchFailure> materialize(
    const RepeatSnapshot& snapshot);

}  // namespace tessaron
