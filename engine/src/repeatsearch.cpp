// The four repeat searches over a built index.
//
// Direct repeats come from the position lists alone. The transformed kinds
// (inverted, mirror, complementary) walk the trie with the current word x and
// look up x and its transformed word t(x) for every node whose parent the walk
// reaches.

#include "engine/genome.h"
#include "lookup.h"

#include <algorithm>
#include <array>
#include <limits>
#include <new>

namespace tessaron {

namespace {

constexpr int kLetters = 4;

// Thrown inside a search when the list would outgrow the pair limit.
struct PairLimitReached {};

std::uint8_t complementOf(std::uint8_t letter)
{
    return static_cast<std::uint8_t>(letter ^ 1u);  // A<->T, C<->G in A, T, C, G order
}

void checkLimit(const RepeatList& list, std::int64_t limit)
{
    const std::int64_t cap = std::min<std::int64_t>(limit, std::numeric_limits<std::int32_t>::max());
    if (static_cast<std::int64_t>(list.storedPairs()) > cap) {
        throw PairLimitReached{};
    }
}

}  // namespace

class DirectSearch {
public:
    explicit DirectSearch(const Genome& genome) : genome_(genome) {}

    void run(RepeatList& list)
    {
        const int minLength = genome_.minLength_;
        const int bound = genome_.lengthBound_;
        const int maxLength = bound - 1;
        struct Entry {
            NodeId node;
            int depth;
        };
        std::vector<Entry> stack;
        stack.push_back({kRootNode, 0});
        while (!stack.empty()) {
            const Entry entry = stack.back();
            stack.pop_back();
            if (entry.depth >= bound) {
                continue;
            }
            const IndexNode& node = genome_.nodes_[entry.node];
            if (entry.depth >= minLength && node.hasPositions()) {
                takePairs(list, node, entry.depth, entry.depth == maxLength);
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

private:
    // Pairs of recorded occurrences that cannot be extended on either side
    // (below the maximum length), or every pair at the maximum length.
    void takePairs(RepeatList& list, const IndexNode& node, int depth, bool atMaximum)
    {
        const auto ends = genome_.positions(node);
        const std::size_t k = ends.size();
        kinds_.resize(k);
        starts_.resize(k);
        for (std::size_t i = 0; i < k; ++i) {
            // The letters before and after the occurrence, as one number 0..15.
            kinds_[i] = static_cast<std::uint8_t>(genome_.code(std::int64_t{ends[i]} - depth) << 2 |
                                                  genome_.code(std::int64_t{ends[i]} + 1));
            starts_[i] = genome_.reduce(std::int64_t{ends[i]} - depth + 1);
        }
        list.beginRepeat();
        if (atMaximum) {
            for (std::size_t a = 0; a < k; ++a) {
                for (std::size_t b = a + 1; b < k; ++b) {
                    list.addPair(starts_[a], starts_[b]);
                }
                checkLimit(list, genome_.pairLimit_);
            }
        } else if (k <= kShortList) {
            for (std::size_t a = 0; a < k; ++a) {
                for (std::size_t b = a + 1; b < k; ++b) {
                    if (unextendable(kinds_[a], kinds_[b])) {
                        list.addPair(starts_[a], starts_[b]);
                    }
                }
                checkLimit(list, genome_.pairLimit_);
            }
        } else {
            takeUnextendablePairs(list, k);
        }
        list.endRepeat(depth, false);
    }

    static bool unextendable(std::uint8_t a, std::uint8_t b)
    {
        return (a >> 2) != (b >> 2) && (a & 3u) != (b & 3u);
    }

    // The same pairs as the plain double loop, in the same order, but with
    // work in proportion to the pairs taken: a long list of a low-complexity
    // word (a homopolymer run, say) can have almost none.
    void takeUnextendablePairs(RepeatList& list, std::size_t k)
    {
        // next_[kind * (k + 1) + i]: the first b >= i whose occurrence differs
        // from one of that kind on both sides, or k.
        next_.assign(kKinds * (k + 1), static_cast<std::uint32_t>(k));
        std::uint32_t present = 0;
        for (std::size_t i = 0; i < k; ++i) {
            present |= 1u << kinds_[i];
        }
        for (std::size_t kind = 0; kind < kKinds; ++kind) {
            if ((present & (1u << kind)) == 0) {
                continue;
            }
            std::uint32_t* next = next_.data() + kind * (k + 1);
            for (std::size_t i = k; i-- > 0;) {
                next[i] = unextendable(static_cast<std::uint8_t>(kind), kinds_[i]) ? static_cast<std::uint32_t>(i)
                                                                                   : next[i + 1];
            }
        }
        for (std::size_t a = 0; a < k; ++a) {
            const std::uint32_t* next = next_.data() + kinds_[a] * (k + 1);
            for (std::size_t b = next[a + 1]; b < k; b = next[b + 1]) {
                list.addPair(starts_[a], starts_[b]);
            }
            checkLimit(list, genome_.pairLimit_);
        }
    }

    static constexpr std::size_t kShortList = 64;
    static constexpr std::size_t kKinds = 16;

    const Genome& genome_;
    std::vector<std::uint8_t> kinds_;
    std::vector<std::int32_t> starts_;
    std::vector<std::uint32_t> next_;
};

class TransformedSearch {
public:
    TransformedSearch(const Genome& genome, RepeatKind kind) : genome_(genome), kind_(kind) {}

    void run(RepeatList& list)
    {
        const int minLength = genome_.minLength_;
        const int maxLength = genome_.lengthBound_ - 1;
        if (maxLength <= 0) {
            return;
        }
        const auto size = static_cast<std::size_t>(maxLength) + 1;
        word_.assign(size, 0);
        transformed_.assign(size, 0);

        // Each frame is one node of the walk; a finished frame hands its four
        // values (one count pair per following letter, 0 for none) to its parent.
        std::vector<Frame> stack;
        stack.reserve(size + 1);
        stack.push_back(Frame{kRootNode, 0});
        while (!stack.empty()) {
            Frame& frame = stack.back();
            if (frame.depth >= maxLength || frame.next == kLetters) {
                const std::array<std::uint64_t, kLetters> values =
                    frame.depth >= maxLength ? std::array<std::uint64_t, kLetters>{} : frame.values;
                stack.pop_back();
                if (!stack.empty()) {
                    settle(list, stack.back(), values);
                }
                continue;
            }
            const int letter = frame.next;
            const NodeId child = genome_.nodes_[frame.node].children[static_cast<std::size_t>(letter)];
            if (child == kNoNode) {
                ++frame.next;
                continue;
            }
            const int length = frame.depth + 1;
            extendWord(frame.depth, static_cast<std::uint8_t>(letter));
            if (length < minLength) {
                frame.pending = Pending::Ignore;
                stack.push_back(Frame{child, length});
                continue;
            }
            const Genome::Lookup other = genome_.lookup(transformedWord(length), length);
            if (!other.found()) {
                // No longer word beginning with x can have its transformed
                // word either: skip the subtree.
                ++frame.next;
                continue;
            }
            const IndexNode& node = genome_.nodes_[child];
            frame.word.begin = genome_.leafStarts_.data() + node.leafBegin;
            frame.word.count = node.leafEnd - node.leafBegin;
            frame.word.firstStart = *frame.word.begin;
            frame.other = other;
            frame.pair = (std::uint64_t{frame.word.count} << 32) | other.count;
            frame.pending = Pending::Decide;
            if (length >= maxLength) {
                settle(list, frame, {});
            } else {
                stack.push_back(Frame{child, length});
            }
        }
    }

private:
    enum class Pending : std::uint8_t { None, Ignore, Decide };

    struct Frame {
        Frame(NodeId n, int d) : node(n), depth(d) {}
        NodeId node;
        int depth;
        int next = 0;
        Pending pending = Pending::None;
        std::array<std::uint64_t, kLetters> values{};
        // For the letter being examined: the lookups of x and t(x) and their
        // count pair (full counts, both 32 bits).
        Genome::Lookup word;
        Genome::Lookup other;
        std::uint64_t pair = 0;
    };

    // The child for `frame.next` has returned `child`: decide about x.
    void settle(RepeatList& list, Frame& frame, const std::array<std::uint64_t, kLetters>& child)
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
                report(list, frame.word, frame.other, length);
            }
        }
        frame.pending = Pending::None;
        ++frame.next;
    }

    void report(RepeatList& list, const Genome::Lookup& word, const Genome::Lookup& other, int length)
    {
        list.beginRepeat();
        const auto seconds = other.starts();
        for (const PositionLink p : word.starts()) {
            const std::int64_t after = std::int64_t{p} + length;
            for (const PositionLink q : seconds) {
                if (q >= after) {
                    list.addPair(p, q);
                }
            }
            checkLimit(list, genome_.pairLimit_);
        }
        list.endRepeat(length, true);
    }

    // Puts letter `letter` at index `index` of x and updates t(x) so that
    // transformedWord(L) is t of the first L letters of x.
    void extendWord(int index, std::uint8_t letter)
    {
        const auto i = static_cast<std::size_t>(index);
        const std::size_t last = word_.size() - 2;  // maximum length - 1
        word_[i] = letter;
        switch (kind_) {
        case RepeatKind::Inverted: transformed_[last - i] = complementOf(letter); break;
        case RepeatKind::Mirror: transformed_[last - i] = letter; break;
        case RepeatKind::Complementary: transformed_[i] = complementOf(letter); break;
        case RepeatKind::Direct: break;
        }
    }

    [[nodiscard]] const std::uint8_t* transformedWord(int length) const
    {
        if (kind_ == RepeatKind::Complementary) {
            return transformed_.data();
        }
        return transformed_.data() + (transformed_.size() - 1 - static_cast<std::size_t>(length));
    }

    const Genome& genome_;
    RepeatKind kind_;
    std::vector<std::uint8_t> word_;
    std::vector<std::uint8_t> transformed_;
};

namespace {

template <typename Search, typename... Args>
std::unique_ptr<RepeatList> runSearch(const Genome& genome, Args... args)
{
    try {
        auto list = std::make_unique<RepeatList>(genome.minLength(),
                                                 std::max(genome.lengthBound() - genome.minLength(), 0));
        if (list->slotCount() > 0 && genome.isIndexed()) {
            Search search(genome, args...);
            search.run(*list);
        }
        return list;
    } catch (const std::bad_alloc&) {
        return nullptr;
    } catch (const std::length_error&) {
        return nullptr;
    } catch (const PairLimitReached&) {
        return nullptr;
    }
}

}  // namespace

std::unique_ptr<RepeatList> Genome::findDirectRepeats() const
{
    return runSearch<DirectSearch>(*this);
}

std::unique_ptr<RepeatList> Genome::findRepeats(RepeatKind kind) const
{
    if (kind == RepeatKind::Direct) {
        return nullptr;
    }
    return runSearch<TransformedSearch>(*this, kind);
}

}  // namespace tessaron
