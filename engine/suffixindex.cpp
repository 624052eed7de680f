// The depth-limited circular suffix trie of a Genome: building, pruning and
// word lookup.
//
// The trie's leaves are lazy: a leaf stands for its word and for the rest of
// the occurrence that created it, until a later occurrence reaches it and
// splits it. The subtrees of the four first letters grow apart (on two
// threads for a large genome), each in its own arena; then they are laid out
// in pre-order in one array of nodes that refer to each other by index, with
// the position lists gathered into one array and the starts that a lookup
// lists precomputed as one run per node.

#include "engine/genome.h"
#include "engine/lookup.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <limits>
#include <new>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace tessaron {

namespace {

constexpr int kLetters = 4;

// Deepest prefix the lookup table covers, whatever the genome size.
constexpr int kMaxTableDepth = 11;

}  // namespace

void Genome::clearIndex()
{
    HugeVector<IndexNode>().swap(nodes_);
    HugeVector<PositionLink>().swap(positions_);
    HugeVector<PositionLink>().swap(leafStarts_);
    HugeVector<TableEntry>().swap(table_);
    HugeVector<std::uint8_t>().swap(circular_);
    tableDepth_ = 0;
    circularOffset_ = 0;
    indexedLength_ = 0;
    indexed_ = false;
}

bool Genome::buildIndex()
{
    return !buildIndex(SearchControl{}).has_value();
}

namespace {

// Genomes from this length on are built on two threads (when there are two).
constexpr std::int32_t kParallelFrom = 1 << 16;
// Suffixes inserted between two looks at the stop request.
constexpr std::int64_t kCheckEvery = 4096;
// Share of the build's progress that inserting the suffixes takes.
constexpr double kGrowShare = 0.8;

// A node while the trie grows, in the arena of the subtree of its first
// letter. Id 0, the one-letter word, is no one's child there, so 0 doubles as
// "no child".
struct BuildNode {
    std::int32_t position = 0;
    std::int32_t count = 0;
    std::array<std::uint32_t, kLetters> children{};
    // While growing, the last end appended to the node's list; while the
    // lists are gathered, where the node's next entry goes.
    std::int32_t tail = 0;

    [[nodiscard]] bool isLeaf() const { return (children[0] | children[1] | children[2] | children[3]) == 0; }
};

// The subtree of the words that begin with one letter. It grows from the
// suffixes that begin with that letter, in increasing order of start, and no
// other suffix reaches it, so the four subtrees grow independently.
struct Bucket {
    std::uint8_t letter = 0;
    std::int64_t starts = 0;
    HugeVector<BuildNode> nodes;
    // After pruning, the list of node u is positions[offsets[u] .. offsets[u + 1]).
    HugeVector<std::uint32_t> offsets;
    HugeVector<PositionLink> positions;
};

struct BuildStopped {};

}  // namespace

class IndexBuilder {
public:
    IndexBuilder(Genome& genome, const SearchControl& control) : genome_(genome), control_(control) {}

    std::optional<SearchFailure> run()
    {
        prepareCircular();
        std::array<Bucket, kLetters> buckets;
        countStarts(buckets);
        // Larger subtrees first, so that two threads finish close together.
        std::array<std::size_t, kLetters> order{0, 1, 2, 3};
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return buckets[a].starts > buckets[b].starts; });
        std::atomic<std::size_t> next{0};
        const auto work = [&](bool reporter) {
            try {
                for (std::size_t i = next++; i < kLetters; i = next++) {
                    Bucket& bucket = buckets[order[i]];
                    if (bucket.starts > 0) {
                        grow(bucket, reporter);
                    }
                }
            } catch (const std::bad_alloc&) {
                fail(SearchFailure::OutOfMemory);
            } catch (const std::length_error&) {
                fail(SearchFailure::OutOfMemory);
            } catch (const BuildStopped&) {
                fail(SearchFailure::Cancelled);
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
        genome_.prepareLookupTable();
        return std::nullopt;
    }

private:
    static constexpr int kNone = -1;

    [[nodiscard]] int threadCount() const
    {
        if (genome_.buildThreads_ > 0) {
            return std::min(genome_.buildThreads_, kLetters);
        }
        if (genome_.indexedLength_ < kParallelFrom) {
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
        const std::int32_t n = genome_.indexedLength_;
        const std::int64_t reach = std::max<std::int64_t>(std::int64_t{genome_.lengthBound_} + 6, 8);
        genome_.circularOffset_ = reach;
        genome_.circular_.resize(static_cast<std::size_t>(n + 2 * reach));
        for (std::int64_t i = -reach; i < n + reach; ++i) {
            genome_.circular_[static_cast<std::size_t>(i + reach)] = static_cast<std::uint8_t>(
                letterIndex(genome_.sequence_[static_cast<std::size_t>(genome_.reduce(i))]));
        }
    }

    void countStarts(std::array<Bucket, kLetters>& buckets) const
    {
        std::array<std::int64_t, kLetters> counts{};
        for (std::int32_t s = 0; s < genome_.indexedLength_; ++s) {
            ++counts[genome_.code(s)];
        }
        for (std::size_t letter = 0; letter < kLetters; ++letter) {
            buckets[letter].letter = static_cast<std::uint8_t>(letter);
            buckets[letter].starts = counts[letter];
        }
    }

    [[nodiscard]] std::int32_t reduce(std::int64_t position) const
    {
        const std::int64_t n = genome_.indexedLength_;
        return static_cast<std::int32_t>(position < n ? position : position % n);
    }

    // Inserts the suffixes of one letter, then prunes the subtree and gathers
    // its lists. Each insertion begins at the one-letter node, which the
    // first of them created, one letter into the suffix.
    void grow(Bucket& bucket, bool reporter)
    {
        const std::int32_t n = genome_.indexedLength_;
        const std::uint8_t* const seq = genome_.circular_.data() + genome_.circularOffset_;
        const std::int64_t depthLimit = std::int64_t{genome_.lengthBound_} + 5;
        const std::int64_t recordDepth = genome_.recordDepth_;
        auto& nodes = bucket.nodes;
        HugeVector<std::pair<std::uint32_t, std::int32_t>> recorded;
        nodes.reserve(static_cast<std::size_t>(bucket.starts) * 2 + 16);
        recorded.reserve(static_cast<std::size_t>(bucket.starts) * 2);

        const auto newNode = [&](std::int32_t position) {
            if (nodes.size() >= std::numeric_limits<std::uint32_t>::max()) {
                throw std::bad_alloc();
            }
            nodes.push_back(BuildNode{position, 0, {}, position});
            return static_cast<std::uint32_t>(nodes.size() - 1);
        };

        std::int64_t sinceCheck = 0;
        for (std::int32_t start = 0; start < n; ++start) {
            if (seq[start] != bucket.letter) {
                continue;
            }
            if (++sinceCheck == kCheckEvery) {
                sinceCheck = 0;
                pace(reporter);
            }
            if (nodes.empty()) {
                newNode(start);
                continue;
            }
            std::uint32_t node = 0;
            std::int64_t pos = std::int64_t{start} + 1;
            std::int64_t depth = 1;
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
                if (depth >= depthLimit) {
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
                const std::uint32_t created = newNode(following);
                nodes[node].children[followingLetter] = created;
            }
        }
        inserted_ += sinceCheck;
        nodes.shrink_to_fit();
        gatherLists(bucket, recorded);
    }

    void pace(bool reporter)
    {
        inserted_ += kCheckEvery;
        if (failure_.load(std::memory_order_relaxed) != kNone || control_.stopRequested()) {
            throw BuildStopped{};
        }
        if (reporter) {
            control_.report(kGrowShare * static_cast<double>(inserted_.load()) /
                            static_cast<double>(genome_.indexedLength_));
        }
    }

    // Pruning keeps a node's list only if the node is counted and its counted
    // occurrences are not all followed by the same letter; the one-letter
    // word keeps none. A kept list is the node's own position, then its
    // recorded ends in order.
    static void gatherLists(Bucket& bucket, HugeVector<std::pair<std::uint32_t, std::int32_t>>& recorded)
    {
        auto& nodes = bucket.nodes;
        const std::size_t count = nodes.size();
        auto& offsets = bucket.offsets;
        offsets.assign(count + 1, 0);
        for (std::size_t id = 1; id < count; ++id) {
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
            if (total > std::numeric_limits<std::uint32_t>::max()) {
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
    }

    // Lays the subtrees out after the root in pre-order (children in A, T, C,
    // G order), so that every walk of the finished index reads memory front
    // to back and every subtree is one run of ids; each subtree's arena goes
    // as soon as it is copied. Every node gets its list and the run of leaf
    // starts that a lookup of its word lists.
    void assemble(std::array<Bucket, kLetters>& buckets)
    {
        std::uint64_t nodeCount = 1;
        std::uint64_t positionCount = 0;
        std::uint64_t leafCount = 0;
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
        // The arrays fill front to back while the arenas go, so their pages
        // are touched only as they are written.
        auto& nodes = genome_.nodes_;
        nodes.reserve(static_cast<std::size_t>(nodeCount));
        genome_.positions_.reserve(static_cast<std::size_t>(positionCount));
        genome_.leafStarts_.reserve(static_cast<std::size_t>(leafCount));
        IndexNode root;
        root.count = genome_.indexedLength_;
        NodeId base = 1;
        for (const Bucket& bucket : buckets) {
            if (!bucket.nodes.empty()) {
                root.children[bucket.letter] = base;
                base += static_cast<NodeId>(bucket.nodes.size());
            }
        }
        nodes.push_back(root);

        base = 1;
        HugeVector<std::uint32_t> order;
        HugeVector<std::uint32_t> depths;
        HugeVector<NodeId> newId;
        for (Bucket& bucket : buckets) {
            const std::size_t count = bucket.nodes.size();
            if (count == 0) {
                continue;
            }
            preorder(bucket, order, depths);
            newId.resize(count);
            for (std::size_t j = 0; j < count; ++j) {
                newId[order[j]] = base + static_cast<NodeId>(j);
            }
            for (std::size_t j = 0; j < count; ++j) {
                const std::uint32_t u = order[j];
                const BuildNode& from = bucket.nodes[u];
                IndexNode to;
                to.position = from.position;
                to.count = from.count;
                for (std::size_t letter = 0; letter < kLetters; ++letter) {
                    to.children[letter] = from.children[letter] == 0 ? kNoNode : newId[from.children[letter]];
                }
                auto& positions = genome_.positions_;
                to.positionsBegin = static_cast<std::uint32_t>(positions.size());
                positions.insert(positions.end(), bucket.positions.begin() + bucket.offsets[u],
                                 bucket.positions.begin() + bucket.offsets[u + 1]);
                to.positionsEnd = static_cast<std::uint32_t>(positions.size());
                to.leafBegin = static_cast<std::uint32_t>(genome_.leafStarts_.size());
                if (from.isLeaf()) {
                    genome_.leafStarts_.push_back(
                        genome_.reduce(std::int64_t{from.position} - std::int64_t{depths[j]} + 1));
                }
                nodes.push_back(to);
            }
            base += static_cast<NodeId>(count);
            HugeVector<BuildNode>().swap(bucket.nodes);
            HugeVector<std::uint32_t>().swap(bucket.offsets);
            HugeVector<PositionLink>().swap(bucket.positions);
            if (control_.stopRequested()) {
                throw BuildStopped{};
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

    // The bucket's node ids in pre-order, with their depths.
    static void preorder(const Bucket& bucket, HugeVector<std::uint32_t>& order,
                         HugeVector<std::uint32_t>& depths)
    {
        order.clear();
        depths.clear();
        order.reserve(bucket.nodes.size());
        depths.reserve(bucket.nodes.size());
        std::vector<std::pair<std::uint32_t, std::uint32_t>> stack{{0, 1}};
        while (!stack.empty()) {
            const auto [id, depth] = stack.back();
            stack.pop_back();
            order.push_back(id);
            depths.push_back(depth);
            const BuildNode& node = bucket.nodes[id];
            for (std::size_t letter = kLetters; letter-- > 0;) {
                if (node.children[letter] != 0) {
                    stack.emplace_back(node.children[letter], depth + 1);
                }
            }
        }
    }

    Genome& genome_;
    const SearchControl& control_;
    std::atomic<std::int64_t> inserted_{0};
    std::atomic<int> failure_{kNone};
};

std::optional<SearchFailure> Genome::buildIndex(const SearchControl& control)
{
    clearIndex();
    recordDepth_ = std::max(minLength_ - 1, 2);
    if (control.stopRequested()) {
        return SearchFailure::Cancelled;
    }
    const std::int32_t n = length();
    if (n == 0) {
        return std::nullopt;
    }
    std::optional<SearchFailure> failure;
    try {
        indexedLength_ = n;
        failure = IndexBuilder(*this, control).run();
    } catch (const std::bad_alloc&) {
        failure = SearchFailure::OutOfMemory;
    } catch (const std::length_error&) {
        failure = SearchFailure::OutOfMemory;
    } catch (const BuildStopped&) {
        failure = SearchFailure::Cancelled;
    }
    if (failure) {
        clearIndex();
        return failure;
    }
    indexed_ = true;
    control.report(1.0);
    return std::nullopt;
}

namespace {

constexpr std::size_t levelOffset(int length)
{
    return ((std::size_t{1} << (2 * length)) - 1) / 3;
}

}  // namespace

void Genome::prepareLookupTable()
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

Genome::Lookup Genome::lookup(const std::uint8_t* word, int wordLength) const
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

Genome::Lookup Genome::finishLookup(NodeId node, int matched, const std::uint8_t* word, int wordLength) const
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

PositionList Genome::findWord(std::string_view word) const
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
