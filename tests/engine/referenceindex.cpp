#include "referenceindex.h"

#include "engine/indexnode.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace tessaron::reference {

char complementOf(char letter)
{
    switch (letter) {
        case 'A':
            return 'T';
        case 'T':
            return 'A';
        case 'C':
            return 'G';
        case 'G':
            return 'C';
        default:
            throw std::invalid_argument("not a base");
    }
}

namespace {

bool hasChild(const Node& node)
{
    return std::any_of(node.children.begin(), node.children.end(),
                       [](const auto& c) { return c != nullptr; });
}

std::unique_ptr<Node> makeNode(std::int32_t position)
{
    auto node = std::make_unique<Node>();
    node->position = position;
    node->count = 0;
    node->positions.push_back(position);
    return node;
}

}  // namespace

std::string transformWord(std::string_view word, RepeatKind kind)
{
    std::string result(word);
    switch (kind) {
        case RepeatKind::Inverted:
            std::reverse(result.begin(), result.end());
            std::transform(result.begin(), result.end(), result.begin(), complementOf);
            break;
        case RepeatKind::Mirror:
            std::reverse(result.begin(), result.end());
            break;
        case RepeatKind::Complementary:
            std::transform(result.begin(), result.end(), result.begin(), complementOf);
            break;
        case RepeatKind::Direct:
            break;
    }
    return result;
}

ReferenceIndex::ReferenceIndex(std::string sequence, int minLength, int lengthBound)
    : sequence_(std::move(sequence)), minLength_(minLength), lengthBound_(lengthBound)
{
    // buildIndex, steps 2 to 6 (the tree starts empty).
    recordDepth_ = std::max(minLength_ - 1, 2);
    root_.count = length();
    for (int s = 0; s < length(); ++s) {
        insertSuffix(&root_, s, 0, true);
    }
    prune(root_);
    for (auto& child : root_.children) {
        if (child) {
            child->positions.clear();
        }
    }
}

std::int32_t ReferenceIndex::reduce(std::int64_t position) const
{
    const std::int64_t n = length();
    return static_cast<std::int32_t>(((position % n) + n) % n);
}

char ReferenceIndex::seq(std::int64_t position) const
{
    return sequence_[static_cast<std::size_t>(reduce(position))];
}

bool ReferenceIndex::isGap(std::int64_t position) const
{
    return letterIndex(seq(position)) < 0;
}

int ReferenceIndex::insertionLimit(int start) const
{
    int limit = 0;
    while (limit < lengthBound_ + 5 && !isGap(start + limit)) {
        ++limit;
    }
    return limit;
}

void ReferenceIndex::insertSuffix(Node* node, int pos, int depth, bool fresh)
{
    const int n = length();
    const int limit = insertionLimit(pos - depth);
    for (;;) {
        const int s = pos - depth;
        const int end = pos - 1;
        // 1. Counting.
        if (s > node->position) {
            ++node->count;
        }
        // 2. Recording, only of occurrences that do not overlap the last one kept.
        if (!fresh && depth > recordDepth_) {
            if (node->positions.empty()) {
                throw std::logic_error("a node lost its list while building");
            }
            const std::int32_t tail = node->positions.back();
            if (tail != end && pos - tail > depth) {
                node->positions.push_back(end);
            }
        }
        // 3. Depth limit, or the gap after the suffix's last letter.
        if (depth >= limit) {
            return;
        }
        // 4.
        const int x = letterIndex(sequence_[static_cast<std::size_t>(pos % n)]);
        Node* c = node->children[static_cast<std::size_t>(x)].get();
        // 5.
        if (c != nullptr) {
            node = c;
            ++pos;
            ++depth;
            fresh = false;
            continue;
        }
        // 6.
        if (fresh || hasChild(*node)) {
            node->children[static_cast<std::size_t>(x)] = makeNode(pos % n);
            return;
        }
        // 7. Split the leaf by the letter after its first occurrence and look again.
        const int e = (node->position + 1) % n;
        const int letter = letterIndex(sequence_[static_cast<std::size_t>(e)]);
        if (letter < 0) {
            // The leaf's occurrence ends at a gap: counted again as on a
            // split, and the new letter gets a leaf of its own.
            if (s > node->position) {
                ++node->count;
            }
            node->children[static_cast<std::size_t>(x)] = makeNode(pos % n);
            return;
        }
        node->children[static_cast<std::size_t>(letter)] = makeNode(e);
        fresh = false;
    }
}

int ReferenceIndex::prune(Node& node)
{
    if (node.count == 0) {
        node.positions.clear();
    }
    for (auto& child : node.children) {
        if (child) {
            const int r = prune(*child);
            if (node.count == r) {
                node.positions.clear();
            }
        }
    }
    return node.count;
}

std::vector<std::int32_t> ReferenceIndex::findWord(std::string_view word) const
{
    const int n = static_cast<int>(word.size());
    if (length() == 0) {
        return {};
    }
    const Node* node = &root_;
    int i = 0;
    while (i < n) {
        const int x = letterIndex(word[static_cast<std::size_t>(i)]);
        if (x < 0) {
            throw std::invalid_argument("not a base");
        }
        const Node* c = node->children[static_cast<std::size_t>(x)].get();
        if (c == nullptr) {
            break;
        }
        node = c;
        ++i;
    }
    if (i == n) {
        return collectOccurrences(node, n);
    }
    // Step 4: compare with the leaf's own occurrence, not wrapping; the NUL
    // after the last base ends the comparison.
    const int p = node->position;
    const int e = (p + 1) % length();
    const char* text = sequence_.c_str();
    for (int k = i; k < n; ++k) {
        if (word[static_cast<std::size_t>(k)] != text[e + (k - i)]) {
            return {};
        }
    }
    return {reduce(std::int64_t{p} - i + 1)};
}

std::vector<std::int32_t> ReferenceIndex::collectOccurrences(const Node* node, int depth) const
{
    if (node == nullptr) {
        return {};
    }
    std::vector<std::int32_t> joined;
    for (const auto& child : node->children) {
        const auto list = collectOccurrences(child.get(), depth + 1);
        joined.insert(joined.end(), list.begin(), list.end());
    }
    if (!joined.empty() || node == &root_) {
        return joined;  // a root without children: no letter at all
    }
    return {reduce(std::int64_t{node->position} - depth + 1)};
}

Repeats ReferenceIndex::emptyRepeats() const
{
    Repeats repeats;
    repeats.minLength = minLength_;
    const int slotCount = lengthBound_ - minLength_;
    repeats.pairCounts.assign(static_cast<std::size_t>(slotCount), 0);
    repeats.bySlot.resize(static_cast<std::size_t>(slotCount));
    return repeats;
}

void ReferenceIndex::append(Repeats& repeats, Repeat repeat)
{
    const auto slot = static_cast<std::size_t>(repeat.length - repeats.minLength);
    const auto pairs = static_cast<std::int64_t>(repeat.pairs.size());
    repeats.pairCounts.at(slot) += pairs;
    repeats.total += pairs;
    repeats.bySlot.at(slot).push_back(std::move(repeat));
}

Repeats ReferenceIndex::findDirectRepeats() const
{
    Repeats repeats = emptyRepeats();
    walkDirect(root_, 0, repeats);
    return repeats;
}

void ReferenceIndex::walkDirect(const Node& node, int depth, Repeats& out) const
{
    const int d = depth;
    const int maxLength = lengthBound_ - 1;
    // 1.
    if (d == lengthBound_) {
        return;
    }
    // 2.
    for (const auto& child : node.children) {
        if (child) {
            walkDirect(*child, d + 1, out);
        }
    }
    // 3.
    if (d < minLength_ || node.positions.empty()) {
        return;
    }
    // 4.
    Repeat repeat;
    repeat.length = d;
    repeat.transformed = false;
    const auto& list = node.positions;
    for (std::size_t ia = 0; ia < list.size(); ++ia) {
        for (std::size_t ib = ia + 1; ib < list.size(); ++ib) {
            const std::int64_t a = list[ia];
            const std::int64_t b = list[ib];
            // Nothing is the same as a gap, not even another gap.
            const auto differ = [this](std::int64_t x, std::int64_t y) {
                return isGap(x) || seq(x) != seq(y);
            };
            const bool take = d == maxLength || (differ(a - d, b - d) && differ(a + 1, b + 1));
            if (take) {
                repeat.pairs.push_back({reduce(a - d + 1), reduce(b - d + 1)});
            }
        }
    }
    // 5.
    if (!repeat.pairs.empty()) {
        append(out, std::move(repeat));
    }
}

Repeats ReferenceIndex::findRepeats(RepeatKind kind) const
{
    if (kind == RepeatKind::Direct) {
        throw std::invalid_argument("direct repeats have their own search");
    }
    Repeats repeats = emptyRepeats();
    std::string word;
    walkTransformed(root_, 0, word, kind, repeats);
    return repeats;
}

std::array<ReferenceIndex::CountPair, 4> ReferenceIndex::walkTransformed(const Node& node, int depth,
                                                                         std::string& word, RepeatKind kind,
                                                                         Repeats& out) const
{
    const int d = depth;
    std::array<CountPair, 4> result{};
    // 1.
    if (d == lengthBound_ - 1) {
        return result;
    }
    // 2.
    for (std::size_t i = 0; i < 4; ++i) {
        const Node* child = node.children[i].get();
        // 2.1
        if (child == nullptr) {
            continue;
        }
        const int wordLength = d + 1;
        word.push_back(kLetters[i]);
        if (wordLength < minLength_) {
            (void)walkTransformed(*child, wordLength, word, kind, out);
            word.pop_back();
            continue;
        }
        // 2.2
        const std::vector<std::int32_t> p = findWord(word);
        const std::vector<std::int32_t> q = findWord(transformWord(word, kind));
        if (p.empty() || q.empty()) {
            word.pop_back();
            continue;
        }
        // 2.3
        const CountPair v{static_cast<std::int64_t>(p.size()), static_cast<std::int64_t>(q.size())};
        const auto e = walkTransformed(*child, wordLength, word, kind, out);
        if (v == e[i]) {
            // 2.4: the word extended by its own last letter has the same counts.
            result[i] = v;
        } else if (q.front() >= std::int64_t{p.front()} + wordLength) {
            // 2.5
            result[i] = v;
            Repeat repeat;
            repeat.length = wordLength;
            repeat.transformed = true;
            for (const std::int32_t start : p) {
                for (const std::int32_t other : q) {
                    if (other >= std::int64_t{start} + wordLength) {
                        repeat.pairs.push_back({start, other});
                    }
                }
            }
            append(out, std::move(repeat));
        }
        // 2.6: nothing; 2.7: the lists go out of scope.
        word.pop_back();
    }
    // 3.
    return result;
}

}  // namespace tessaron::reference
