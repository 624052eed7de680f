// The depth-limited circular suffix trie of a Genome: building, pruning and
// word lookup.
//
// The trie's leaves are lazy: a leaf stands for its word and for the rest of
// the occurrence that created it, until a later occurrence reaches it and
// splits it. Nodes live in one arena and refer to each other by index; the
// position lists are gathered into one array after building, and the starts
// that a lookup lists are precomputed as one run per node.

#include "engine/genome.h"
#include "lookup.h"

#include <algorithm>
#include <limits>
#include <new>

namespace tessaron {

namespace {

constexpr int kLetters = 4;

// Deepest prefix the lookup table covers, whatever the genome size.
constexpr int kMaxTableDepth = 11;

}  // namespace

void Genome::clearIndex()
{
    std::vector<IndexNode>().swap(nodes_);
    std::vector<PositionLink>().swap(positions_);
    std::vector<PositionLink>().swap(leafStarts_);
    std::vector<TableEntry>().swap(table_);
    std::vector<std::uint8_t>().swap(circular_);
    tableDepth_ = 0;
    circularOffset_ = 0;
    indexedLength_ = 0;
    indexed_ = false;
}

bool Genome::buildIndex()
{
    clearIndex();
    recordDepth_ = std::max(minLength_ - 1, 2);
    const std::int32_t n = length();
    if (n == 0) {
        return true;
    }
    try {
        indexedLength_ = n;
        // Reads run at most the depth limit past either end of a position.
        const std::int64_t reach = std::max<std::int64_t>(std::int64_t{lengthBound_} + 6, 8);
        circularOffset_ = reach;
        circular_.resize(static_cast<std::size_t>(n + 2 * reach));
        for (std::int64_t i = -reach; i < n + reach; ++i) {
            circular_[static_cast<std::size_t>(i + reach)] =
                static_cast<std::uint8_t>(letterIndex(sequence_[static_cast<std::size_t>(reduce(i))]));
        }

        nodes_.reserve(static_cast<std::size_t>(n) * 2 + 16);
        nodes_.emplace_back().count = n;
        std::vector<std::pair<NodeId, std::int32_t>> recorded;
        recorded.reserve(static_cast<std::size_t>(n) * 2);
        for (std::int32_t start = 0; start < n; ++start) {
            insertSuffix(start, recorded);
        }
        renumberInPreorder(recorded);
        pruneAndGroupPositions(recorded);
        std::vector<std::pair<NodeId, std::int32_t>>().swap(recorded);
        numberLeaves();
        prepareLookupTable();
        nodes_.shrink_to_fit();
    } catch (const std::bad_alloc&) {
        clearIndex();
        return false;
    } catch (const std::length_error&) {
        clearIndex();
        return false;
    }
    indexed_ = true;
    return true;
}

NodeId Genome::newNode(std::int32_t position)
{
    if (nodes_.size() >= std::numeric_limits<NodeId>::max()) {
        throw std::bad_alloc();
    }
    const auto id = static_cast<NodeId>(nodes_.size());
    IndexNode& node = nodes_.emplace_back();
    node.position = position;
    node.positionsBegin = static_cast<std::uint32_t>(position);
    return id;
}

// One suffix, from `start`. While building, a node's `positionsBegin` holds
// the last position appended to its list (every list begins with the node's
// own `position`); the appended ends go to `recorded` in order and are
// grouped per node after pruning.
void Genome::insertSuffix(std::int32_t start, std::vector<std::pair<NodeId, std::int32_t>>& recorded)
{
    const std::int64_t depthLimit = std::int64_t{lengthBound_} + 5;
    NodeId node = kRootNode;
    std::int64_t pos = start;
    std::int64_t depth = 0;
    bool fresh = true;
    for (;;) {
        IndexNode* current = &nodes_[node];
        if (start > current->position) {
            ++current->count;
        }
        if (!fresh && depth > recordDepth_) {
            const auto end = static_cast<std::int32_t>(pos - 1);
            const auto tail = static_cast<std::int32_t>(current->positionsBegin);
            if (tail != end && pos - tail > depth) {
                recorded.emplace_back(node, end);
                current->positionsBegin = static_cast<std::uint32_t>(end);
            }
        }
        if (depth >= depthLimit) {
            return;
        }
        const std::uint8_t letter = code(pos);
        const NodeId child = current->children[letter];
        if (child != kNoNode) {
            node = child;
            ++pos;
            ++depth;
            fresh = false;
            continue;
        }
        if (fresh || !current->isLeaf()) {
            const NodeId created = newNode(reduce(pos));
            nodes_[node].children[letter] = created;
            return;
        }
        // A leaf reached by a later occurrence: give it the child that its
        // first occurrence continues with, then look again from the same node.
        const std::int32_t next = reduce(std::int64_t{current->position} + 1);
        const std::uint8_t nextLetter = code(next);
        const NodeId created = newNode(next);
        nodes_[node].children[nextLetter] = created;
        fresh = false;
    }
}

// Pruning keeps a node's list only if the node is counted and its counted
// occurrences are not all followed by the same letter; the one-letter words
// keep none. The surviving lists (first the node's own position, then its
// recorded ends in order) are laid out one after another.
void Genome::pruneAndGroupPositions(const std::vector<std::pair<NodeId, std::int32_t>>& recorded)
{
    const std::size_t nodeCount = nodes_.size();
    std::vector<std::uint32_t> sizes(nodeCount, 0);
    for (std::size_t id = 1; id < nodeCount; ++id) {
        const IndexNode& node = nodes_[id];
        bool keep = node.count != 0;
        for (const NodeId child : node.children) {
            if (child != kNoNode && nodes_[child].count == node.count) {
                keep = false;
            }
        }
        sizes[id] = keep ? 1 : 0;
    }
    for (const NodeId child : nodes_[kRootNode].children) {
        if (child != kNoNode) {
            sizes[child] = 0;
        }
    }
    for (const auto& entry : recorded) {
        if (sizes[entry.first] != 0) {
            ++sizes[entry.first];
        }
    }
    std::uint64_t offset = 0;
    for (std::size_t id = 0; id < nodeCount; ++id) {
        nodes_[id].positionsBegin = static_cast<std::uint32_t>(offset);
        offset += sizes[id];
        nodes_[id].positionsEnd = static_cast<std::uint32_t>(offset);
        if (offset > std::numeric_limits<std::uint32_t>::max()) {
            throw std::bad_alloc();
        }
    }
    positions_.resize(static_cast<std::size_t>(offset));
    // `sizes` becomes the fill cursor of each list.
    for (std::size_t id = 0; id < nodeCount; ++id) {
        IndexNode& node = nodes_[id];
        if (node.hasPositions()) {
            positions_[node.positionsBegin] = node.position;
            sizes[id] = node.positionsBegin + 1;
        }
    }
    for (const auto& entry : recorded) {
        if (nodes_[entry.first].hasPositions()) {
            positions_[sizes[entry.first]++] = entry.second;
        }
    }
}

// Lays the nodes out in pre-order (children in A, T, C, G order), so that
// every walk of the finished index reads memory front to back and every
// subtree is one run of ids.
void Genome::renumberInPreorder(std::vector<std::pair<NodeId, std::int32_t>>& recorded)
{
    const std::size_t count = nodes_.size();
    std::vector<NodeId> order;
    order.reserve(count);
    {
        std::vector<NodeId> stack{kRootNode};
        while (!stack.empty()) {
            const NodeId id = stack.back();
            stack.pop_back();
            order.push_back(id);
            const IndexNode& node = nodes_[id];
            for (int letter = kLetters - 1; letter >= 0; --letter) {
                const NodeId child = node.children[static_cast<std::size_t>(letter)];
                if (child != kNoNode) {
                    stack.push_back(child);
                }
            }
        }
    }
    std::vector<NodeId> newId(count);
    for (std::size_t i = 0; i < count; ++i) {
        newId[order[i]] = static_cast<NodeId>(i);
    }
    std::vector<IndexNode> reordered(count);
    for (std::size_t i = 0; i < count; ++i) {
        IndexNode& node = reordered[i];
        node = nodes_[order[i]];
        for (NodeId& child : node.children) {
            if (child != kNoNode) {
                child = newId[child];
            }
        }
    }
    std::vector<NodeId>().swap(order);
    nodes_.swap(reordered);
    std::vector<IndexNode>().swap(reordered);
    for (auto& entry : recorded) {
        entry.first = newId[entry.first];
    }
}

// Gives every node the run of leaf starts below it, in A, T, C, G order: what
// a lookup of the node's word lists. In pre-order the leaves below a node are
// the leaves among its subtree's ids, so they follow the leaves before it.
void Genome::numberLeaves()
{
    const std::size_t count = nodes_.size();
    std::vector<std::int32_t> depth(count, 0);
    std::uint32_t leaves = 0;
    for (std::size_t id = 0; id < count; ++id) {
        IndexNode& node = nodes_[id];
        node.leafBegin = leaves;
        if (node.isLeaf()) {
            ++leaves;
        }
        for (const NodeId child : node.children) {
            if (child != kNoNode) {
                depth[child] = depth[id] + 1;
            }
        }
    }
    leafStarts_.resize(leaves);
    for (std::size_t id = count; id-- > 0;) {
        IndexNode& node = nodes_[id];
        if (node.isLeaf()) {
            node.leafEnd = node.leafBegin + 1;
            leafStarts_[node.leafBegin] = reduce(std::int64_t{node.position} - depth[id] + 1);
            continue;
        }
        node.leafEnd = node.leafBegin;
        for (const NodeId child : node.children) {
            if (child != kNoNode) {
                node.leafEnd = std::max(node.leafEnd, nodes_[child].leafEnd);
            }
        }
    }
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
