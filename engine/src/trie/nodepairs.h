#pragma once

// Internal to the trie search: the pairs of one node of the index (direct
// repeats) and of one word with its transformed word (the other kinds), and
// the pacing of the walks that find them.

#include "engine/alphabet.h"
#include "engine/repeatkinds.h"
#include "engine/searchcontrol.h"
#include "engine/suffixindex.h"
#include "lookup.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

namespace tessaron::trie {

inline constexpr std::int64_t kAll = std::numeric_limits<std::int64_t>::max();

inline std::int64_t pairsAmong(std::int64_t k)
{
    return k * (k - 1) / 2;
}

// Checks the stop request and reports progress every few thousand nodes. The
// walks visit nodes in id order (pre-order), so the id is how far they are.
// Of several threads walking parts of the index only one reports, and each
// stops when another has failed.
class Pacer {
public:
    Pacer(const SearchControl* control, std::size_t nodeCount, bool reporter = true,
          const std::atomic<bool>* abandoned = nullptr)
        : control_(control), nodeCount_(nodeCount), reporter_(reporter), abandoned_(abandoned)
    {
    }

    void visit(NodeId node)
    {
        if (++ticks_ % kEvery != 0) {
            return;
        }
        if ((abandoned_ != nullptr && abandoned_->load(std::memory_order_relaxed)) ||
            (control_ != nullptr && control_->stopRequested())) {
            throw SearchStopped{SearchFailure::Cancelled};
        }
        if (reporter_ && control_ != nullptr) {
            control_->report(nodeCount_ == 0 ? 0.0
                                             : static_cast<double>(node) / static_cast<double>(nodeCount_));
        }
    }

private:
    static constexpr std::uint32_t kEvery = 4096;
    const SearchControl* control_;
    std::size_t nodeCount_;
    bool reporter_;
    const std::atomic<bool>* abandoned_;
    std::uint32_t ticks_ = 0;
};

// ---------------------------------------------------------------------------
// Direct pairs of one node: every pair of its recorded occurrences at the
// maximum length; below it only the pairs that cannot be extended on either
// side (the letters before differ and the letters after differ). A gap
// differs from every letter and from every other gap: nothing extends over
// it. With kGaps false the sequence has none.

template <bool kGaps>
class DirectPairsOf {
public:
    void load(const SuffixIndex& index, std::span<const PositionLink> ends, int depth)
    {
        const std::size_t k = ends.size();
        kinds_.resize(k);
        starts_.resize(k);
        for (std::size_t i = 0; i < k; ++i) {
            // The letters before and after the occurrence, as one number.
            kinds_[i] =
                static_cast<std::uint8_t>(IndexAccess::code(index, std::int64_t{ends[i]} - depth) * kSide +
                                          IndexAccess::code(index, std::int64_t{ends[i]} + 1));
            starts_[i] = IndexAccess::reduce(index, std::int64_t{ends[i]} - depth + 1);
        }
    }

    // All pairs less those with the same letter before, less those with the
    // same letter after, plus those with both the same (counted twice).
    [[nodiscard]] std::int64_t count(bool atMaximum) const
    {
        const auto k = static_cast<std::int64_t>(kinds_.size());
        if (atMaximum) {
            return pairsAmong(k);
        }
        std::array<std::int64_t, kKinds> both{};
        for (const std::uint8_t kind : kinds_) {
            ++both[kind];
        }
        std::int64_t pairs = pairsAmong(k);
        for (std::size_t letter = 0; letter < kLetters; ++letter) {
            std::int64_t sameBefore = 0;
            std::int64_t sameAfter = 0;
            for (std::size_t other = 0; other < kSide; ++other) {
                sameBefore += both[letter * kSide + other];
                sameAfter += both[other * kSide + letter];
            }
            pairs -= pairsAmong(sameBefore) + pairsAmong(sameAfter);
        }
        for (std::size_t kind = 0; kind < kKinds; ++kind) {
            if (lettered(kind)) {
                pairs += pairsAmong(both[kind]);
            }
        }
        return pairs;
    }

    // The first copy of the first pair; only when count() > 0.
    [[nodiscard]] std::int32_t firstStart(bool atMaximum) const
    {
        const std::size_t k = kinds_.size();
        if (atMaximum) {
            return starts_.front();
        }
        // later[a]: the kinds that occur after a, as a mask.
        later_.assign(k + 1, 0);
        for (std::size_t i = k; i-- > 0;) {
            later_[i] = static_cast<Mask>(later_[i + 1] | (1u << kinds_[i]));
        }
        for (std::size_t a = 0; a + 1 < k; ++a) {
            if ((later_[a + 1] & partners(kinds_[a])) != 0) {
                return starts_[a];
            }
        }
        return starts_.front();
    }

    // Hands pairs [from, from + count) to emit(first, second), in the order of
    // the plain double loop over the list.
    template <typename Emit>
    void emit(bool atMaximum, std::int64_t from, std::int64_t count, Emit&& emit)
    {
        const std::size_t k = kinds_.size();
        std::size_t a = 0;
        if (from > 0) {
            // Whole rows (all pairs of one first copy) are skipped by their counts.
            if (!atMaximum) {
                countRows();
            }
            for (; a < k; ++a) {
                const std::int64_t row =
                    atMaximum ? static_cast<std::int64_t>(k - 1 - a) : static_cast<std::int64_t>(rows_[a]);
                if (from < row) {
                    break;
                }
                from -= row;
            }
        }
        const bool skipping = !atMaximum && k > kShortList;
        if (skipping) {
            prepareSkips();
        }
        for (; a < k && count > 0; ++a) {
            std::size_t b = a + 1;
            const std::uint32_t* next = skipping ? next_.data() + kinds_[a] * (k + 1) : nullptr;
            if (skipping) {
                b = next[a + 1];
            }
            while (b < k && count > 0) {
                if (atMaximum || skipping || unextendable(kinds_[a], kinds_[b])) {
                    if (from > 0) {
                        --from;
                    } else {
                        emit(starts_[a], starts_[b]);
                        --count;
                    }
                }
                b = skipping ? next[b + 1] : b + 1;
            }
        }
    }

private:
    static constexpr std::size_t kShortList = 64;
    // Codes on one side: the four letters, and the gap when there are gaps.
    static constexpr std::size_t kSide = kGaps ? kLetters + 1 : kLetters;
    static constexpr std::size_t kKinds = kSide * kSide;
    using Mask = std::conditional_t<kGaps, std::uint32_t, std::uint16_t>;
    static_assert(kKinds <= sizeof(Mask) * 8);

    static constexpr std::size_t before(std::size_t kind) { return kind / kSide; }
    static constexpr std::size_t after(std::size_t kind) { return kind % kSide; }
    // Whether a letter (no gap) is on both sides.
    static constexpr bool lettered(std::size_t kind)
    {
        return !kGaps || (before(kind) != kGapCode && after(kind) != kGapCode);
    }

    static bool unextendable(std::uint8_t a, std::uint8_t b)
    {
        if constexpr (kGaps) {
            return (before(a) == kGapCode || before(a) != before(b)) &&
                   (after(a) == kGapCode || after(a) != after(b));
        } else {
            return (a >> 2) != (b >> 2) && (a & 3u) != (b & 3u);
        }
    }

    // The kinds that make an unextendable pair with `kind`, as a mask.
    static Mask partners(std::uint8_t kind)
    {
        Mask mask = 0;
        for (std::uint8_t other = 0; other < kKinds; ++other) {
            if (unextendable(kind, other)) {
                mask = static_cast<Mask>(mask | (1u << other));
            }
        }
        return mask;
    }

    // rows_[a]: the pairs whose first copy is a, from counts of what follows.
    void countRows()
    {
        const std::size_t k = kinds_.size();
        rows_.resize(k);
        // The counts of a gap stay 0: nothing is the same as a gap.
        std::array<std::uint32_t, kSide> befores{};
        std::array<std::uint32_t, kSide> afters{};
        std::array<std::uint32_t, kKinds> both{};
        for (std::size_t a = k; a-- > 0;) {
            const std::uint8_t kind = kinds_[a];
            const auto seen = static_cast<std::uint32_t>(k - 1 - a);
            rows_[a] = seen - befores[before(kind)] - afters[after(kind)] + both[kind];
            if (!kGaps || before(kind) != kGapCode) {
                ++befores[before(kind)];
            }
            if (!kGaps || after(kind) != kGapCode) {
                ++afters[after(kind)];
            }
            if (lettered(kind)) {
                ++both[kind];
            }
        }
    }

    // next_[kind * (k + 1) + i]: the first b >= i whose occurrence differs
    // from one of that kind on both sides, or k. With it the work is in
    // proportion to the pairs taken: a long list of a low-complexity word (a
    // homopolymer run, say) can have almost none.
    void prepareSkips()
    {
        const std::size_t k = kinds_.size();
        next_.assign(kKinds * (k + 1), static_cast<std::uint32_t>(k));
        std::uint32_t present = 0;
        for (const std::uint8_t kind : kinds_) {
            present |= 1u << kind;
        }
        static_assert(kKinds <= 32);
        for (std::size_t kind = 0; kind < kKinds; ++kind) {
            if ((present & (1u << kind)) == 0) {
                continue;
            }
            std::uint32_t* next = next_.data() + kind * (k + 1);
            for (std::size_t i = k; i-- > 0;) {
                next[i] = unextendable(static_cast<std::uint8_t>(kind), kinds_[i])
                              ? static_cast<std::uint32_t>(i)
                              : next[i + 1];
            }
        }
    }

    std::vector<std::uint8_t> kinds_;
    std::vector<std::int32_t> starts_;
    std::vector<std::uint32_t> rows_;
    std::vector<std::uint32_t> next_;
    mutable std::vector<Mask> later_;
};

// The pair makers of both kinds of index; a walk picks one for its whole
// run, so that the walk of a index without gaps is the plain one.
class DirectPairs {
public:
    template <bool kGaps>
    DirectPairsOf<kGaps>& get()
    {
        if constexpr (kGaps) {
            return gapped_;
        } else {
            return plain_;
        }
    }

private:
    DirectPairsOf<false> plain_;
    DirectPairsOf<true> gapped_;
};

// ---------------------------------------------------------------------------
// Transformed pairs of one word: (p, q) for p of the word's lookup and q of
// its transformed word's, each in list order, where q >= p + L.

class TransformedPairs {
public:
    std::int64_t count(std::span<const PositionLink> firsts, std::span<const PositionLink> seconds,
                       int length)
    {
        if (firsts.size() * seconds.size() <= kPlainProduct) {
            std::int64_t pairs = 0;
            for (const PositionLink p : firsts) {
                const std::int64_t after = std::int64_t{p} + length;
                for (const PositionLink q : seconds) {
                    pairs += q >= after ? 1 : 0;
                }
            }
            return pairs;
        }
        sortSeconds(seconds);
        std::int64_t pairs = 0;
        for (const PositionLink p : firsts) {
            pairs += secondsFrom(std::int64_t{p} + length);
        }
        return pairs;
    }

    template <typename Emit>
    void emit(std::span<const PositionLink> firsts, std::span<const PositionLink> seconds, int length,
              std::int64_t from, std::int64_t count, Emit&& emit)
    {
        std::size_t row = 0;
        if (from > 0) {
            sortSeconds(seconds);
            for (; row < firsts.size(); ++row) {
                const std::int64_t inRow = secondsFrom(std::int64_t{firsts[row]} + length);
                if (from < inRow) {
                    break;
                }
                from -= inRow;
            }
        }
        for (; row < firsts.size() && count > 0; ++row) {
            const PositionLink p = firsts[row];
            const std::int64_t after = std::int64_t{p} + length;
            for (const PositionLink q : seconds) {
                if (q < after) {
                    continue;
                }
                if (from > 0) {
                    --from;
                    continue;
                }
                emit(p, q);
                if (--count == 0) {
                    return;
                }
            }
        }
    }

private:
    static constexpr std::size_t kPlainProduct = 64;

    void sortSeconds(std::span<const PositionLink> seconds)
    {
        sorted_.assign(seconds.begin(), seconds.end());
        std::sort(sorted_.begin(), sorted_.end());
    }

    // How many sorted seconds are at or after `position`.
    [[nodiscard]] std::int64_t secondsFrom(std::int64_t position) const
    {
        const auto it = std::lower_bound(sorted_.begin(), sorted_.end(), position,
                                         [](PositionLink q, std::int64_t value) { return q < value; });
        return static_cast<std::int64_t>(sorted_.end() - it);
    }

    std::vector<PositionLink> sorted_;
};

// t(x) of a word given as letter indices.
inline void transformWord(RepeatKind kind, std::span<const std::uint8_t> word, std::uint8_t* out)
{
    const std::size_t n = word.size();
    for (std::size_t i = 0; i < n; ++i) {
        switch (kind) {
            case RepeatKind::Inverted:
                out[i] = complement(word[n - 1 - i]);
                break;
            case RepeatKind::Mirror:
                out[i] = word[n - 1 - i];
                break;
            case RepeatKind::Complementary:
                out[i] = complement(word[i]);
                break;
            case RepeatKind::Direct:
                out[i] = word[i];
                break;
        }
    }
}

}  // namespace tessaron::trie
