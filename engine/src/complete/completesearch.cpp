#include "engine/completesearch.h"

#include "completeindex.h"
#include "intervalwalk.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

// How the search works. The index holds the rotations of up to four readings
// of the sequence: forward (F), complemented (C), backwards (V) and backwards
// complemented (W), sorted together as the suffixes of one text in which each
// reading is written twice (see below). A maximal pair of a kind is two
// rotations, one of each of the kind's two readings, whose common prefix ends
// because the next letters differ (they sit in different children of the LCP
// interval of that prefix) and whose letters before differ:
//   direct F with F, complementary F with C, mirror F with V, and inverted
//   F with W or, in an index for all four kinds, C with V.
// A bottom-up walk over the LCP intervals, with a stack instead of recursion,
// keeps for each open interval its rotations grouped by reading and letter
// before, and pairs the groups of each child with those of the children
// before it (Gusfield's maximal pairs on the suffix tree, in the array form of
// Abouelhoda, Kurtz and Ohlebusch). The cost is linear plus the pairs found;
// counting alone multiplies group sizes instead of listing pairs.
//
// A gap matches nothing, not even another gap: every common prefix is cut
// where either rotation reaches a gap, and a gap before a rotation differs
// from whatever is before another, so a maximal pair ends at a gap.
//
// Writing each reading twice makes every comparison of rotations end within
// the text, but doubles the text and gives the suffix sort a copy of every
// suffix to tell apart. So the index first writes only a short tail after
// each reading and checks the result, and writes the whole copy only when a
// common prefix ran past a tail.
//
// The index is built in completeindex.cpp, the walk over its intervals is
// in intervalwalk.h; this file makes a kind's snapshot from the walk.

namespace tessaron::complete {

namespace {

// The number of palindromes per length: for each centre (on a letter or
// between two) the longest run around it that reads as its own partner
// (S[c-k] paired with S[c+k]), when its length is below N. These are the
// leaf pairs of a transformed kind whose two copies start at the same place.
// Manacher's algorithm over the sequence written three times, centres taken
// in the middle copy, where only a run of N or more can reach the ends.
// Lengths from `lengths` on are left out.
std::vector<std::int64_t> palindromesPerLength(std::span<const std::uint8_t> codes, RepeatKind kind,
                                               std::int32_t lengths)
{
    const std::size_t n = codes.size();
    std::vector<std::int64_t> perLength(static_cast<std::size_t>(lengths), 0);
    if (kind == RepeatKind::Direct || kind == RepeatKind::Complementary) {
        return perLength;  // no letter is its own complement
    }
    const bool complement = kind == RepeatKind::Inverted;
    std::vector<std::uint8_t> text;
    text.reserve(3 * n);
    for (int copy = 0; copy < 3; ++copy) {
        text.insert(text.end(), codes.begin(), codes.end());
    }
    const auto size = static_cast<std::int64_t>(text.size());
    const auto partners = [&](std::int64_t a, std::int64_t b) {
        const std::uint8_t x = text[static_cast<std::size_t>(a)];
        const std::uint8_t y = text[static_cast<std::size_t>(b)];
        return x != kGap && (complement ? x == kComplementCode[y] : x == y);
    };
    const auto count = [&](std::int64_t center, std::int64_t length) {
        if (center >= static_cast<std::int64_t>(n) && center < 2 * static_cast<std::int64_t>(n) &&
            length < lengths) {
            ++perLength[static_cast<std::size_t>(length)];
        }
    };
    std::vector<std::int32_t> radius(text.size());
    // Even lengths: centre k sits between k - 1 and k.
    for (std::int64_t k = 0, l = 0, r = -1; k < size; ++k) {
        std::int64_t d =
            k > r ? 0 : std::min<std::int64_t>(radius[static_cast<std::size_t>(l + r - k + 1)], r - k + 1);
        while (k + d < size && k - d - 1 >= 0 && partners(k + d, k - d - 1)) {
            ++d;
        }
        radius[static_cast<std::size_t>(k)] = static_cast<std::int32_t>(d);
        if (k + d - 1 > r) {
            l = k - d;
            r = k + d - 1;
        }
        count(k, 2 * d);
    }
    if (complement) {
        return perLength;  // an odd length would need a letter paired with itself
    }
    for (std::int64_t k = 0, l = 0, r = -1; k < size; ++k) {
        if (text[static_cast<std::size_t>(k)] == kGap) {
            continue;  // no run is centred on a gap (none holds one)
        }
        std::int64_t d =
            k > r ? 1 : std::min<std::int64_t>(radius[static_cast<std::size_t>(l + r - k)], r - k + 1);
        while (k + d < size && k - d >= 0 && partners(k + d, k - d)) {
            ++d;
        }
        radius[static_cast<std::size_t>(k)] = static_cast<std::int32_t>(d);
        if (k + d - 1 > r) {
            l = k - d + 1;
            r = k + d - 1;
        }
        count(k, 2 * d - 1);
    }
    return perLength;
}

// The words by length, then in the order of their first copies among the
// forward rotations. Words of one length close in the walk from left to right
// in the index, so when the index's prefixes are the words themselves the
// walk's order within a length is already right.
std::vector<FoundWord> inResultOrder(std::vector<FoundWord> found, std::int32_t minLength, int slotCount,
                                     bool inOrder)
{
    std::vector<std::size_t> begins(static_cast<std::size_t>(slotCount) + 1, 0);
    for (const FoundWord& word : found) {
        ++begins[static_cast<std::size_t>(word.length - minLength) + 1];
    }
    for (std::size_t slot = 1; slot < begins.size(); ++slot) {
        begins[slot] += begins[slot - 1];
    }
    std::vector<FoundWord> sorted(found.size());
    std::vector<std::size_t> next(begins.begin(), begins.end() - 1);
    for (const FoundWord& word : found) {
        sorted[next[static_cast<std::size_t>(word.length - minLength)]++] = word;
    }
    if (!inOrder) {
        for (std::size_t slot = 0; slot + 1 < begins.size(); ++slot) {
            std::sort(sorted.begin() + static_cast<std::ptrdiff_t>(begins[slot]),
                      sorted.begin() + static_cast<std::ptrdiff_t>(begins[slot + 1]),
                      [](const FoundWord& a, const FoundWord& b) { return a.rank < b.rank; });
        }
    }
    return sorted;
}

// Pairs of the stored words, read back by the word's handle.
class StoredPairs final : public RepeatSnapshot::Source {
public:
    StoredPairs(PairStore store, std::vector<const RepeatPair*> words)
        : store_(std::move(store)), words_(std::move(words))
    {
    }

    void pairs(int, const RepeatWord& word, std::int64_t from, std::int64_t count,
               std::vector<RepeatPair>& out) const override
    {
        const RepeatPair* begin = words_[word.handle] + from;
        out.insert(out.end(), begin, begin + count);
    }

private:
    PairStore store_;
    std::vector<const RepeatPair*> words_;
};

int slotCountFor(const Genome& genome, std::int32_t minLength, std::span<const std::int64_t> perLength)
{
    int longest = 0;
    for (std::size_t length = perLength.size(); length-- > 0;) {
        if (perLength[length] != 0) {
            longest = static_cast<int>(length);
            break;
        }
    }
    return std::max({genome.lengthBound() - minLength, longest - minLength + 1, 0});
}

SnapshotResult walk(const CompleteIndex::Data& data, RepeatKind kind, SnapshotDetail detail,
                    const SearchControl& control)
{
    const Genome& genome = *data.genome;
    const std::int32_t n = data.length;
    const std::int32_t minLength = minLengthOf(genome);
    std::vector<std::int64_t> perLength;
    std::vector<FoundWord> found;
    PairStore store;
    bool wordsInOrder = true;
    if (hasPairs(data)) {
        const KindView view(data, kind);
        wordsInOrder = view.wordsInOrder();
        const KindLeaves leaves(data, readingsOf(kind, data.present),
                                data.gaps ? Partners<true>::kSide : Partners<false>::kSide);
        // Pairs are as long as the intervals below N that hold them.
        std::int32_t lengths = 0;
        for (const std::int32_t common : data.lcp) {
            lengths = common < n ? std::max(lengths, common + 1) : lengths;
        }
        perLength.assign(static_cast<std::size_t>(lengths), 0);
        if (detail == SnapshotDetail::Counts) {
            const auto count = [&](auto policy) {
                walkIntervals(leaves, minLength, policy, control);
                perLength = std::move(policy.perLength());
            };
            if (data.gaps) {
                count(CountPolicy<true>(leaves, view.transformed(), minLength, n, lengths));
            } else {
                count(CountPolicy<false>(leaves, view.transformed(), minLength, n, lengths));
            }
            if (view.transformed()) {
                const auto palindromes = palindromesPerLength(data.codes, kind, lengths);
                for (auto length = static_cast<std::size_t>(minLength); length < perLength.size(); ++length) {
                    perLength[length] = (perLength[length] - palindromes[length]) / 2;
                }
            }
        } else {
            const auto collect = [&](auto& policy) {
                walkIntervals(leaves, minLength, policy, control);
                found = std::move(policy.words());
                store = std::move(policy.store());
            };
            if (data.gaps) {
                PairPolicy<true> policy(leaves, view, minLength, genome.pairLimit(), control);
                collect(policy);
            } else {
                PairPolicy<false> policy(leaves, view, minLength, genome.pairLimit(), control);
                collect(policy);
            }
            for (const FoundWord& word : found) {
                perLength[static_cast<std::size_t>(word.length)] += word.count;
            }
        }
    }
    checkStop(control);

    const int slotCount = slotCountFor(genome, minLength, perLength);
    std::vector<std::int64_t> counts(static_cast<std::size_t>(slotCount), 0);
    for (int slot = 0; slot < slotCount; ++slot) {
        const auto length = static_cast<std::size_t>(minLength + slot);
        if (length < perLength.size()) {
            counts[static_cast<std::size_t>(slot)] = perLength[length];
        }
    }
    std::vector<RepeatWord> words;
    std::vector<std::size_t> slotBegins;
    std::unique_ptr<const RepeatSnapshot::Source> source;
    if (detail == SnapshotDetail::Words) {
        found = inResultOrder(std::move(found), minLength, slotCount, wordsInOrder);
        words.reserve(found.size());
        std::vector<const RepeatPair*> offsets;
        offsets.reserve(found.size());
        slotBegins.reserve(static_cast<std::size_t>(slotCount) + 1);
        std::size_t w = 0;
        for (int slot = 0; slot <= slotCount; ++slot) {
            while (w < found.size() && found[w].length < minLength + slot) {
                const FoundWord& word = found[w++];
                words.push_back(
                    RepeatWord{word.pairs->first, static_cast<std::uint32_t>(offsets.size()), word.count});
                offsets.push_back(word.pairs);
            }
            slotBegins.push_back(words.size());
        }
        source = std::make_unique<StoredPairs>(std::move(store), std::move(offsets));
    }
    control.report(1.0);
    return std::make_shared<const RepeatSnapshot>(data.genome, kind, static_cast<int>(minLength),
                                                  std::move(counts), std::move(words), std::move(slotBegins),
                                                  std::move(source));
}

}  // namespace

}  // namespace tessaron::complete

namespace tessaron {

SnapshotResult completeSearch(const CompleteIndex& index, RepeatKind kind, SnapshotDetail detail,
                              const SearchControl& control)
{
    return runStep(control, [&]() -> SnapshotResult {
        if (!index.serves(kind)) {
            // An index made for other kinds: make one for this kind alone.
            const RepeatKind kinds[] = {kind};
            return complete::walk(*complete::buildData(index.genome(), kinds, control), kind, detail,
                                  control);
        }
        return complete::walk(*index.data_, kind, detail, control);
    });
}

SnapshotResult completeSearch(std::shared_ptr<const Genome> genome, RepeatKind kind, SnapshotDetail detail,
                              const SearchControl& control)
{
    if (!genome) {
        return SearchFailure::Cancelled;
    }
    return runStep(control, [&]() -> SnapshotResult {
        const RepeatKind kinds[] = {kind};
        return complete::walk(*complete::buildData(std::move(genome), kinds, control), kind, detail, control);
    });
}

}  // namespace tessaron
