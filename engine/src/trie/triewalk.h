#pragma once

// Internal to the trie search: the walks over the index, which hand every
// node's or word's pairs to a sink, in parts that two threads may share.

#include "engine/repeatkinds.h"
#include "engine/searchcontrol.h"
#include "engine/suffixindex.h"
#include "lookup.h"
#include "nodepairs.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <mutex>
#include <optional>
#include <span>
#include <system_error>
#include <thread>
#include <vector>

namespace tessaron::trie {

// One part of a walk: the subtree of a node whose word is `prefix`.
struct WalkPart {
    NodeId node = kRootNode;
    std::vector<std::uint8_t> prefix;
};

// The parts a walk splits into: the subtrees of the two-letter words, in
// A, T, C, G order, when no shorter word is reported (so that nothing the
// walk decides above them matters); otherwise the whole trie.
inline std::vector<WalkPart> walkParts(const SuffixIndex& index)
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

inline Cursor extendCursor(const SuffixIndex& index, Cursor cursor, std::uint8_t letter)
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

inline IndexAccess::Lookup lookupAt(const SuffixIndex& index, const Cursor& cursor)
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
inline std::optional<WordFilter> filterFor(const SuffixIndex& index, RepeatKind kind)
{
    if ((kind != RepeatKind::Inverted && kind != RepeatKind::Mirror) ||
        IndexAccess::indexedLength(index) < WordFilter::kWorthFrom) {
        return std::nullopt;
    }
    return WordFilter(index);
}

[[nodiscard]] inline bool searchable(const SuffixIndex& index)
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
inline constexpr std::size_t kParallelNodes = std::size_t{1} << 17;

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

}  // namespace tessaron::trie
