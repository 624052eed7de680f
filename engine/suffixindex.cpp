// The depth-limited circular suffix trie of a Genome: building, pruning and
// word lookup.
//
// The trie's leaves are lazy: a leaf stands for its word and for the rest of
// the occurrence that created it, until a later occurrence reaches it and
// splits it. Nodes live in one arena and refer to each other by index; the
// position lists are gathered into one array after building, and the starts
// that a lookup lists are precomputed as one run per node.

#include "engine/genome.h"
#include "engine/lookup.h"

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
    std::vector<IndexNode>(1).swap(nodes_);
    std::vector<PositionLink>().swap(positions_);
    std::vector<PositionLink>().swap(leafStarts_);
    std::vector<NodeId>().swap(tableNode_);
    std::vector<std::uint8_t>().swap(tableDepthReached_);
    std::vector<std::uint8_t>().swap(circular_);
    tableDepth_ = 0;
    circularOffset_ = 0;
    indexedLength_ = 0;
    indexed_ = false;
}

bool Genome::buildIndex()
{
    const std::int32_t count = nodes_[kRootNode].count;
    clearIndex();
    nodes_[kRootNode].count = count;
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
        nodes_[kRootNode].count = n;
        std::vector<std::int32_t> lastRecorded(1, 0);
        lastRecorded.reserve(nodes_.capacity());
        std::vector<std::pair<NodeId, std::int32_t>> recorded;
        recorded.reserve(static_cast<std::size_t>(n) * 2);
        for (std::int32_t start = 0; start < n; ++start) {
            insertSuffix(start, lastRecorded, recorded);
        }
        std::vector<std::int32_t>().swap(lastRecorded);
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

NodeId Genome::newNode(std::int32_t position, std::vector<std::int32_t>& lastRecorded)
{
    if (nodes_.size() >= std::numeric_limits<NodeId>::max()) {
        throw std::bad_alloc();
    }
    const auto id = static_cast<NodeId>(nodes_.size());
    IndexNode& node = nodes_.emplace_back();
    node.position = position;
    lastRecorded.push_back(position);
    return id;
}

// One suffix, from `start`. `lastRecorded` holds, per node, the last position
// appended to its list (every node's list begins with its own `position`);
// the appended ends go to `recorded` in order and are grouped per node later.
void Genome::insertSuffix(std::int32_t start, std::vector<std::int32_t>& lastRecorded,
                          std::vector<std::pair<NodeId, std::int32_t>>& recorded)
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
            const std::int32_t tail = lastRecorded[node];
            if (tail != end && pos - tail > depth) {
                recorded.emplace_back(node, end);
                lastRecorded[node] = end;
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
            const NodeId created = newNode(reduce(pos), lastRecorded);
            nodes_[node].children[letter] = created;
            return;
        }
        // A leaf reached by a later occurrence: give it the child that its
        // first occurrence continues with, then look again from the same node.
        const std::int32_t next = reduce(std::int64_t{current->position} + 1);
        const std::uint8_t nextLetter = code(next);
        const NodeId created = newNode(next, lastRecorded);
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

// Gives every node the run of leaf starts below it, in A, T, C, G order: what
// a lookup of the node's word lists.
void Genome::numberLeaves()
{
    struct Frame {
        NodeId node;
        std::int32_t depth;
        int next;
    };
    leafStarts_.reserve(nodes_.size() / 2 + 1);
    std::vector<Frame> stack;
    stack.push_back({kRootNode, 0, 0});
    nodes_[kRootNode].leafBegin = 0;
    while (!stack.empty()) {
        Frame& frame = stack.back();
        IndexNode& node = nodes_[frame.node];
        if (frame.next == 0 && node.isLeaf()) {
            node.leafBegin = static_cast<std::uint32_t>(leafStarts_.size());
            leafStarts_.push_back(reduce(std::int64_t{node.position} - frame.depth + 1));
            node.leafEnd = static_cast<std::uint32_t>(leafStarts_.size());
            stack.pop_back();
            continue;
        }
        if (frame.next == 0) {
            node.leafBegin = static_cast<std::uint32_t>(leafStarts_.size());
        }
        while (frame.next < kLetters && node.children[static_cast<std::size_t>(frame.next)] == kNoNode) {
            ++frame.next;
        }
        if (frame.next == kLetters) {
            node.leafEnd = static_cast<std::uint32_t>(leafStarts_.size());
            stack.pop_back();
            continue;
        }
        const NodeId child = node.children[static_cast<std::size_t>(frame.next)];
        const std::int32_t depth = frame.depth + 1;
        ++frame.next;
        stack.push_back({child, depth, 0});
    }
}

// A table indexed by the first `tableDepth_` letters of a word (as a base-4
// number, first letter most significant) giving the deepest node on their
// path and its depth, so that most lookups start deep in the trie.
void Genome::prepareLookupTable()
{
    int depth = 0;
    while (depth < kMaxTableDepth && (std::int64_t{1} << (2 * (depth + 1))) <= 2 * std::int64_t{indexedLength_}) {
        ++depth;
    }
    tableDepth_ = depth;
    if (depth == 0) {
        return;
    }
    const std::size_t size = std::size_t{1} << (2 * depth);
    tableNode_.assign(size, kRootNode);
    tableDepthReached_.assign(size, 0);

    struct Frame {
        NodeId node;
        int depth;
        std::uint32_t code;  // the path's letters so far
    };
    std::vector<Frame> stack;
    stack.push_back({kRootNode, 0, 0});
    while (!stack.empty()) {
        const Frame frame = stack.back();
        stack.pop_back();
        if (frame.depth == depth) {
            tableNode_[frame.code] = frame.node;
            tableDepthReached_[frame.code] = static_cast<std::uint8_t>(depth);
            continue;
        }
        const IndexNode& node = nodes_[frame.node];
        for (std::uint32_t letter = 0; letter < kLetters; ++letter) {
            const std::uint32_t prefix = (frame.code << 2) | letter;
            const NodeId child = node.children[letter];
            if (child != kNoNode) {
                stack.push_back({child, frame.depth + 1, prefix});
                continue;
            }
            const int rest = 2 * (depth - frame.depth - 1);
            const std::size_t first = std::size_t{prefix} << rest;
            const std::size_t last = first + (std::size_t{1} << rest);
            std::fill(tableNode_.begin() + static_cast<std::ptrdiff_t>(first),
                      tableNode_.begin() + static_cast<std::ptrdiff_t>(last), frame.node);
            std::fill(tableDepthReached_.begin() + static_cast<std::ptrdiff_t>(first),
                      tableDepthReached_.begin() + static_cast<std::ptrdiff_t>(last),
                      static_cast<std::uint8_t>(frame.depth));
        }
    }
}

Genome::Lookup Genome::lookup(const std::uint8_t* word, int wordLength) const
{
    Lookup result;
    if (indexedLength_ == 0 || wordLength <= 0) {
        return result;
    }
    NodeId node = kRootNode;
    int matched = 0;
    if (wordLength >= tableDepth_ && tableDepth_ > 0) {
        std::uint32_t code = 0;
        for (int i = 0; i < tableDepth_; ++i) {
            code = (code << 2) | word[i];
        }
        node = tableNode_[code];
        matched = tableDepthReached_[code];
    }
    if (matched == tableDepth_ || matched == 0) {
        while (matched < wordLength) {
            const NodeId child = nodes_[node].children[word[matched]];
            if (child == kNoNode) {
                break;
            }
            node = child;
            ++matched;
        }
    }
    const IndexNode& found = nodes_[node];
    if (matched == wordLength) {
        result.begin = leafStarts_.data() + found.leafBegin;
        result.count = found.leafEnd - found.leafBegin;
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
    result.single = reduce(std::int64_t{found.position} - matched + 1);
    result.begin = nullptr;
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
