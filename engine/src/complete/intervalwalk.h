#pragma once

// Internal to the complete search: the bottom-up walk over the index's LCP
// intervals, and its two policies, one that counts the pairs of each length
// and one that stores them with their words.

#include "completeindex.h"

#include "engine/repeatlist.h"
#include "engine/searchcontrol.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>
#include <span>
#include <utility>
#include <vector>

namespace tessaron::complete {

// The rotations of one kind within the index: those of its two readings.
// Each carries a class (see below), found from its reading and letter
// before; kNotOfKind marks the rotations of other readings, which the walk
// passes over.
inline constexpr std::uint8_t kNotOfKind = 0xFF;

struct KindLeaves {
    std::span<const std::int32_t> rotation;  // the whole index
    std::span<const std::int32_t> lcp;
    std::span<const std::uint8_t> kindOf;
    std::array<std::uint8_t, kPerReading * kReadings> classOf{};  // by kindOf

    // `side` is the number of classes per reading: 4, or 5 with gaps.
    KindLeaves(const CompleteIndex::Data& data, KindReadings readings, int side)
        : rotation(data.rotation), lcp(data.lcp), kindOf(data.kindOf)
    {
        classOf.fill(kNotOfKind);
        const bool transformed = readings.first != readings.second;
        for (int reading = 0; reading < kReadings; ++reading) {
            for (int before = 0; before < side; ++before) {
                if (reading == readings.first || reading == readings.second) {
                    classOf[static_cast<std::size_t>(reading * kPerReading + before)] =
                        static_cast<std::uint8_t>((transformed && reading == readings.second ? side : 0) +
                                                  before);
                }
            }
        }
    }

    [[nodiscard]] std::uint8_t classAt(std::size_t i) const { return classOf[kindOf[i]]; }
};

// The leaves are grouped by class: which of the kind's readings (0 the first,
// 1 the second) times kSide plus what is before (0..3 a letter, 4 a gap).
// Two leaves form a pair when what is before them differs (a gap differs
// even from a gap) and, for a transformed kind, their readings differ. With
// gaps a letter's class has four partners and a gap's five; the fifth of a
// letter's is a class no leaf is ever in.
template <bool kGaps>
struct Partners {
    static constexpr int kSide = kGaps ? 5 : 4;
    static constexpr int kClasses = kGaps ? 2 * kSide + 1 : 2 * kSide;
    static constexpr int kCount = kGaps ? 5 : 3;
    std::array<std::array<std::uint8_t, kCount>, kClasses> of{};

    explicit Partners(bool transformed)
    {
        for (int c = 0; c < 2 * kSide; ++c) {
            const int side = c / kSide;
            const int before = c % kSide;
            const int otherSide = transformed ? 1 - side : side;
            auto& row = of[static_cast<std::size_t>(c)];
            row.fill(static_cast<std::uint8_t>(kClasses - 1));
            std::size_t k = 0;
            for (int other = 0; other < kSide; ++other) {
                if (other != before || other == kGapBefore) {
                    row[k++] = static_cast<std::uint8_t>(otherSide * kSide + other);
                }
            }
        }
    }
};

// What a pair of rotations of one kind means in the sequence.
class KindView {
public:
    KindView(const CompleteIndex::Data& data, RepeatKind kind)
        : data_(data), readings_(readingsOf(kind, data.present)), n_(data.length)
    {
    }

    [[nodiscard]] bool transformed() const { return readings_.first != readings_.second; }
    // Whether the words come out of the walk in result order: the node's
    // prefix is then the word itself, read forward.
    [[nodiscard]] bool wordsInOrder() const { return readings_.first == kForward; }
    // The start in the sequence of the copy that the rotation at place i of
    // the index reads for `length` letters.
    [[nodiscard]] std::int32_t start(std::size_t i, std::int32_t length) const
    {
        const int reading = data_.kindOf[i] / kPerReading;
        const std::int32_t j = data_.rotation[i] - reading * n_;
        if (reading == kForward || reading == kComplemented) {
            return j;
        }
        const std::int32_t begin = n_ - j - length;  // (N-1-j) - L + 1
        return begin < 0 ? begin + n_ : begin;
    }
    // The pair of the rotations at places x and y that match for `length`
    // letters, first copy first; for a transformed kind the same pair of
    // positions is met again from the other copy, and only the meeting with
    // first < second counts.
    [[nodiscard]] bool pair(std::size_t x, std::size_t y, std::int32_t length, RepeatPair& out) const
    {
        if (transformed() && data_.kindOf[x] / kPerReading != readings_.first) {
            std::swap(x, y);
        }
        std::int32_t a = start(x, length);
        std::int32_t b = start(y, length);
        if (!transformed() && a > b) {
            std::swap(a, b);
        }
        out = RepeatPair{a, b};
        return a < b;
    }
    [[nodiscard]] std::int32_t length() const { return n_; }
    [[nodiscard]] std::int32_t forwardRank(std::int32_t p) const
    {
        return data_.forwardRank[static_cast<std::size_t>(p)];
    }

private:
    const CompleteIndex::Data& data_;
    KindReadings readings_;
    std::int32_t n_;
};

// The walk over the LCP intervals of depth at least m. Lengths below m never
// make a pair, so they all count as m - 1, the depth of the bottom frame,
// whose groups are not kept. Frames of depth N or more (rotations equal all
// the way round) make no pairs either but pass their leaves up.
template <typename Policy>
void walkIntervals(const KindLeaves& leaves, std::int32_t minLength, Policy& policy,
                   const SearchControl& control)
{
    const std::size_t size = leaves.rotation.size();
    std::vector<std::int32_t> depth{minLength - 1};
    policy.open(0);
    // The common prefix of two rotations of the kind is the least over those
    // of the rotations between them.
    std::int32_t previous = -1;
    std::int32_t least = std::numeric_limits<std::int32_t>::max();
    for (std::size_t i = 0; i <= size; ++i) {
        if ((i & 0xFFFF) == 0) {
            checkStop(control);
            control.report(0.5 + 0.45 * static_cast<double>(i) / static_cast<double>(size));
        }
        if (i < size) {
            least = std::min(least, leaves.lcp[i]);
            if (leaves.classAt(i) == kNotOfKind) {
                continue;
            }
            if (previous < 0) {
                previous = static_cast<std::int32_t>(i);
                least = std::numeric_limits<std::int32_t>::max();
                continue;
            }
        } else if (previous < 0) {
            break;
        }
        const std::int32_t h = i < size ? std::max(least, minLength - 1) : minLength - 1;
        const std::int32_t leaf = previous;
        previous = static_cast<std::int32_t>(i);
        least = std::numeric_limits<std::int32_t>::max();
        // The leaf belongs to the deeper of the intervals on its sides.
        if (h <= depth.back()) {
            policy.mergeLeaf(depth.size() - 1, depth.back(), leaf);
        }
        bool framePending = false;
        while (h < depth.back()) {
            const std::size_t top = depth.size() - 1;
            policy.close(top, depth.back());
            depth.pop_back();
            framePending = h > depth.back();
            if (!framePending) {
                policy.mergeFrame(top - 1, depth.back(), top);
            }
        }
        if (h > depth.back()) {
            // A new interval; its first child is the leaf or the frame just
            // closed, whose slot it takes over with its groups.
            const std::size_t slot = depth.size();
            depth.push_back(h);
            if (!framePending) {
                policy.open(slot);
                policy.mergeLeaf(slot, h, leaf);
            }
        }
    }
}

// Counts: per frame the number of leaves of each class; per length the pairs.
template <bool kGaps>
class CountPolicy {
    static constexpr int kClasses = Partners<kGaps>::kClasses;

public:
    // Lengths below `lengths` are counted: past the deepest interval below N.
    CountPolicy(const KindLeaves& leaves, bool transformed, std::int32_t minLength,
                std::int32_t sequenceLength, std::int32_t lengths)
        : leaves_(leaves),
          partners_(transformed),
          minLength_(minLength),
          sequenceLength_(sequenceLength),
          perLength_(static_cast<std::size_t>(lengths), 0)
    {
    }

    void open(std::size_t frame)
    {
        if (frame >= frames_.size()) {
            frames_.resize(frame + 1);
        }
        frames_[frame].fill(0);
    }
    void mergeLeaf(std::size_t frame, std::int32_t depth, std::int32_t leaf)
    {
        if (depth < minLength_) {
            return;
        }
        auto& counts = frames_[frame];
        const std::uint8_t c = leaves_.classAt(static_cast<std::size_t>(leaf));
        if (depth < sequenceLength_) {
            std::int64_t found = 0;
            for (const std::uint8_t partner : partners_.of[c]) {
                found += counts[partner];
            }
            perLength_[static_cast<std::size_t>(depth)] += found;
        }
        ++counts[c];
    }
    void mergeFrame(std::size_t frame, std::int32_t depth, std::size_t child)
    {
        if (depth < minLength_) {
            return;
        }
        auto& counts = frames_[frame];
        const auto& childCounts = frames_[child];
        if (depth < sequenceLength_) {
            std::int64_t found = 0;
            for (std::size_t c = 0; c < kClasses; ++c) {
                if (counts[c] == 0) {
                    continue;
                }
                for (const std::uint8_t partner : partners_.of[c]) {
                    found += counts[c] * childCounts[partner];
                }
            }
            perLength_[static_cast<std::size_t>(depth)] += found;
        }
        for (std::size_t c = 0; c < kClasses; ++c) {
            counts[c] += childCounts[c];
        }
    }
    void close(std::size_t, std::int32_t) {}

    // Pairs of leaves per length; for a transformed kind each pair of
    // positions is counted from both copies, and each palindrome once.
    [[nodiscard]] std::vector<std::int64_t>& perLength() { return perLength_; }

private:
    const KindLeaves& leaves_;
    Partners<kGaps> partners_;
    std::int32_t minLength_;
    std::int32_t sequenceLength_;
    std::vector<std::array<std::int64_t, kClasses>> frames_;
    std::vector<std::int64_t> perLength_;
};

// One word found: its length, the rank of its first copy among the forward
// rotations (which orders the words of one length) and its pairs in the store.
struct FoundWord {
    std::int32_t length = 0;
    std::int32_t rank = 0;
    const RepeatPair* pairs = nullptr;  // in a PairStore
    std::int64_t count = 0;
};

// The pairs of all words, a word's pairs together, in blocks that never move
// once made (no copying as the store grows).
class PairStore {
public:
    const RepeatPair* append(std::span<const RepeatPair> pairs)
    {
        constexpr std::size_t kBlock = std::size_t{1} << 18;
        if (blocks_.empty() || blocks_.back().capacity() - blocks_.back().size() < pairs.size()) {
            blocks_.emplace_back().reserve(std::max(kBlock, pairs.size()));
        }
        auto& block = blocks_.back();
        const RepeatPair* where = block.data() + block.size();
        block.insert(block.end(), pairs.begin(), pairs.end());
        return where;
    }

private:
    std::vector<std::vector<RepeatPair>> blocks_;
};

// Pairs: per frame a chained list of leaves per class and the pairs of the
// frame's word so far; a closed frame hands its pairs, sorted, to the store.
template <bool kGaps>
class PairPolicy {
    static constexpr int kClasses = Partners<kGaps>::kClasses;

public:
    PairPolicy(const KindLeaves& leaves, const KindView& view, std::int32_t minLength, std::int64_t pairLimit,
               const SearchControl& control)
        : leaves_(leaves),
          view_(view),
          partners_(view.transformed()),
          minLength_(minLength),
          pairLimit_(pairLimit),
          control_(control),
          next_(leaves.rotation.size(), -1)
    {
    }

    void open(std::size_t frame)
    {
        if (frame >= frames_.size()) {
            frames_.resize(frame + 1);
        }
        frames_[frame].head.fill(-1);
        frames_[frame].tail.fill(-1);
    }
    void mergeLeaf(std::size_t frame, std::int32_t depth, std::int32_t leaf)
    {
        if (depth < minLength_) {
            return;
        }
        Frame& f = frames_[frame];
        const std::uint8_t c = leaves_.classAt(static_cast<std::size_t>(leaf));
        if (depth < view_.length()) {
            for (const std::uint8_t partner : partners_.of[c]) {
                for (std::int32_t x = f.head[partner]; x >= 0; x = next_[static_cast<std::size_t>(x)]) {
                    emit(f, x, leaf, depth);
                }
            }
        }
        next_[static_cast<std::size_t>(leaf)] = -1;
        append(f, c, leaf, leaf);
    }
    void mergeFrame(std::size_t frame, std::int32_t depth, std::size_t child)
    {
        if (depth < minLength_) {
            return;
        }
        Frame& f = frames_[frame];
        const Frame& g = frames_[child];
        if (depth < view_.length()) {
            // Only groups that meet a group are walked, so the work is that
            // of the pairs.
            for (std::size_t c = 0; c < kClasses; ++c) {
                if (f.head[c] < 0) {
                    continue;
                }
                for (const std::uint8_t partner : partners_.of[c]) {
                    if (g.head[partner] < 0) {
                        continue;
                    }
                    for (std::int32_t x = f.head[c]; x >= 0; x = next_[static_cast<std::size_t>(x)]) {
                        for (std::int32_t y = g.head[partner]; y >= 0;
                             y = next_[static_cast<std::size_t>(y)]) {
                            emit(f, x, y, depth);
                        }
                    }
                }
            }
        }
        for (std::size_t c = 0; c < kClasses; ++c) {
            if (g.head[c] >= 0) {
                append(f, c, g.head[c], g.tail[c]);
            }
        }
    }
    void close(std::size_t frame, std::int32_t depth)
    {
        auto& pairs = frames_[frame].pairs;
        if (pairs.empty()) {
            return;
        }
        std::sort(pairs.begin(), pairs.end(), [](const RepeatPair& a, const RepeatPair& b) {
            return a.first != b.first ? a.first < b.first : a.second < b.second;
        });
        const std::int32_t rank = view_.wordsInOrder() ? 0 : view_.forwardRank(pairs.front().first);
        words_.push_back(
            FoundWord{depth, rank, store_.append(pairs), static_cast<std::int64_t>(pairs.size())});
        pairs.clear();
    }

    [[nodiscard]] PairStore& store() { return store_; }
    [[nodiscard]] std::vector<FoundWord>& words() { return words_; }

private:
    struct Frame {
        std::array<std::int32_t, kClasses> head{};
        std::array<std::int32_t, kClasses> tail{};
        std::vector<RepeatPair> pairs;
    };

    void append(Frame& f, std::size_t c, std::int32_t first, std::int32_t last)
    {
        if (f.head[c] < 0) {
            f.head[c] = first;
        } else {
            next_[static_cast<std::size_t>(f.tail[c])] = first;
        }
        f.tail[c] = last;
    }

    // Leaves x and y (places in the sorted rotations) match for `length`
    // letters and no further on either side.
    void emit(Frame& f, std::int32_t x, std::int32_t y, std::int32_t length)
    {
        RepeatPair pair;
        if (!view_.pair(static_cast<std::size_t>(x), static_cast<std::size_t>(y), length, pair)) {
            return;
        }
        if (++emitted_ > pairLimit_) {
            throw SearchStopped{SearchFailure::PairLimit};
        }
        if ((emitted_ & 0xFFFFF) == 0) {
            checkStop(control_);
        }
        f.pairs.push_back(pair);
    }

    const KindLeaves& leaves_;
    const KindView& view_;
    Partners<kGaps> partners_;
    std::int32_t minLength_;
    std::int64_t pairLimit_;
    const SearchControl& control_;
    std::int64_t emitted_ = 0;
    std::vector<std::int32_t> next_;
    std::vector<Frame> frames_;
    PairStore store_;
    std::vector<FoundWord> words_;
};

}  // namespace tessaron::complete
