#include "engine/completesearch.h"

#include "engine/alphabet.h"
#include "suffixarray.h"

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

namespace tessaron {
namespace {

// Sort codes: the letter codes shifted up by one, so that A < T < C < G
// keep the result order, and 0 for a gap; the readings are kept apart by
// separators above them.
constexpr std::uint8_t kGap = 0;
constexpr std::uint8_t kFirstSeparator = 5;

constexpr std::uint8_t letterCode(char base)
{
    const std::uint8_t code = baseCode(base);
    return code == kGapCode ? kGap : static_cast<std::uint8_t>(code + 1);
}

// The sort code of the complement.
constexpr std::array<std::uint8_t, 5> kComplementCode = [] {
    std::array<std::uint8_t, 5> codes{kGap};
    for (std::uint8_t code = 0; code < kGapCode; ++code) {
        codes[code + 1U] = static_cast<std::uint8_t>(complement(code) + 1);
    }
    return codes;
}();

// What is before a rotation: the letter (0..3) or, as 4, a gap.
constexpr int kGapBefore = 4;
// A sorted rotation's reading and what is before it, as reading * 8 + before.
constexpr int kPerReading = 8;

void checkStop(const SearchControl& control)
{
    control.throwIfStopped();
}

// The readings. Rotation j of a reading is read from its letter j on; for V
// and W, letter j is (the complement of) S[N-1-j], so rotation j reads the
// copy that ends at e = N-1-j from there down.
enum Reading : int { kForward = 0, kComplemented = 1, kBackwards = 2, kBackComplemented = 3 };
constexpr int kReadings = 4;

}  // namespace

struct CompleteIndex::Data {
    std::shared_ptr<const Genome> genome;
    std::int32_t length = 0;
    std::vector<std::uint8_t> codes;  // the sequence as letter codes
    std::array<bool, kReadings> present{};
    // The rotations in suffix order: reading * N + j; lcp[i] is the common
    // prefix of rotations i - 1 and i (lcp[0] = 0). Rotations equal all the
    // way round share more than N letters.
    std::vector<std::int32_t> rotation;
    std::vector<std::int32_t> lcp;
    // Per sorted rotation: its reading * kPerReading + what is before it.
    std::vector<std::uint8_t> kindOf;
    bool gaps = false;
    // The place of forward rotation p among the forward rotations: the order
    // of the words S[p..p+L-1] of one length.
    std::vector<std::int32_t> forwardRank;

    // Letter j of a reading, for j in -N .. 2N-1.
    [[nodiscard]] std::uint8_t letter(int reading, std::int32_t j) const
    {
        const std::int32_t n = length;
        const bool backwards = reading == kBackwards || reading == kBackComplemented;
        std::int32_t position = backwards ? n - 1 - j : j;
        position = position < 0 ? position + n : position >= n ? position - n : position;
        const std::uint8_t code = codes[static_cast<std::size_t>(position)];
        return reading == kComplemented || reading == kBackComplemented ? kComplementCode[code] : code;
    }
};

namespace {

// The two readings whose rotations make the pairs of a kind, in an index.
struct KindReadings {
    int first = kForward;
    int second = kForward;
};

KindReadings readingsOf(RepeatKind kind, const std::array<bool, kReadings>& present)
{
    switch (kind) {
        case RepeatKind::Direct:
            return {kForward, kForward};
        case RepeatKind::Complementary:
            return {kForward, kComplemented};
        case RepeatKind::Mirror:
            return {kForward, kBackwards};
        case RepeatKind::Inverted:
            return present[kBackComplemented] ? KindReadings{kForward, kBackComplemented}
                                              : KindReadings{kComplemented, kBackwards};
    }
    return {};
}

bool servesKind(const CompleteIndex::Data& data, RepeatKind kind)
{
    const KindReadings readings = readingsOf(kind, data.present);
    return data.present[static_cast<std::size_t>(readings.first)] &&
           data.present[static_cast<std::size_t>(readings.second)];
}

// The readings an index for `kinds` holds: the forward one always (it orders
// the words); inverted through C and V when either is there anyway, else W.
std::array<bool, kReadings> readingsFor(std::span<const RepeatKind> kinds)
{
    std::array<bool, kReadings> present{};
    present[kForward] = true;
    bool inverted = false;
    for (const RepeatKind kind : kinds) {
        present[kComplemented] = present[kComplemented] || kind == RepeatKind::Complementary;
        present[kBackwards] = present[kBackwards] || kind == RepeatKind::Mirror;
        inverted = inverted || kind == RepeatKind::Inverted;
    }
    if (inverted) {
        if (present[kComplemented] || present[kBackwards]) {
            present[kComplemented] = present[kBackwards] = true;
        } else {
            present[kBackComplemented] = true;
        }
    }
    return present;
}

// How far each reading is written again after itself at first: enough for
// the common prefixes of nearly all rotations of real and random sequences,
// at a sixteenth of the sequence or less.
std::int32_t firstTail(std::int32_t length)
{
    return std::min(length, std::clamp(length / 16, 64, 4096));
}

// Cuts each common prefix where either rotation reaches a gap. The cut
// prefixes are those of the rotations read up to their first gap, which sort
// into the same intervals, so the walk stays right.
void cutAtGaps(const CompleteIndex::Data& data, std::span<const std::int32_t> rotation,
               std::span<std::int32_t> lcp)
{
    const std::int32_t n = data.length;
    // Letters from each position up to the next gap, forwards and backwards,
    // round the circle (there is a gap, so both are below N).
    std::vector<std::int32_t> ahead(static_cast<std::size_t>(n));
    std::vector<std::int32_t> behind(static_cast<std::size_t>(n));
    const auto at = [](std::vector<std::int32_t>& v, std::int32_t p) -> std::int32_t& {
        return v[static_cast<std::size_t>(p)];
    };
    const auto gapAt = [&](std::int32_t p) { return data.codes[static_cast<std::size_t>(p)] == kGap; };
    std::int32_t lastGap = 0;
    while (!gapAt(lastGap)) {
        ++lastGap;
    }
    for (std::int32_t k = 1; k <= n; ++k) {
        const std::int32_t p = (lastGap + k) % n;
        at(behind, p) = gapAt(p) ? 0 : at(behind, (p + n - 1) % n) + 1;
    }
    for (std::int32_t k = 1; k <= n; ++k) {
        const std::int32_t p = ((lastGap - k) % n + n) % n;
        at(ahead, p) = gapAt(p) ? 0 : at(ahead, (p + 1) % n) + 1;
    }
    const auto run = [&](std::int32_t r) {
        const std::int32_t reading = r / n;
        const std::int32_t j = r - reading * n;
        const bool backwards = reading == kBackwards || reading == kBackComplemented;
        return backwards ? at(behind, n - 1 - j) : at(ahead, j);
    };
    std::int32_t previous = 0;
    for (std::size_t i = 0; i < rotation.size(); ++i) {
        const std::int32_t current = run(rotation[i]);
        if (i > 0) {
            lcp[i] = std::min({lcp[i], previous, current});
        }
        previous = current;
    }
}

// Sorts the rotations with each reading followed by its first `tail`
// letters again (tail <= N). A rotation j then has N - j + tail letters before
// the reading's separator, all of them its own; the sort is right when no two
// neighbours in it are still equal where one of them runs out, unless they
// agree on N letters (equal rotations). Returns false when that fails.
bool sortRotations(CompleteIndex::Data& data, std::int32_t tail, const SearchControl& control)
{
    const std::int32_t n = data.length;
    std::vector<std::uint8_t> text;
    std::vector<SuffixBlock> blocks;
    std::vector<int> blockReading;
    for (int reading = 0; reading < kReadings; ++reading) {
        if (!data.present[static_cast<std::size_t>(reading)]) {
            continue;
        }
        if (!text.empty()) {
            text.push_back(static_cast<std::uint8_t>(kFirstSeparator + blocks.size()));
        }
        const auto begin = static_cast<std::int32_t>(text.size());
        blocks.push_back({begin, begin + n});
        blockReading.push_back(reading);
        for (std::int32_t j = 0; j < n; ++j) {
            text.push_back(data.letter(reading, j));
        }
        text.insert(text.end(), text.begin() + begin, text.begin() + begin + tail);
    }
    std::vector<std::int32_t> sa = suffixArray(text);
    checkStop(control);
    control.report(0.3);

    // Keep the starts of rotations, in place, and find their common prefixes.
    const auto blockOf = [&](std::int32_t start) {
        for (std::size_t b = 0; b < blocks.size(); ++b) {
            if (start >= blocks[b].begin && start < blocks[b].end) {
                return static_cast<int>(b);
            }
        }
        return -1;
    };
    std::size_t kept = 0;
    for (const std::int32_t start : sa) {
        if (blockOf(start) >= 0) {
            sa[kept++] = start;
        }
    }
    sa.resize(kept);
    std::vector<std::int32_t> lcp = lcpArray(text, sa, blocks);
    std::vector<std::int32_t> forwardRank(static_cast<std::size_t>(n), 0);
    std::vector<std::uint8_t> kindOf(sa.size());
    std::int32_t forwardSeen = 0;
    std::int32_t lettersBefore = 0;  // of the rotation before, up to its separator
    for (std::size_t i = 0; i < sa.size(); ++i) {
        const int b = blockOf(sa[i]);
        const std::int32_t j = sa[i] - blocks[static_cast<std::size_t>(b)].begin;
        const std::int32_t letters = n - j + tail;
        if (i > 0 && lcp[i] < n && (lcp[i] >= letters || lcp[i] >= lettersBefore)) {
            return false;
        }
        lettersBefore = letters;
        const int reading = blockReading[static_cast<std::size_t>(b)];
        sa[i] = reading * n + j;
        const std::uint8_t before = data.letter(reading, j - 1);
        kindOf[i] =
            static_cast<std::uint8_t>(reading * kPerReading + (before == kGap ? kGapBefore : before - 1));
        if (reading == kForward) {
            forwardRank[static_cast<std::size_t>(j)] = forwardSeen++;
        }
    }
    if (data.gaps) {
        cutAtGaps(data, sa, lcp);
    }
    data.rotation = std::move(sa);
    data.lcp = std::move(lcp);
    data.kindOf = std::move(kindOf);
    data.forwardRank = std::move(forwardRank);
    checkStop(control);
    control.report(0.5);
    return true;
}

// The rotations of one kind within the index: those of its two readings.
// Each carries a class (see below), found from its reading and letter
// before; kNotOfKind marks the rotations of other readings, which the walk
// passes over.
constexpr std::uint8_t kNotOfKind = 0xFF;

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

std::int32_t minLengthOf(const Genome& genome)
{
    return std::max(genome.minLength(), 1);
}

// No pair is shorter than m or as long as N, so below m + 1 letters there is
// nothing to index.
bool hasPairs(const CompleteIndex::Data& data)
{
    return minLengthOf(*data.genome) < data.length;
}

std::unique_ptr<CompleteIndex::Data> buildData(std::shared_ptr<const Genome> genome,
                                               std::span<const RepeatKind> kinds,
                                               const SearchControl& control)
{
    auto data = std::make_unique<CompleteIndex::Data>();
    const std::string_view sequence = genome->sequence();
    data->genome = std::move(genome);
    data->length = static_cast<std::int32_t>(sequence.size());
    data->codes.resize(sequence.size());
    std::transform(sequence.begin(), sequence.end(), data->codes.begin(), letterCode);
    data->gaps = data->genome->gapCount() > 0;
    data->present = readingsFor(kinds);
    if (hasPairs(*data)) {
        int readings = 0;
        for (const bool present : data->present) {
            readings += present ? 1 : 0;
        }
        if ((2 * static_cast<std::int64_t>(data->length) + 1) * readings >
            std::numeric_limits<std::int32_t>::max()) {
            throw std::bad_alloc();
        }
        if (!sortRotations(*data, firstTail(data->length), control)) {
            sortRotations(*data, data->length, control);
        }
    }
    return data;
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

CompleteIndex::CompleteIndex(std::unique_ptr<const Data> data) : data_(std::move(data))
{
}

CompleteIndex::~CompleteIndex() = default;

const std::shared_ptr<const Genome>& CompleteIndex::genome() const
{
    return data_->genome;
}

bool CompleteIndex::serves(RepeatKind kind) const
{
    return servesKind(*data_, kind);
}

CompleteIndexResult buildCompleteIndex(std::shared_ptr<const Genome> genome,
                                       std::span<const RepeatKind> kinds, const SearchControl& control)
{
    if (!genome) {
        return SearchFailure::Cancelled;
    }
    return runStep(control, [&]() -> CompleteIndexResult {
        return std::make_shared<const CompleteIndex>(buildData(std::move(genome), kinds, control));
    });
}

SnapshotResult completeSearch(const CompleteIndex& index, RepeatKind kind, SnapshotDetail detail,
                              const SearchControl& control)
{
    return runStep(control, [&]() -> SnapshotResult {
        if (!index.serves(kind)) {
            // An index made for other kinds: make one for this kind alone.
            const RepeatKind kinds[] = {kind};
            return walk(*buildData(index.genome(), kinds, control), kind, detail, control);
        }
        return walk(*index.data_, kind, detail, control);
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
        return walk(*buildData(std::move(genome), kinds, control), kind, detail, control);
    });
}

}  // namespace tessaron
