// The depth-limited circular suffix trie of a genome: building, pruning and
// word lookup.
//
// The trie's leaves are lazy: a leaf stands for its word and for the rest of
// the occurrence that created it, until a later occurrence reaches it and
// splits it. A suffix is inserted only up to the first gap after its start:
// the depth limit of an insertion is the lesser of the trie's and the
// distance to that gap. A leaf whose occurrence ends at a gap cannot be split
// by the letter that follows it; a later occurrence that passes it adds its
// own letter instead, and counts the first occurrence as a split does. The subtrees of the four first letters
// grow apart (on two threads for a large genome), each in its own arena; then they are laid out in pre-order
// in one array of nodes that refer to each other by index, with the position lists gathered into one array
// and the starts that a lookup lists precomputed as one run per node.

#include "engine/suffixindex.h"
#include "engine/alphabet.h"
#include "lookup.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <functional>
#include <limits>
#include <new>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace tessaron {

namespace {

// Deepest prefix the lookup table covers, whatever the genome size.
constexpr int kMaxTableDepth = 10;

}  // namespace

namespace {

// Genomes from this length on are built on two threads (when there are two).
constexpr std::int32_t kParallelFrom = 1 << 16;
// Suffixes inserted between two looks at the stop request.
constexpr std::int64_t kCheckEvery = 4096;
// Share of the build's progress that inserting the suffixes takes.
constexpr double kGrowShare = 0.8;
constexpr std::size_t kPrefixes = kLetters * kLetters;

// A node while the trie grows, in the arena of the subtree of its two-letter
// prefix. Id 0, the two-letter word, is no one's child there, so 0 doubles as
// "no child"; a child is always made after its parent, so it has a larger id.
struct BuildNode {
    std::int32_t position = 0;
    std::int32_t count = 0;
    std::array<std::uint32_t, kLetters> children{};
    // While growing, the last end appended to the node's list; once the lists
    // are gathered, where the node's list ends (it begins where the list of
    // the node before it ends).
    std::int32_t tail = 0;

    [[nodiscard]] bool isLeaf() const { return (children[0] | children[1] | children[2] | children[3]) == 0; }
};

// The subtree of the words that begin with one two-letter prefix. It grows
// from the suffixes that begin with that prefix, in increasing order of start,
// and no other suffix reaches it, so the sixteen subtrees grow independently.
// Its top node is made by the first of those suffixes (or, for the first
// occurrence of the letter, when the letter's second occurrence splits it),
// with the same fields either way.
struct Bucket {
    std::uint8_t first = 0;
    std::uint8_t second = 0;
    std::int64_t starts = 0;
    HugeVector<BuildNode> nodes;
    HugeVector<PositionLink> positions;  // the lists, node after node
};

}  // namespace

class IndexBuilder {
public:
    IndexBuilder(SuffixIndex& index, const SearchControl& control, int threads)
        : index_(index), genome_(*index.genome_), control_(control), threads_(threads)
    {
    }

    std::optional<SearchFailure> run()
    {
        prepareCircular();
        std::array<Bucket, kPrefixes> buckets;
        countStarts(buckets);
        // Larger subtrees first, so that the threads finish close together.
        std::array<std::size_t, kPrefixes> order{};
        for (std::size_t i = 0; i < kPrefixes; ++i) {
            order[i] = i;
        }
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return buckets[a].starts > buckets[b].starts; });
        std::atomic<std::size_t> next{0};
        const auto work = [&](bool reporter) {
            const auto failure = runStep(control_, [&]() -> std::optional<SearchFailure> {
                for (std::size_t i = next++; i < kPrefixes; i = next++) {
                    Bucket& bucket = buckets[order[i]];
                    if (bucket.starts > 0) {
                        grow(bucket, reporter);
                    }
                }
                return std::nullopt;
            });
            if (failure) {
                fail(*failure);
            }
        };
        {
            std::vector<std::jthread> helpers;
            for (int t = 1; t < threadCount(); ++t) {
                try {
                    helpers.emplace_back(work, false);
                } catch (const std::system_error&) {
                    break;  // fewer threads do the same work
                }
            }
            work(true);
        }
        if (const int failed = failure_.load(); failed != kNone) {
            return static_cast<SearchFailure>(failed);
        }
        if (control_.stopRequested()) {
            return SearchFailure::Cancelled;
        }
        assemble(buckets);
        control_.report(0.95);
        index_.prepareLookupTable();
        return std::nullopt;
    }

private:
    static constexpr int kNone = -1;

    [[nodiscard]] int threadCount() const
    {
        if (threads_ > 0) {
            return std::min(threads_, static_cast<int>(kPrefixes));
        }
        if (index_.indexedLength_ < kParallelFrom) {
            return 1;
        }
        return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 2);
    }

    void fail(SearchFailure failure)
    {
        int expected = kNone;
        failure_.compare_exchange_strong(expected, static_cast<int>(failure));
    }

    // The sequence as letter indices, repeated circularly on both sides as
    // far as any read of the index or the searches goes.
    void prepareCircular()
    {
        const std::int32_t n = index_.indexedLength_;
        const std::int64_t reach = std::max<std::int64_t>(std::int64_t{index_.lengthBound_} + 6, 8);
        index_.circularOffset_ = reach;
        index_.circular_.resize(static_cast<std::size_t>(n + 2 * reach));
        for (std::int64_t i = -reach; i < n + reach; ++i) {
            index_.circular_[static_cast<std::size_t>(i + reach)] =
                baseCode(genome_.sequence()[static_cast<std::size_t>(index_.reduce(i))]);
        }
    }

    // Occurrences of each letter, and the suffixes of each two-letter prefix
    // that reach its subtree: none where the one-letter node stays a leaf,
    // which it does unless a later occurrence of the letter goes on with a
    // letter (without gaps: unless the letter occurs twice).
    void countStarts(std::array<Bucket, kPrefixes>& buckets)
    {
        std::array<std::int64_t, kPrefixes> counts{};
        for (std::int32_t s = 0; s < index_.indexedLength_; ++s) {
            const std::uint8_t first = index_.code(s);
            const std::uint8_t second = index_.code(std::int64_t{s} + 1);
            if (first == kGapCode) {
                continue;
            }
            ++letterCounts_[first];
            if (second == kGapCode) {
                continue;
            }
            splits_[first] = splits_[first] || letterCounts_[first] >= 2;
            ++counts[std::size_t{first} * kLetters + second];
        }
        for (std::size_t prefix = 0; prefix < kPrefixes; ++prefix) {
            Bucket& bucket = buckets[prefix];
            bucket.first = static_cast<std::uint8_t>(prefix / kLetters);
            bucket.second = static_cast<std::uint8_t>(prefix % kLetters);
            bucket.starts = splits_[bucket.first] ? counts[prefix] : 0;
        }
    }

    [[nodiscard]] std::int32_t reduce(std::int64_t position) const
    {
        const std::int64_t n = index_.indexedLength_;
        return static_cast<std::int32_t>(position < n ? position : position % n);
    }

    // Inserts the suffixes of one prefix, then prunes the subtree and gathers
    // its lists. Each insertion begins at the two-letter node, two letters
    // into the suffix.
    void grow(Bucket& bucket, bool reporter)
    {
        const std::int32_t n = index_.indexedLength_;
        const std::uint8_t* const seq = index_.circular_.data() + index_.circularOffset_;
        const std::int64_t depthLimit = std::int64_t{index_.lengthBound_} + 5;
        const std::int64_t recordDepth = index_.recordDepth_;
        auto& nodes = bucket.nodes;
        HugeVector<std::pair<std::uint32_t, std::int32_t>> recorded;
        // Room for what a random sequence needs (1.7 nodes and about three
        // recorded ends per base); pages not written are never touched.
        nodes.reserve(static_cast<std::size_t>(bucket.starts) * 2 + 16);
        recorded.reserve(static_cast<std::size_t>(bucket.starts) * 4 + 16);

        const auto newNode = [&](std::int32_t position) {
            if (nodes.size() >= std::numeric_limits<std::uint32_t>::max()) {
                throw std::bad_alloc();
            }
            nodes.push_back(BuildNode{position, 0, {}, position});
            return static_cast<std::uint32_t>(nodes.size() - 1);
        };

        const auto& gaps = genome_.gaps();
        std::size_t nextGap = 0;  // the first gap at or after the start
        std::int64_t sinceCheck = 0;
        for (std::int32_t start = 0; start < n; ++start) {
            if (seq[start] != bucket.first || seq[start + 1] != bucket.second) {
                continue;
            }
            std::int64_t limit = depthLimit;
            if (!gaps.empty()) {
                while (nextGap < gaps.size() && gaps[nextGap] < start) {
                    ++nextGap;
                }
                const std::int64_t gap = nextGap < gaps.size() ? gaps[nextGap] : std::int64_t{gaps[0]} + n;
                limit = std::min(depthLimit, gap - start);
            }
            if (++sinceCheck == kCheckEvery) {
                sinceCheck = 0;
                pace(reporter);
            }
            if (nodes.empty()) {
                newNode(reduce(std::int64_t{start} + 1));
                continue;
            }
            std::uint32_t node = 0;
            std::int64_t pos = std::int64_t{start} + 2;
            std::int64_t depth = 2;
            for (;;) {
                BuildNode* current = &nodes[node];
                if (start > current->position) {
                    ++current->count;
                }
                if (depth > recordDepth) {
                    const auto end = static_cast<std::int32_t>(pos - 1);
                    if (current->tail != end && pos - current->tail > depth) {
                        recorded.emplace_back(node, end);
                        current->tail = end;
                    }
                }
                if (depth >= limit) {
                    break;
                }
                const std::uint8_t letter = seq[pos];
                const std::uint32_t child = current->children[letter];
                if (child != 0) {
                    node = child;
                    ++pos;
                    ++depth;
                    continue;
                }
                if (!current->isLeaf()) {
                    const std::uint32_t created = newNode(reduce(pos));
                    nodes[node].children[letter] = created;
                    break;
                }
                // A leaf reached by a later occurrence: give it the child that
                // its first occurrence continues with, then look again from
                // the same node.
                const std::int32_t following = reduce(std::int64_t{current->position} + 1);
                const std::uint8_t followingLetter = seq[following];
                if (followingLetter == kGapCode) {
                    // Its occurrence ends at a gap: it stays as it is, and
                    // the later occurrence goes on in a leaf of its own.
                    if (start > current->position) {
                        ++current->count;
                    }
                    const std::uint32_t created = newNode(reduce(pos));
                    nodes[node].children[letter] = created;
                    break;
                }
                const std::uint32_t created = newNode(following);
                nodes[node].children[followingLetter] = created;
            }
        }
        inserted_ += sinceCheck;
        gatherLists(bucket, recorded);
    }

    void pace(bool reporter)
    {
        inserted_ += kCheckEvery;
        if (failure_.load(std::memory_order_relaxed) != kNone || control_.stopRequested()) {
            throw SearchStopped{};
        }
        if (reporter) {
            control_.report(kGrowShare * static_cast<double>(inserted_.load()) /
                            static_cast<double>(index_.indexedLength_));
        }
    }

    // Pruning keeps a node's list only if the node is counted and its counted
    // occurrences are not all followed by the same letter. A kept list is the
    // node's own position, then its recorded ends in order.
    static void gatherLists(Bucket& bucket, HugeVector<std::pair<std::uint32_t, std::int32_t>>& recorded)
    {
        auto& nodes = bucket.nodes;
        const std::size_t count = nodes.size();
        HugeVector<std::uint32_t> offsets(count + 1, 0);
        for (std::size_t id = 0; id < count; ++id) {
            const BuildNode& node = nodes[id];
            bool keep = node.count != 0;
            for (const std::uint32_t child : node.children) {
                if (child != 0 && nodes[child].count == node.count) {
                    keep = false;
                }
            }
            offsets[id] = keep ? 1 : 0;
        }
        for (const auto& entry : recorded) {
            if (offsets[entry.first] != 0) {
                ++offsets[entry.first];
            }
        }
        std::uint64_t total = 0;
        for (std::size_t id = 0; id <= count; ++id) {
            const std::uint32_t size = offsets[id];
            offsets[id] = static_cast<std::uint32_t>(total);
            total += size;
            if (total > std::numeric_limits<std::int32_t>::max()) {
                throw std::bad_alloc();
            }
        }
        bucket.positions.resize(static_cast<std::size_t>(total));
        for (std::size_t id = 0; id < count; ++id) {
            BuildNode& node = nodes[id];
            if (offsets[id + 1] != offsets[id]) {
                bucket.positions[offsets[id]] = node.position;
                node.tail = static_cast<std::int32_t>(offsets[id] + 1);
            }
        }
        for (const auto& entry : recorded) {
            if (offsets[entry.first + 1] != offsets[entry.first]) {
                BuildNode& node = nodes[entry.first];
                bucket.positions[static_cast<std::size_t>(node.tail++)] = entry.second;
            }
        }
        HugeVector<std::pair<std::uint32_t, std::int32_t>>().swap(recorded);
        for (std::size_t id = 0; id < count; ++id) {
            nodes[id].tail = static_cast<std::int32_t>(offsets[id + 1]);
        }
    }

    // Lays the trie out in pre-order (children in A, T, C, G order): the
    // root, then per letter its one-letter node followed by the subtrees of
    // its four prefixes. So every walk of the finished index reads memory
    // front to back and every subtree is one run of ids. Each arena goes as
    // soon as it is copied, and the arrays fill front to back, so their pages
    // are touched only as they are written. Every node gets its list and the
    // run of leaf starts that a lookup of its word lists.
    void assemble(std::array<Bucket, kPrefixes>& buckets)
    {
        std::uint64_t nodeCount = 1;
        std::uint64_t positionCount = 0;
        std::uint64_t leafCount = 0;
        for (std::size_t letter = 0; letter < kLetters; ++letter) {
            if (letterCounts_[letter] > 0) {
                ++nodeCount;
                leafCount += splits_[letter] ? 0 : 1;
            }
        }
        for (const Bucket& bucket : buckets) {
            nodeCount += bucket.nodes.size();
            positionCount += bucket.positions.size();
            for (const BuildNode& node : bucket.nodes) {
                leafCount += node.isLeaf() ? 1 : 0;
            }
        }
        if (nodeCount > std::numeric_limits<NodeId>::max() ||
            positionCount > std::numeric_limits<std::uint32_t>::max()) {
            throw std::bad_alloc();
        }
        auto& nodes = index_.nodes_;
        auto& positions = index_.positions_;
        auto& leafStarts = index_.leafStarts_;
        nodes.reserve(static_cast<std::size_t>(nodeCount));
        positions.reserve(static_cast<std::size_t>(positionCount));
        leafStarts.reserve(static_cast<std::size_t>(leafCount));
        IndexNode root;
        root.count = index_.indexedLength_;
        nodes.push_back(root);

        struct Pending {
            std::uint32_t id;
            std::uint32_t depth;
            NodeId parent;
            std::uint8_t letter;
        };
        std::vector<Pending> stack;
        for (std::uint8_t letter = 0; letter < kLetters; ++letter) {
            if (letterCounts_[letter] == 0) {
                continue;
            }
            // The one-letter word: its first occurrence, counted once the
            // letter occurs twice, the first occurrence too once the node is
            // split; it keeps no list.
            const auto oneLetter = static_cast<NodeId>(nodes.size());
            nodes[kRootNode].children[letter] = oneLetter;
            IndexNode single;
            single.position = firstStart(letter);
            const std::int64_t occurrences = letterCounts_[letter];
            single.count = static_cast<std::int32_t>(splits_[letter] ? occurrences : occurrences - 1);
            single.positionsBegin = static_cast<std::uint32_t>(positions.size());
            single.leafBegin = static_cast<std::uint32_t>(leafStarts.size());
            if (!splits_[letter]) {
                leafStarts.push_back(single.position);
            }
            nodes.push_back(single);
            for (std::uint8_t second = 0; second < kLetters; ++second) {
                Bucket& bucket = buckets[std::size_t{letter} * kLetters + second];
                if (bucket.nodes.empty()) {
                    continue;
                }
                // Pre-order of the arena: each node is written when it is
                // reached, and its parent learns its new id then.
                stack.push_back({0, 2, oneLetter, second});
                while (!stack.empty()) {
                    const Pending item = stack.back();
                    stack.pop_back();
                    const BuildNode& from = bucket.nodes[item.id];
                    const auto id = static_cast<NodeId>(nodes.size());
                    nodes[item.parent].children[item.letter] = id;
                    IndexNode to;
                    to.position = from.position;
                    to.count = from.count;
                    const std::uint32_t listBegin =
                        item.id == 0 ? 0 : static_cast<std::uint32_t>(bucket.nodes[item.id - 1].tail);
                    to.positionsBegin = static_cast<std::uint32_t>(positions.size());
                    positions.insert(positions.end(), bucket.positions.begin() + listBegin,
                                     bucket.positions.begin() + from.tail);
                    to.leafBegin = static_cast<std::uint32_t>(leafStarts.size());
                    if (from.isLeaf()) {
                        leafStarts.push_back(
                            index_.reduce(std::int64_t{from.position} - std::int64_t{item.depth} + 1));
                    }
                    nodes.push_back(to);
                    for (std::size_t next = kLetters; next-- > 0;) {
                        if (from.children[next] != 0) {
                            stack.push_back(
                                {from.children[next], item.depth + 1, id, static_cast<std::uint8_t>(next)});
                        }
                    }
                }
                HugeVector<BuildNode>().swap(bucket.nodes);
                HugeVector<PositionLink>().swap(bucket.positions);
            }
            if (control_.stopRequested()) {
                throw SearchStopped{};
            }
        }
        // Children come after their parent, so one backward pass closes every run.
        for (std::size_t id = nodes.size(); id-- > 0;) {
            IndexNode& node = nodes[id];
            if (node.isLeaf()) {
                node.leafEnd = node.leafBegin + 1;
                continue;
            }
            node.leafEnd = node.leafBegin;
            for (const NodeId child : node.children) {
                if (child != kNoNode) {
                    node.leafEnd = std::max(node.leafEnd, nodes[child].leafEnd);
                }
            }
        }
    }

    [[nodiscard]] std::int32_t firstStart(std::uint8_t letter) const
    {
        for (std::int32_t s = 0; s < index_.indexedLength_; ++s) {
            if (index_.code(s) == letter) {
                return s;
            }
        }
        return 0;
    }

    SuffixIndex& index_;
    const Genome& genome_;
    const SearchControl& control_;
    int threads_;
    std::array<std::int64_t, kLetters> letterCounts_{};
    std::array<bool, kLetters> splits_{};  // whether the one-letter node has children
    std::atomic<std::int64_t> inserted_{0};
    std::atomic<int> failure_{kNone};
};

SuffixIndex::SuffixIndex(std::shared_ptr<const Genome> genome)
    : genome_(std::move(genome)),
      minLength_(genome_->minLength()),
      lengthBound_(genome_->lengthBound()),
      recordDepth_(std::max(minLength_ - 1, 2))
{
}

SuffixIndex::~SuffixIndex() = default;

const IndexNode& SuffixIndex::root() const
{
    static const IndexNode empty;
    return nodes_.empty() ? empty : nodes_[kRootNode];
}

int SuffixIndex::baseCount(char letter) const
{
    const int index = letterIndex(letter);
    if (index < 0) {
        return 0;
    }
    const NodeId child = root().children[static_cast<std::size_t>(index)];
    return child == kNoNode ? 0 : nodes_[child].count;
}

std::int32_t SuffixIndex::reduce(std::int64_t position) const
{
    const std::int64_t n = indexedLength_;
    std::int64_t r = position % n;
    if (r < 0) {
        r += n;
    }
    return static_cast<std::int32_t>(r);
}

SuffixIndexResult buildIndex(std::shared_ptr<const Genome> genome, const SearchControl& control, int threads)
{
    return runStep(control, [&]() -> SuffixIndexResult {
        std::shared_ptr<SuffixIndex> index(new SuffixIndex(std::move(genome)));
        const Genome& indexed = index->genome();
        if (indexed.length() == indexed.gapCount()) {
            return index;  // no letter: nothing to index
        }
        index->indexedLength_ = indexed.length();
        if (const auto failure = IndexBuilder(*index, control, threads).run()) {
            return *failure;
        }
        control.report(1.0);
        return index;
    });
}

namespace {

constexpr std::size_t levelOffset(int length)
{
    return ((std::size_t{1} << (2 * length)) - 1) / 3;
}

}  // namespace

void SuffixIndex::prepareLookupTable()
{
    int depth = 0;
    while (depth < kMaxTableDepth &&
           (std::int64_t{1} << (2 * (depth + 1))) <= 2 * std::int64_t{indexedLength_}) {
        ++depth;
    }
    tableDepth_ = depth;
    table_.assign(levelOffset(depth + 1), TableEntry{});
    const auto complete = [this](NodeId id) {
        const IndexNode& node = nodes_[id];
        return TableEntry{id, node.leafBegin, node.leafEnd, leafStarts_[node.leafBegin]};
    };
    table_[0] = complete(kRootNode);

    // Level by level: a word's entry is its path node one level down, or its
    // parent's where the path ends above.
    for (int length = 1; length <= depth; ++length) {
        const std::size_t parents = levelOffset(length - 1);
        const std::size_t here = levelOffset(length);
        const std::size_t parentCount = std::size_t{1} << (2 * (length - 1));
        for (std::size_t code = 0; code < parentCount; ++code) {
            const TableEntry parent = table_[parents + code];
            const bool parentComplete = parent.leafEnd != parent.leafBegin;
            for (std::size_t letter = 0; letter < kLetters; ++letter) {
                TableEntry& entry = table_[here + (code << 2) + letter];
                const NodeId child = parentComplete ? nodes_[parent.node].children[letter] : kNoNode;
                if (child != kNoNode) {
                    entry = complete(child);
                } else if (parentComplete) {
                    entry = TableEntry{parent.node, 0, 0, length - 1};
                } else {
                    entry = parent;
                }
            }
        }
    }
}

std::span<const PositionLink> SuffixIndex::positions(const IndexNode& node) const
{
    const std::less<const IndexNode*> before;
    if (nodes_.empty() || before(&node, nodes_.data()) || !before(&node, nodes_.data() + nodes_.size())) {
        return {};
    }
    return positions(static_cast<NodeId>(&node - nodes_.data()));
}

void SuffixIndex::prefetchLookup(const std::uint8_t* word, int wordLength) const
{
    const int prefix = std::min(wordLength, tableDepth_);
    std::uint32_t code = 0;
    for (int i = 0; i < prefix; ++i) {
        code = (code << 2) | word[i];
    }
    __builtin_prefetch(table_.data() + levelOffset(prefix) + code);
}

SuffixIndex::Lookup SuffixIndex::lookup(const std::uint8_t* word, int wordLength) const
{
    if (indexedLength_ == 0 || wordLength <= 0) {
        return {};
    }
    const int prefix = std::min(wordLength, tableDepth_);
    std::uint32_t code = 0;
    for (int i = 0; i < prefix; ++i) {
        code = (code << 2) | word[i];
    }
    const TableEntry& entry = table_[levelOffset(prefix) + code];
    if (entry.leafEnd == entry.leafBegin) {
        return finishLookup(entry.node, entry.firstOrDepth, word, wordLength);
    }
    if (prefix == wordLength) {
        Lookup result;
        result.begin = leafStarts_.data() + entry.leafBegin;
        result.count = entry.leafEnd - entry.leafBegin;
        result.firstStart = entry.firstOrDepth;
        return result;
    }
    NodeId node = entry.node;
    int matched = prefix;
    while (matched < wordLength) {
        const NodeId child = nodes_[node].children[word[matched]];
        if (child == kNoNode) {
            break;
        }
        node = child;
        ++matched;
    }
    return finishLookup(node, matched, word, wordLength);
}

SuffixIndex::Lookup SuffixIndex::finishLookup(NodeId node, int matched, const std::uint8_t* word,
                                              int wordLength) const
{
    Lookup result;
    const IndexNode& found = nodes_[node];
    if (matched == wordLength) {
        result.begin = leafStarts_.data() + found.leafBegin;
        result.count = found.leafEnd - found.leafBegin;
        result.firstStart = *result.begin;
        return result;
    }
    // The word leaves the trie here: compare the rest with the one occurrence
    // this node stands for, without running over the end of the sequence.
    const std::int64_t next = reduce(std::int64_t{found.position} + 1);
    for (int i = matched; i < wordLength; ++i) {
        const std::int64_t at = next + (i - matched);
        if (at >= indexedLength_ || code(at) != word[i]) {
            return result;
        }
    }
    result.firstStart = reduce(std::int64_t{found.position} - matched + 1);
    result.count = 1;
    return result;
}

PositionList SuffixIndex::findWord(std::string_view word) const
{
    std::vector<std::uint8_t> letters;
    letters.reserve(word.size());
    for (const char ch : word) {
        const int index = letterIndex(ch);
        if (index < 0) {
            return {};
        }
        letters.push_back(static_cast<std::uint8_t>(index));
    }
    if (letters.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        return {};
    }
    const Lookup found = lookup(letters.data(), static_cast<int>(letters.size()));
    const auto starts = found.starts();
    return {starts.begin(), starts.end()};
}

}  // namespace tessaron
