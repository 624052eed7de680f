// The four repeat searches over a built index.
//
// Direct repeats come from the position lists alone. The transformed kinds
// (inverted, mirror, complementary) walk the trie with the current word x and
// look up x and its transformed word t(x) for every node whose parent the walk
// reaches.
//
// Each walk hands what it finds to a sink: one that only counts pairs (by
// formula, never enumerating them), one that keeps the words with their pair
// counts, or one that stores every pair in a RepeatList. The pairs of a kept
// word are made again on demand by the snapshot's source, through the same
// code that the storing sink uses, so their order is the search's order.
//
// The pairs of one node or word are made in nodepairs.h, the walks are in
// triewalk.h; this file holds the sinks, the snapshot's sources and the
// entry points.

#include "engine/alphabet.h"
#include "engine/repeatsnapshot.h"
#include "engine/suffixindex.h"
#include "lookup.h"
#include "nodepairs.h"
#include "triewalk.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace tessaron {

namespace {

using trie::DirectPairs;
using trie::DirectPairsOf;
using trie::kAll;
using trie::TransformedPairs;
using trie::transformWord;
using trie::walk;
using trie::walkInParts;

// ---------------------------------------------------------------------------
// Sinks.

// Pairs per length slot, counted without making them.
class CountSink {
public:
    CountSink(const SuffixIndex& index, int slots)
        : index_(index), counts_(static_cast<std::size_t>(slots), 0)
    {
    }

    template <bool kGaps>
    void direct(NodeId, std::span<const PositionLink> ends, int depth, bool atMaximum)
    {
        auto& pairs = direct_.get<kGaps>();
        pairs.load(index_, ends, depth);
        counts_[slotOf(depth)] += pairs.count(atMaximum);
    }

    void transformed(NodeId, int length, const IndexAccess::Lookup& word, const IndexAccess::Lookup& other)
    {
        counts_[slotOf(length)] += transformed_.count(word.starts(), other.starts(), length);
    }

    std::vector<std::int64_t> takeCounts() { return std::move(counts_); }

private:
    [[nodiscard]] std::size_t slotOf(int length) const
    {
        return static_cast<std::size_t>(length - index_.minLength());
    }

    const SuffixIndex& index_;
    std::vector<std::int64_t> counts_;
    DirectPairs direct_;
    TransformedPairs transformed_;
};

// The repeated words of each slot in result order, with their pair counts;
// the handle is the word's node.
class WordSink {
public:
    WordSink(const SuffixIndex& index, int slots)
        : index_(index), counts_(static_cast<std::size_t>(slots), 0), words_(static_cast<std::size_t>(slots))
    {
    }

    template <bool kGaps>
    void direct(NodeId node, std::span<const PositionLink> ends, int depth, bool atMaximum)
    {
        auto& maker = direct_.get<kGaps>();
        maker.load(index_, ends, depth);
        const std::int64_t pairs = maker.count(atMaximum);
        if (pairs > 0) {
            add(depth, RepeatWord{maker.firstStart(atMaximum), node, pairs});
        }
    }

    void transformed(NodeId node, int length, const IndexAccess::Lookup& word,
                     const IndexAccess::Lookup& other)
    {
        const std::int64_t pairs = transformed_.count(word.starts(), other.starts(), length);
        if (pairs > 0) {
            add(length, RepeatWord{word.first(), node, pairs});
        }
    }

    // The words of all parts slot after slot (each slot's parts in order),
    // their pair counts per slot, and where each slot begins (one entry more
    // than there are slots).
    static void merge(std::vector<WordSink>& parts, int slots, std::vector<std::int64_t>& counts,
                      std::vector<RepeatWord>& words, std::vector<std::size_t>& begins)
    {
        const auto slotCount = static_cast<std::size_t>(slots);
        counts.assign(slotCount, 0);
        std::size_t total = 0;
        for (const WordSink& part : parts) {
            for (const auto& slot : part.words_) {
                total += slot.size();
            }
        }
        words.clear();
        words.reserve(total);
        begins.clear();
        for (std::size_t slot = 0; slot < slotCount; ++slot) {
            begins.push_back(words.size());
            for (WordSink& part : parts) {
                counts[slot] += part.counts_[slot];
                words.insert(words.end(), part.words_[slot].begin(), part.words_[slot].end());
                std::vector<RepeatWord>().swap(part.words_[slot]);
            }
        }
        begins.push_back(words.size());
    }

private:
    void add(int length, const RepeatWord& word)
    {
        const auto slot = static_cast<std::size_t>(length - index_.minLength());
        counts_[slot] += word.pairCount;
        words_[slot].push_back(word);
    }

    const SuffixIndex& index_;
    std::vector<std::int64_t> counts_;
    std::vector<std::vector<RepeatWord>> words_;
    DirectPairs direct_;
    TransformedPairs transformed_;
};

// Every pair, stored in a RepeatList, up to the index's pair limit.
class ListSink {
public:
    ListSink(const SuffixIndex& index, RepeatList& list)
        : index_(index),
          list_(list),
          cap_(std::min<std::int64_t>(index.genome().pairLimit(), std::numeric_limits<std::int32_t>::max()))
    {
    }

    template <bool kGaps>
    void direct(NodeId, std::span<const PositionLink> ends, int depth, bool atMaximum)
    {
        auto& maker = direct_.get<kGaps>();
        maker.load(index_, ends, depth);
        list_.beginRepeat();
        maker.emit(atMaximum, 0, kAll,
                   [this](std::int32_t first, std::int32_t second) { add(first, second); });
        list_.endRepeat(depth, false);
    }

    void transformed(NodeId, int length, const IndexAccess::Lookup& word, const IndexAccess::Lookup& other)
    {
        list_.beginRepeat();
        transformed_.emit(word.starts(), other.starts(), length, 0, kAll,
                          [this](std::int32_t first, std::int32_t second) { add(first, second); });
        list_.endRepeat(length, true);
    }

private:
    void add(std::int32_t first, std::int32_t second)
    {
        if (static_cast<std::int64_t>(list_.storedPairs()) >= cap_) {
            throw SearchStopped{SearchFailure::PairLimit};
        }
        list_.addPair(first, second);
    }

    const SuffixIndex& index_;
    RepeatList& list_;
    std::int64_t cap_;
    DirectPairs direct_;
    TransformedPairs transformed_;
};

// ---------------------------------------------------------------------------
// Pairs on demand for a snapshot's words.

class DirectSource final : public RepeatSnapshot::Source {
public:
    explicit DirectSource(std::shared_ptr<const SuffixIndex> index)
        : kept_(std::move(index)),
          index_(*kept_),
          minLength_(index_.minLength()),
          maxLength_(index_.maxLength())
    {
    }

    void pairs(int slot, const RepeatWord& word, std::int64_t from, std::int64_t count,
               std::vector<RepeatPair>& out) const override
    {
        if (index_.genome().gapCount() > 0) {
            make<true>(slot, word, from, count, out);
        } else {
            make<false>(slot, word, from, count, out);
        }
    }

private:
    template <bool kGaps>
    void make(int slot, const RepeatWord& word, std::int64_t from, std::int64_t count,
              std::vector<RepeatPair>& out) const
    {
        const int depth = minLength_ + slot;
        DirectPairsOf<kGaps> pairs;
        pairs.load(index_, index_.positions(word.handle), depth);
        pairs.emit(depth == maxLength_, from, count, [&out](std::int32_t first, std::int32_t second) {
            out.push_back({first, second});
        });
    }

    std::shared_ptr<const SuffixIndex> kept_;
    const SuffixIndex& index_;
    int minLength_;
    int maxLength_;
};

class TransformedSource final : public RepeatSnapshot::Source {
public:
    TransformedSource(std::shared_ptr<const SuffixIndex> index, RepeatKind kind)
        : kept_(std::move(index)), index_(*kept_), kind_(kind), minLength_(index_.minLength())
    {
    }

    void pairs(int slot, const RepeatWord& word, std::int64_t from, std::int64_t count,
               std::vector<RepeatPair>& out) const override
    {
        const int length = minLength_ + slot;
        std::vector<std::uint8_t> letters(static_cast<std::size_t>(length));
        for (int i = 0; i < length; ++i) {
            letters[static_cast<std::size_t>(i)] = IndexAccess::code(index_, std::int64_t{word.first} + i);
        }
        std::vector<std::uint8_t> other(letters.size());
        transformWord(kind_, letters, other.data());
        const IndexAccess::Lookup seconds = IndexAccess::lookup(index_, other.data(), length);
        const auto firsts = IndexAccess::leafRun(index_, IndexAccess::node(index_, word.handle));
        TransformedPairs pairs;
        pairs.emit(firsts, seconds.starts(), length, from, count,
                   [&out](std::int32_t first, std::int32_t second) {
                       out.push_back({first, second});
                   });
    }

private:
    std::shared_ptr<const SuffixIndex> kept_;
    const SuffixIndex& index_;
    RepeatKind kind_;
    int minLength_;
};

}  // namespace

std::variant<std::unique_ptr<RepeatList>, SearchFailure> SuffixIndex::searchList(
    RepeatKind kind, const SearchControl& control) const
{
    return runStep(control, [&]() -> std::variant<std::unique_ptr<RepeatList>, SearchFailure> {
        const int minLength = genome_->minLength();
        auto list = std::make_unique<RepeatList>(minLength, std::max(genome_->lengthBound() - minLength, 0));
        ListSink sink(*this, *list);
        walk(*this, kind, sink, &control);
        control.report(1.0);
        return list;
    });
}

std::unique_ptr<RepeatList> SuffixIndex::findDirectRepeats() const
{
    auto result = searchList(RepeatKind::Direct);
    auto* list = std::get_if<std::unique_ptr<RepeatList>>(&result);
    return list != nullptr ? std::move(*list) : nullptr;
}

std::unique_ptr<RepeatList> SuffixIndex::findRepeats(RepeatKind kind) const
{
    if (kind == RepeatKind::Direct) {
        return nullptr;
    }
    auto result = searchList(kind);
    auto* list = std::get_if<std::unique_ptr<RepeatList>>(&result);
    return list != nullptr ? std::move(*list) : nullptr;
}

SnapshotResult searchRepeats(std::shared_ptr<const SuffixIndex> index, RepeatKind kind, SnapshotDetail detail,
                             const SearchControl& control)
{
    return runStep(control, [&]() -> SnapshotResult {
        const SuffixIndex& indexed = *index;
        const int minLength = indexed.minLength();
        const int slots = std::max(indexed.lengthBound() - minLength, 0);
        std::vector<std::int64_t> counts;
        std::vector<RepeatWord> words;
        std::vector<std::size_t> begins;
        std::unique_ptr<const RepeatSnapshot::Source> source;
        if (detail == SnapshotDetail::Counts) {
            auto sinks =
                walkInParts<CountSink>(indexed, kind, &control, [&] { return CountSink(indexed, slots); });
            counts.assign(static_cast<std::size_t>(slots), 0);
            for (CountSink& sink : sinks) {
                const auto part = sink.takeCounts();
                for (std::size_t slot = 0; slot < counts.size(); ++slot) {
                    counts[slot] += part[slot];
                }
            }
        } else {
            auto sinks =
                walkInParts<WordSink>(indexed, kind, &control, [&] { return WordSink(indexed, slots); });
            WordSink::merge(sinks, slots, counts, words, begins);
            if (kind == RepeatKind::Direct) {
                source = std::make_unique<DirectSource>(index);
            } else {
                source = std::make_unique<TransformedSource>(index, kind);
            }
        }
        control.report(1.0);
        return std::make_shared<const RepeatSnapshot>(indexed.sharedGenome(), kind, minLength,
                                                      std::move(counts), std::move(words), std::move(begins),
                                                      std::move(source));
    });
}

}  // namespace tessaron