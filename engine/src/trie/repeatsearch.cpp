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

#include "engine/alphabet.h"
#include "engine/repeatsnapshot.h"
#include "engine/suffixindex.h"
#include "lookup.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <exception>
#include <limits>
#include <mutex>
#include <new>
#include <optional>
#include <system_error>
#include <thread>
#include <type_traits>
#include <utility>

namespace tessaron {

namespace {

constexpr std::int64_t kAll = std::numeric_limits<std::int64_t>::max();

std::int64_t pairsAmong(std::int64_t k)
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
void transformWord(RepeatKind kind, std::span<const std::uint8_t> word, std::uint8_t* out)
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

// ---------------------------------------------------------------------------
// The walks.

// One part of a walk: the subtree of a node whose word is `prefix`.
struct WalkPart {
    NodeId node = kRootNode;
    std::vector<std::uint8_t> prefix;
};

// The parts a walk splits into: the subtrees of the two-letter words, in
// A, T, C, G order, when no shorter word is reported (so that nothing the
// walk decides above them matters); otherwise the whole trie.
std::vector<WalkPart> walkParts(const SuffixIndex& index)
{
    std::vector<WalkPart> parts;
    if (index.minLength() < 3 || index.lengthBound() <= 3) {
        parts.push_back(WalkPart{});
        return parts;
    }
    const IndexNode& root = IndexAccess::node(index, kRootNode);
    for (std::uint8_t a = 0; a < kLetters; ++a) {
        if (root.children[a] == kNoNode) {
            continue;
        }
        const IndexNode& one = IndexAccess::node(index, root.children[a]);
        for (std::uint8_t b = 0; b < kLetters; ++b) {
            if (one.children[b] != kNoNode) {
                parts.push_back(WalkPart{one.children[b], {a, b}});
            }
        }
    }
    return parts;
}

template <bool kGaps, typename Sink>
void walkDirect(const SuffixIndex& index, Sink& sink, Pacer& pacer, const WalkPart& part)
{
    const int minLength = index.minLength();
    const int bound = index.lengthBound();
    const int maxLength = bound - 1;
    struct Entry {
        NodeId node;
        int depth;
    };
    std::vector<Entry> stack;
    stack.push_back({part.node, static_cast<int>(part.prefix.size())});
    while (!stack.empty()) {
        const Entry entry = stack.back();
        stack.pop_back();
        if (entry.depth >= bound) {
            continue;
        }
        pacer.visit(entry.node);
        const IndexNode& node = IndexAccess::node(index, entry.node);
        if (entry.depth >= minLength) {
            if (const auto ends = index.positions(entry.node); !ends.empty()) {
                sink.template direct<kGaps>(entry.node, ends, entry.depth, entry.depth == maxLength);
            }
        }
        // Pre-order in A, T, C, G order lists the words of each length in
        // that order, which is all a slot's order depends on.
        for (int letter = kLetters - 1; letter >= 0; --letter) {
            const NodeId child = node.children[static_cast<std::size_t>(letter)];
            if (child != kNoNode) {
                stack.push_back({child, entry.depth + 1});
            }
        }
    }
}

// Which words of k letters occur in the circular sequence, one bit per word,
// for each k from just past the lookup table's reach up to one at which
// fewer than half of them occur. A lookup of a word whose first k letters never occur cannot
// succeed; the bit says so from a few megabytes instead of a walk through the
// trie's scattered nodes and a read of the sequence far away.
class WordFilter {
public:
    static constexpr std::int32_t kWorthFrom = 1 << 17;

    explicit WordFilter(const SuffixIndex& index) : shortest_(IndexAccess::tableDepth(index) + 1)
    {
        const std::int64_t n = IndexAccess::indexedLength(index);
        // No word longer than the maximum length is looked up, and the
        // sequence window reaches that far past every start.
        const int cap = std::min(kMaxLetters, index.maxLength());
        int longest = shortest_;
        while (longest < cap && (std::int64_t{1} << (2 * longest)) < 2 * n) {
            ++longest;
        }
        if (longest > cap) {
            return;
        }
        for (int letters = shortest_; letters <= longest; ++letters) {
            HugeVector<std::uint64_t>& bits = levels_.emplace_back(std::size_t{1} << (2 * letters - 6), 0);
            const std::uint64_t mask = (std::uint64_t{1} << (2 * letters)) - 1;
            std::uint64_t code = 0;
            // A gap reads as some letter: the filter only has to let every
            // word that occurs through.
            for (int i = 0; i < letters - 1; ++i) {
                code = code << 2 | (IndexAccess::code(index, i) & 3u);
            }
            for (std::int64_t start = 0; start < n; ++start) {
                code = (code << 2 | (IndexAccess::code(index, start + letters - 1) & 3u)) & mask;
                bits[code >> 6] |= std::uint64_t{1} << (code & 63);
            }
        }
    }

    // False only if the word (given as letter indices) surely does not occur.
    [[nodiscard]] bool mayOccur(const std::uint8_t* word, int length) const
    {
        if (length < shortest_ || levels_.empty()) {
            return true;
        }
        const int letters = std::min(length, shortest_ + static_cast<int>(levels_.size()) - 1);
        std::uint64_t code = 0;
        for (int i = 0; i < letters; ++i) {
            code = code << 2 | word[i];
        }
        const auto& bits = levels_[static_cast<std::size_t>(letters - shortest_)];
        return (bits[code >> 6] >> (code & 63) & 1) != 0;
    }

private:
    static constexpr int kMaxLetters = 14;
    int shortest_;
    std::vector<HugeVector<std::uint64_t>> levels_;
};

// Where a word stands in the trie, kept up to date as letters are appended:
// the complementary search extends t(x) at its end as x grows, so it carries
// t(x)'s place down the walk instead of looking it up from the root.
struct Cursor {
    NodeId node = kRootNode;
    int matched = 0;  // letters of the word on the path down to `node`
    int length = 0;
    bool found = true;
};

Cursor extendCursor(const SuffixIndex& index, Cursor cursor, std::uint8_t letter)
{
    if (cursor.found) {
        const IndexNode& node = IndexAccess::node(index, cursor.node);
        const NodeId child = cursor.matched == cursor.length ? node.children[letter] : kNoNode;
        if (child != kNoNode) {
            cursor.node = child;
            ++cursor.matched;
        } else {
            // Off the trie: the word can only be the occurrence this node
            // stands for, compared without running over the end.
            const std::int64_t next = IndexAccess::reduce(index, std::int64_t{node.position} + 1);
            const std::int64_t at = next + (cursor.length - cursor.matched);
            cursor.found = at < IndexAccess::indexedLength(index) && IndexAccess::code(index, at) == letter;
        }
    }
    ++cursor.length;
    return cursor;
}

IndexAccess::Lookup lookupAt(const SuffixIndex& index, const Cursor& cursor)
{
    IndexAccess::Lookup result;
    if (!cursor.found || cursor.length == 0) {
        return result;
    }
    const IndexNode& node = IndexAccess::node(index, cursor.node);
    if (cursor.matched == cursor.length) {
        const auto run = IndexAccess::leafRun(index, node);
        result.begin = run.data();
        result.count = static_cast<std::uint32_t>(run.size());
        result.firstStart = run.front();
        return result;
    }
    result.firstStart = IndexAccess::reduce(index, std::int64_t{node.position} - cursor.matched + 1);
    result.count = 1;
    return result;
}

template <typename Sink>
class TransformedWalk {
public:
    TransformedWalk(const SuffixIndex& index, RepeatKind kind, Sink& sink, Pacer& pacer,
                    const WordFilter* filter)
        : index_(index), kind_(kind), sink_(sink), pacer_(pacer), filter_(filter)
    {
    }

    void run(const WalkPart& part)
    {
        const int minLength = index_.minLength();
        const int maxLength = index_.lengthBound() - 1;
        const auto depth = static_cast<int>(part.prefix.size());
        if (maxLength <= depth) {
            return;
        }
        const auto size = static_cast<std::size_t>(maxLength) + 1;
        word_.assign(size, 0);
        transformed_.assign(size, 0);
        Cursor start;
        for (int i = 0; i < depth; ++i) {
            const std::uint8_t letter = part.prefix[static_cast<std::size_t>(i)];
            extendWord(i, letter);
            if (kind_ == RepeatKind::Complementary) {
                start = extendCursor(index_, start, complement(letter));
            }
        }

        // Each frame is one node of the walk; a finished frame hands its four
        // values (one count pair per following letter, 0 for none) to its parent.
        std::vector<Frame> stack;
        stack.reserve(size + 1);
        stack.push_back(Frame{part.node, depth, start});
        while (!stack.empty()) {
            Frame& frame = stack.back();
            if (frame.depth >= maxLength || frame.next == kLetters) {
                const std::array<std::uint64_t, kLetters> values =
                    frame.depth >= maxLength ? std::array<std::uint64_t, kLetters>{} : frame.values;
                stack.pop_back();
                if (!stack.empty()) {
                    settle(stack.back(), values);
                }
                continue;
            }
            if (frame.next == 0) {
                prefetchLookups(frame);
            }
            const int letter = frame.next;
            const NodeId child =
                IndexAccess::node(index_, frame.node).children[static_cast<std::size_t>(letter)];
            if (child == kNoNode) {
                ++frame.next;
                continue;
            }
            pacer_.visit(child);
            const int length = frame.depth + 1;
            extendWord(frame.depth, static_cast<std::uint8_t>(letter));
            Cursor cursor;
            if (kind_ == RepeatKind::Complementary) {
                cursor = extendCursor(index_, frame.cursor, complement(static_cast<std::uint8_t>(letter)));
            }
            if (length < minLength) {
                frame.pending = Pending::Ignore;
                stack.push_back(Frame{child, length, cursor});
                continue;
            }
            IndexAccess::Lookup other;
            if (kind_ == RepeatKind::Complementary) {
                other = lookupAt(index_, cursor);
            } else if (filter_ == nullptr || filter_->mayOccur(transformedWord(length), length)) {
                other = IndexAccess::lookup(index_, transformedWord(length), length);
            }
            if (!other.found()) {
                // No longer word beginning with x can have its transformed
                // word either: skip the subtree.
                ++frame.next;
                continue;
            }
            const auto run = IndexAccess::leafRun(index_, IndexAccess::node(index_, child));
            frame.word.begin = run.data();
            frame.word.count = static_cast<std::uint32_t>(run.size());
            frame.word.firstStart = run.front();
            frame.other = other;
            frame.child = child;
            frame.pair = (std::uint64_t{frame.word.count} << 32) | other.count;
            frame.pending = Pending::Decide;
            if (length >= maxLength) {
                settle(frame, {});
            } else {
                stack.push_back(Frame{child, length, cursor});
            }
        }
    }

private:
    enum class Pending : std::uint8_t { None, Ignore, Decide };

    struct Frame {
        Frame(NodeId n, int d, Cursor c) : node(n), depth(d), cursor(c) {}
        NodeId node;
        int depth;
        Cursor cursor;  // t of the frame's word (complementary search only)
        int next = 0;
        Pending pending = Pending::None;
        std::array<std::uint64_t, kLetters> values{};
        // For the letter being examined: its node, the lookups of x and t(x)
        // and their count pair (full counts, both 32 bits).
        NodeId child = kNoNode;
        IndexAccess::Lookup word;
        IndexAccess::Lookup other;
        std::uint64_t pair = 0;
    };

    // The child for `frame.next` has returned `child`: decide about x.
    void settle(Frame& frame, const std::array<std::uint64_t, kLetters>& child)
    {
        const auto letter = static_cast<std::size_t>(frame.next);
        if (frame.pending == Pending::Decide) {
            const int length = frame.depth + 1;
            if (frame.pair == child[letter]) {
                // x extended by its own last letter occurs exactly as often,
                // as does its transformed word: the longer word stands for it.
                frame.values[letter] = frame.pair;
            } else if (std::int64_t{frame.other.first()} >= std::int64_t{frame.word.first()} + length) {
                frame.values[letter] = frame.pair;
                sink_.transformed(frame.child, length, frame.word, frame.other);
            }
        }
        frame.pending = Pending::None;
        ++frame.next;
    }

    // The lookups of t(x) for the frame's children are made one after the
    // other, each waiting for memory far away; asking for the first step of
    // all of them at once lets those waits overlap.
    void prefetchLookups(const Frame& frame)
    {
        const int length = frame.depth + 1;
        if (kind_ == RepeatKind::Complementary || length < index_.minLength() ||
            length >= index_.lengthBound()) {
            return;
        }
        const auto& node = IndexAccess::node(index_, frame.node);
        for (std::uint8_t letter = 0; letter < kLetters; ++letter) {
            if (node.children[letter] != kNoNode) {
                extendWord(frame.depth, letter);
                IndexAccess::prefetchLookup(index_, transformedWord(length), length);
            }
        }
    }

    // Puts letter `letter` at index `index` of x and updates t(x) so that
    // transformedWord(L) is t of the first L letters of x.
    void extendWord(int index, std::uint8_t letter)
    {
        const auto i = static_cast<std::size_t>(index);
        const std::size_t last = word_.size() - 2;  // maximum length - 1
        word_[i] = letter;
        switch (kind_) {
            case RepeatKind::Inverted:
                transformed_[last - i] = complement(letter);
                break;
            case RepeatKind::Mirror:
                transformed_[last - i] = letter;
                break;
            case RepeatKind::Complementary:
                transformed_[i] = complement(letter);
                break;
            case RepeatKind::Direct:
                break;
        }
    }

    [[nodiscard]] const std::uint8_t* transformedWord(int length) const
    {
        if (kind_ == RepeatKind::Complementary) {
            return transformed_.data();
        }
        return transformed_.data() + (transformed_.size() - 1 - static_cast<std::size_t>(length));
    }

    const SuffixIndex& index_;
    RepeatKind kind_;
    Sink& sink_;
    Pacer& pacer_;
    const WordFilter* filter_;
    std::vector<std::uint8_t> word_;
    std::vector<std::uint8_t> transformed_;
};

template <typename Sink>
void walkPart(const SuffixIndex& index, RepeatKind kind, Sink& sink, Pacer& pacer, const WalkPart& part,
              const WordFilter* filter)
{
    if (kind == RepeatKind::Direct) {
        if (index.genome().gapCount() > 0) {
            walkDirect<true>(index, sink, pacer, part);
        } else {
            walkDirect<false>(index, sink, pacer, part);
        }
    } else {
        TransformedWalk<Sink>(index, kind, sink, pacer, filter).run(part);
    }
}

// The filter pays for the inverted and mirror lookups of a large index only.
std::optional<WordFilter> filterFor(const SuffixIndex& index, RepeatKind kind)
{
    if ((kind != RepeatKind::Inverted && kind != RepeatKind::Mirror) ||
        IndexAccess::indexedLength(index) < WordFilter::kWorthFrom) {
        return std::nullopt;
    }
    return WordFilter(index);
}

[[nodiscard]] bool searchable(const SuffixIndex& index)
{
    return index.lengthBound() > index.minLength() && !index.empty();
}

// The whole walk into one sink, on the calling thread.
template <typename Sink>
void walk(const SuffixIndex& index, RepeatKind kind, Sink& sink, const SearchControl* control)
{
    if (!searchable(index)) {
        return;
    }
    Pacer pacer(control, IndexAccess::nodeCount(index));
    const auto filter = filterFor(index, kind);
    walkPart(index, kind, sink, pacer, WalkPart{}, filter ? &*filter : nullptr);
}

// Indexes from this many nodes on are walked on two threads.
constexpr std::size_t kParallelNodes = std::size_t{1} << 17;

// The walk in parts, one sink per part (made by `make`), the parts shared out
// between the calling thread and a second one for a large index. The sinks
// come back in part order, so their words put together are in result order.
template <typename Sink, typename MakeSink>
std::vector<Sink> walkInParts(const SuffixIndex& index, RepeatKind kind, const SearchControl* control,
                              MakeSink make)
{
    std::vector<Sink> sinks;
    if (!searchable(index)) {
        return sinks;
    }
    const std::vector<WalkPart> parts = walkParts(index);
    sinks.reserve(parts.size());
    for (std::size_t i = 0; i < parts.size(); ++i) {
        sinks.push_back(make());
    }
    const std::size_t nodeCount = IndexAccess::nodeCount(index);
    const auto filter = filterFor(index, kind);
    std::atomic<std::size_t> next{0};
    std::atomic<bool> abandoned{false};
    std::exception_ptr failure;
    std::mutex failureMutex;
    const auto work = [&](bool reporter) {
        try {
            Pacer pacer(control, nodeCount, reporter, &abandoned);
            for (std::size_t i = next++; i < parts.size(); i = next++) {
                walkPart(index, kind, sinks[i], pacer, parts[i], filter ? &*filter : nullptr);
            }
        } catch (...) {
            const std::lock_guard lock(failureMutex);
            if (!failure) {
                failure = std::current_exception();
            }
            abandoned = true;
        }
    };
    {
        std::optional<std::jthread> helper;
        if (parts.size() > 1 && nodeCount >= kParallelNodes && std::thread::hardware_concurrency() > 1) {
            try {
                helper.emplace(work, false);
            } catch (const std::system_error&) {
                // The calling thread walks every part.
            }
        }
        work(true);
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
    return sinks;
}

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
