#include "engine/completesearch.h"

#include "engine/suffixarray.h"

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

// How the search works. Every rotation of the sequence, and for a transformed
// kind every rotation of its transformed reading, is a leaf of one suffix
// array (over the sequence written twice, then a separator and the reading
// written twice). A maximal pair is two leaves whose common prefix ends
// because the next letters differ (they sit in different children of the
// LCP interval of that prefix) and whose letters before differ. A bottom-up
// walk over the LCP intervals, with a stack instead of recursion, keeps for
// each open interval its leaves grouped by reading and letter before, and
// pairs the groups of each child with those of the children before it
// (Gusfield's maximal pairs on the suffix tree, in the array form of
// Abouelhoda, Kurtz and Ohlebusch). The cost is linear plus the pairs found;
// counting alone multiplies group sizes instead of listing pairs.

namespace tessaron {
namespace {

// Letter codes in the result order A < T < C < G; 0 is the separator.
constexpr std::array<std::uint8_t, 5> kComplement{0, 2, 1, 4, 3};
constexpr std::uint8_t kSeparator = 0;

std::uint8_t letterCode(char base)
{
    switch (base) {
        case 'A':
            return 1;
        case 'T':
            return 2;
        case 'C':
            return 3;
        default:
            return 4;
    }
}

// Why a search stopped early; thrown inside the walk, turned into the result.
struct Stopped {
    SearchFailure reason;
};

// What a kind compares the sequence with. The transformed reading X has N
// letters; its rotation j (X[j], X[j+1], ...) is a leaf. For inverted and
// mirror the reading runs backwards: X[j] is (the complement of) S[N-1-j], so
// rotation j reads the second copy from its last letter e = N-1-j down.
class Reading {
public:
    Reading(std::span<const std::uint8_t> codes, RepeatKind kind) : codes_(codes), kind_(kind) {}

    [[nodiscard]] std::int32_t length() const { return static_cast<std::int32_t>(codes_.size()); }
    [[nodiscard]] bool transformed() const { return kind_ != RepeatKind::Direct; }

    [[nodiscard]] std::uint8_t letter(std::int64_t j) const
    {
        const std::int32_t n = length();
        switch (kind_) {
            case RepeatKind::Inverted:
                return kComplement[at(n - 1 - j)];
            case RepeatKind::Mirror:
                return at(n - 1 - j);
            case RepeatKind::Complementary:
                return kComplement[at(j)];
            case RepeatKind::Direct:
                break;
        }
        return at(j);
    }
    // The letter before a leaf, 0..3: for the sequence (rotation p < N) the
    // letter before p, for the reading (N + j) the reading's letter before j.
    [[nodiscard]] std::uint8_t before(std::int32_t leaf) const
    {
        const std::int32_t n = length();
        return static_cast<std::uint8_t>((leaf < n ? at(leaf - 1) : letter(leaf - n - 1)) - 1);
    }
    // The start of the second copy for a match of length L against rotation j.
    [[nodiscard]] std::int32_t secondStart(std::int32_t j, std::int32_t length) const
    {
        if (kind_ == RepeatKind::Complementary) {
            return j;
        }
        const std::int32_t n = this->length();
        const std::int32_t start = n - j - length;  // (N-1-j) - L + 1
        return start < 0 ? start + n : start;
    }

private:
    [[nodiscard]] std::uint8_t at(std::int64_t position) const
    {
        const std::int64_t n = length();
        position %= n;
        return codes_[static_cast<std::size_t>(position < 0 ? position + n : position)];
    }

    std::span<const std::uint8_t> codes_;
    RepeatKind kind_;
};

// The leaves in suffix order with the common prefix of each with the one
// before (lcp[0] = 0). A leaf is a rotation p < N of the sequence or N + j
// for rotation j of the transformed reading.
struct SortedLeaves {
    std::vector<std::int32_t> leaf;
    std::vector<std::int32_t> lcp;
};

void checkStop(const SearchControl& control)
{
    if (control.stopRequested()) {
        throw Stopped{SearchFailure::Cancelled};
    }
}

SortedLeaves sortLeaves(const Reading& reading, std::span<const std::uint8_t> codes,
                        const SearchControl& control)
{
    const std::int32_t n = reading.length();
    const auto size = static_cast<std::size_t>(n);
    // Each rotation is read from a copy written twice, so every comparison of
    // two rotations that can fail within N letters does so before the text
    // or the copy ends; rotations equal all the way round share N + 1 or more.
    std::vector<std::uint8_t> text;
    text.reserve(reading.transformed() ? 4 * size + 1 : 2 * size);
    text.insert(text.end(), codes.begin(), codes.end());
    text.insert(text.end(), codes.begin(), codes.end());
    const std::size_t readingBegin = text.size() + 1;
    if (reading.transformed()) {
        text.push_back(kSeparator);
        for (std::int32_t j = 0; j < n; ++j) {
            text.push_back(reading.letter(j));
        }
        text.insert(text.end(), text.end() - n, text.end());
    }
    std::vector<std::int32_t> sa = suffixArray(text);
    checkStop(control);
    control.report(0.35);

    // Keep the starts of the leaves, in place, and find their common prefixes.
    const auto readingStart = static_cast<std::int32_t>(readingBegin);
    std::vector<SuffixBlock> blocks{{0, n}};
    if (reading.transformed()) {
        blocks.push_back({readingStart, readingStart + n});
    }
    std::size_t kept = 0;
    for (const std::int32_t start : sa) {
        if (start < n || (reading.transformed() && start >= readingStart && start < readingStart + n)) {
            sa[kept++] = start;
        }
    }
    sa.resize(kept);
    std::vector<std::int32_t> lcp = lcpArray(text, sa, blocks);
    for (std::int32_t& start : sa) {
        start = start < n ? start : n + (start - readingStart);
    }
    checkStop(control);
    control.report(0.5);
    return SortedLeaves{std::move(sa), std::move(lcp)};
}

// The leaves are grouped by class: reading (0 the sequence, 1 the transformed
// reading) times 4 plus the letter before. Two leaves form a pair when their
// letters before differ and, for a transformed kind, their readings differ.
constexpr int kClasses = 8;

struct Partners {
    std::array<std::array<std::uint8_t, 3>, kClasses> of{};
};

Partners partnersFor(bool transformed)
{
    Partners partners;
    for (int c = 0; c < kClasses; ++c) {
        const int otherReading = transformed ? 4 - (c & 4) : (c & 4);
        int k = 0;
        for (int letter = 0; letter < 4; ++letter) {
            if (letter != (c & 3)) {
                partners.of[static_cast<std::size_t>(c)][static_cast<std::size_t>(k++)] =
                    static_cast<std::uint8_t>(otherReading + letter);
            }
        }
    }
    return partners;
}

// The walk over the LCP intervals of depth at least m. Lengths below m never
// make a pair, so they all count as m - 1, the depth of the bottom frame,
// whose groups are not kept. Frames of depth N or more (rotations equal all
// the way round) make no pairs either but pass their leaves up.
template <typename Policy>
void walkIntervals(const SortedLeaves& leaves, std::int32_t minLength, Policy& policy,
                   const SearchControl& control)
{
    const auto n = static_cast<std::int32_t>(leaves.leaf.size());
    std::vector<std::int32_t> depth{minLength - 1};
    std::vector<std::int32_t> lb{0};
    policy.open(0);
    for (std::int32_t i = 1; i <= n; ++i) {
        if ((i & 0xFFFF) == 0) {
            checkStop(control);
            control.report(0.5 + 0.45 * static_cast<double>(i) / static_cast<double>(n));
        }
        const std::int32_t h =
            i < n ? std::max(leaves.lcp[static_cast<std::size_t>(i)], minLength - 1) : minLength - 1;
        std::int32_t left = i - 1;
        // The leaf i - 1 belongs to the deeper of the intervals on its sides.
        if (h <= depth.back()) {
            policy.mergeLeaf(depth.size() - 1, depth.back(), i - 1);
        }
        bool framePending = false;
        while (h < depth.back()) {
            const std::size_t top = depth.size() - 1;
            policy.close(top, depth.back(), lb.back());
            left = lb.back();
            depth.pop_back();
            lb.pop_back();
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
            lb.push_back(left);
            if (!framePending) {
                policy.open(slot);
                policy.mergeLeaf(slot, h, i - 1);
            }
        }
    }
}

// Counts: per frame the number of leaves of each class; per length the pairs.
class CountPolicy {
public:
    CountPolicy(std::span<const std::uint8_t> classes, bool transformed, std::int32_t minLength,
                std::int32_t sequenceLength)
        : classes_(classes),
          partners_(partnersFor(transformed)),
          minLength_(minLength),
          sequenceLength_(sequenceLength),
          perLength_(static_cast<std::size_t>(sequenceLength), 0)
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
        const std::uint8_t c = classes_[static_cast<std::size_t>(leaf)];
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
    void close(std::size_t, std::int32_t, std::int32_t) {}

    // Pairs of leaves per length; for a transformed kind each pair of
    // positions is counted from both copies, and each palindrome once.
    [[nodiscard]] std::vector<std::int64_t>& perLength() { return perLength_; }

private:
    std::span<const std::uint8_t> classes_;
    Partners partners_;
    std::int32_t minLength_;
    std::int32_t sequenceLength_;
    std::vector<std::array<std::int64_t, kClasses>> frames_;
    std::vector<std::int64_t> perLength_;
};

// One word found: its length, its place among the sorted leaves (which orders
// the words of one length) and its pairs in the store.
struct FoundWord {
    std::int32_t length = 0;
    std::int32_t lb = 0;
    std::size_t offset = 0;
    std::int64_t count = 0;
};

// Pairs: per frame a chained list of leaves per class and the pairs of the
// frame's word so far; a closed frame hands its pairs, sorted, to the store.
class PairPolicy {
public:
    PairPolicy(const SortedLeaves& leaves, std::span<const std::uint8_t> classes, const Reading& reading,
               std::int32_t minLength, std::int64_t pairLimit, const SearchControl& control)
        : leaves_(leaves.leaf),
          classes_(classes),
          reading_(reading),
          partners_(partnersFor(reading.transformed())),
          minLength_(minLength),
          sequenceLength_(reading.length()),
          pairLimit_(pairLimit),
          control_(control),
          next_(leaves.leaf.size(), -1)
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
        const std::uint8_t c = classes_[static_cast<std::size_t>(leaf)];
        if (depth < sequenceLength_) {
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
        if (depth < sequenceLength_) {
            for (std::size_t c = 0; c < kClasses; ++c) {
                for (std::int32_t x = f.head[c]; x >= 0; x = next_[static_cast<std::size_t>(x)]) {
                    for (const std::uint8_t partner : partners_.of[c]) {
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
    void close(std::size_t frame, std::int32_t depth, std::int32_t lb)
    {
        auto& pairs = frames_[frame].pairs;
        if (pairs.empty()) {
            return;
        }
        std::sort(pairs.begin(), pairs.end(), [](const RepeatPair& a, const RepeatPair& b) {
            return a.first != b.first ? a.first < b.first : a.second < b.second;
        });
        words_.push_back(FoundWord{depth, lb, store_.size(), static_cast<std::int64_t>(pairs.size())});
        store_.insert(store_.end(), pairs.begin(), pairs.end());
        pairs.clear();
    }

    [[nodiscard]] std::vector<RepeatPair>& store() { return store_; }
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

    // Leaves x and y (indices into the sorted leaves) match for `length`
    // letters and no further on either side.
    void emit(Frame& f, std::int32_t x, std::int32_t y, std::int32_t length)
    {
        std::int32_t a = leaves_[static_cast<std::size_t>(x)];
        std::int32_t b = leaves_[static_cast<std::size_t>(y)];
        if (a > b) {
            std::swap(a, b);
        }
        if (reading_.transformed()) {
            // a is the first copy, b - N the reading's rotation; the same pair
            // of positions is met again from the other copy, and kept once.
            b = reading_.secondStart(b - sequenceLength_, length);
            if (b <= a) {
                return;
            }
        }
        if (++emitted_ > pairLimit_) {
            throw Stopped{SearchFailure::PairLimit};
        }
        if ((emitted_ & 0xFFFFF) == 0) {
            checkStop(control_);
        }
        f.pairs.push_back(RepeatPair{a, b});
    }

    std::span<const std::int32_t> leaves_;
    std::span<const std::uint8_t> classes_;
    const Reading& reading_;
    Partners partners_;
    std::int32_t minLength_;
    std::int32_t sequenceLength_;
    std::int64_t pairLimit_;
    const SearchControl& control_;
    std::int64_t emitted_ = 0;
    std::vector<std::int32_t> next_;
    std::vector<Frame> frames_;
    std::vector<RepeatPair> store_;
    std::vector<FoundWord> words_;
};

// The number of palindromes per length: for each centre (on a letter or
// between two) the longest run around it that reads as its own partner
// (S[c-k] paired with S[c+k]), when its length is below N. These are the
// leaf pairs of a transformed kind whose two copies start at the same place.
// Manacher's algorithm over the sequence written three times, centres taken
// in the middle copy, where only a run of N or more can reach the ends.
std::vector<std::int64_t> palindromesPerLength(std::span<const std::uint8_t> codes, RepeatKind kind)
{
    const std::size_t n = codes.size();
    std::vector<std::int64_t> perLength(n, 0);
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
        return complement ? x == kComplement[y] : x == y;
    };
    const auto count = [&](std::int64_t center, std::int64_t length) {
        if (center >= static_cast<std::int64_t>(n) && center < 2 * static_cast<std::int64_t>(n) &&
            length < static_cast<std::int64_t>(n)) {
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

// Pairs of the stored words, read back by the word's handle.
class StoredPairs final : public RepeatSnapshot::Source {
public:
    StoredPairs(std::vector<RepeatPair> pairs, std::vector<std::size_t> offsets)
        : pairs_(std::move(pairs)), offsets_(std::move(offsets))
    {
    }

    void pairs(int, const RepeatWord& word, std::int64_t from, std::int64_t count,
               std::vector<RepeatPair>& out) const override
    {
        const auto begin = pairs_.begin() + static_cast<std::ptrdiff_t>(offsets_[word.handle]) + from;
        out.insert(out.end(), begin, begin + count);
    }

private:
    std::vector<RepeatPair> pairs_;
    std::vector<std::size_t> offsets_;
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

SnapshotResult search(std::shared_ptr<const Genome> genome, RepeatKind kind, SnapshotDetail detail,
                      const SearchControl& control)
{
    const std::string_view sequence = genome->sequence();
    const auto n = static_cast<std::int32_t>(sequence.size());
    const std::int32_t minLength = std::max(genome->minLength(), 1);
    std::vector<std::uint8_t> codes(sequence.size());
    std::transform(sequence.begin(), sequence.end(), codes.begin(), letterCode);
    const Reading reading(codes, kind);

    std::vector<std::int64_t> perLength(static_cast<std::size_t>(n), 0);
    std::vector<FoundWord> found;
    std::vector<RepeatPair> store;
    // No pair is shorter than m or as long as N; two letters at least.
    if (minLength < n) {
        if (static_cast<std::int64_t>(n) * 4 + 1 > std::numeric_limits<std::int32_t>::max()) {
            return SearchFailure::OutOfMemory;
        }
        const SortedLeaves leaves = sortLeaves(reading, codes, control);
        std::vector<std::uint8_t> classes(leaves.leaf.size());
        for (std::size_t i = 0; i < classes.size(); ++i) {
            const std::int32_t leaf = leaves.leaf[i];
            classes[i] = static_cast<std::uint8_t>((leaf < n ? 0 : 4) + reading.before(leaf));
        }
        if (detail == SnapshotDetail::Counts) {
            CountPolicy policy(classes, reading.transformed(), minLength, n);
            walkIntervals(leaves, minLength, policy, control);
            perLength = std::move(policy.perLength());
            if (reading.transformed()) {
                const auto palindromes = palindromesPerLength(codes, kind);
                for (auto length = static_cast<std::size_t>(minLength); length < perLength.size(); ++length) {
                    perLength[length] = (perLength[length] - palindromes[length]) / 2;
                }
            }
        } else {
            PairPolicy policy(leaves, classes, reading, minLength, genome->pairLimit(), control);
            walkIntervals(leaves, minLength, policy, control);
            found = std::move(policy.words());
            store = std::move(policy.store());
            for (const FoundWord& word : found) {
                perLength[static_cast<std::size_t>(word.length)] += word.count;
            }
        }
    }
    checkStop(control);

    const int slotCount = slotCountFor(*genome, minLength, perLength);
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
        std::sort(found.begin(), found.end(), [](const FoundWord& a, const FoundWord& b) {
            return a.length != b.length ? a.length < b.length : a.lb < b.lb;
        });
        words.reserve(found.size());
        std::vector<std::size_t> offsets;
        offsets.reserve(found.size());
        slotBegins.reserve(static_cast<std::size_t>(slotCount) + 1);
        std::size_t w = 0;
        for (int slot = 0; slot <= slotCount; ++slot) {
            while (w < found.size() && found[w].length < minLength + slot) {
                const FoundWord& word = found[w++];
                words.push_back(RepeatWord{store[word.offset].first,
                                           static_cast<std::uint32_t>(offsets.size()), word.count});
                offsets.push_back(word.offset);
            }
            slotBegins.push_back(words.size());
        }
        source = std::make_unique<StoredPairs>(std::move(store), std::move(offsets));
    }
    control.report(1.0);
    return std::make_shared<const RepeatSnapshot>(std::move(genome), kind, static_cast<int>(minLength),
                                                  std::move(counts), std::move(words), std::move(slotBegins),
                                                  std::move(source));
}

}  // namespace

SnapshotResult completeSearch(std::shared_ptr<const Genome> genome, RepeatKind kind, SnapshotDetail detail,
                              const SearchControl& control)
{
    if (!genome || control.stopRequested()) {
        return SearchFailure::Cancelled;
    }
    try {
        return search(std::move(genome), kind, detail, control);
    } catch (const Stopped& stopped) {
        return stopped.reason;
    } catch (const std::bad_alloc&) {
        return SearchFailure::OutOfMemory;
    }
}

}  // namespace tessaron
