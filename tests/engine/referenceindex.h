#pragma once

#include "engine/repeatlist.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tessaron::reference {

// A deliberately plain rendering of the depth-limited circular suffix trie
// and of the four repeat searches, written step by step from the algorithm
// and kept slow and obvious. The engine is checked against it.
//
// Position lists and lookup results are vectors; an empty vector stands for
// "no list". Recursion is bounded by the depth limit (maximum length + 6).

struct Node {
    std::int32_t position = 0;
    std::int32_t count = 0;
    std::array<std::unique_ptr<Node>, 4> children;  // A, T, C, G
    std::vector<std::int32_t> positions;            // recorded ends; empty: no list
};

struct Repeat {
    int length = 0;
    bool transformed = false;
    std::vector<RepeatPair> pairs;
};

struct Repeats {
    int minLength = 0;
    std::int64_t total = 0;
    std::vector<std::int64_t> pairCounts;
    std::vector<std::vector<Repeat>> bySlot;
};

// The word of a node, a letter at a time; the alphabet order A, T, C, G.
inline constexpr std::array<char, 4> kLetters{'A', 'T', 'C', 'G'};

std::string transformWord(std::string_view word, RepeatKind kind);

// The complementary base; throws std::invalid_argument for any other letter.
char complementOf(char letter);

class ReferenceIndex {
public:
    // `sequence` holds upper-case letters; any but A, C, G and T is a gap,
    // which no word runs over. The settings are used as given.
    ReferenceIndex(std::string sequence, int minLength, int lengthBound);

    [[nodiscard]] const Node& root() const { return root_; }
    [[nodiscard]] int length() const { return static_cast<int>(sequence_.size()); }
    [[nodiscard]] int recordDepth() const { return recordDepth_; }

    // Start positions, one per leaf below the word; empty when not found.
    [[nodiscard]] std::vector<std::int32_t> findWord(std::string_view word) const;
    [[nodiscard]] std::vector<std::int32_t> collectOccurrences(const Node* node, int depth) const;

    [[nodiscard]] Repeats findDirectRepeats() const;
    // Inverted, Mirror or Complementary.
    [[nodiscard]] Repeats findRepeats(RepeatKind kind) const;

private:
    // Full counts of the starts listed for a word and for its transformed word;
    // {0, 0} is the "zero" value (a found word lists at least one start).
    using CountPair = std::array<std::int64_t, 2>;

    void insertSuffix(Node* node, int pos, int depth, bool fresh);
    int prune(Node& node);
    [[nodiscard]] char seq(std::int64_t position) const;
    [[nodiscard]] bool isGap(std::int64_t position) const;
    // How far an insertion from `start` goes: the depth limit, or less where
    // a gap comes first.
    [[nodiscard]] int insertionLimit(int start) const;
    [[nodiscard]] std::int32_t reduce(std::int64_t position) const;

    [[nodiscard]] Repeats emptyRepeats() const;
    static void append(Repeats& repeats, Repeat repeat);
    void walkDirect(const Node& node, int depth, Repeats& out) const;
    std::array<CountPair, 4> walkTransformed(const Node& node, int depth, std::string& word, RepeatKind kind,
                                             Repeats& out) const;

    std::string sequence_;  // c_str() supplies the NUL after the last base
    int minLength_;
    int lengthBound_;
    int recordDepth_;
    Node root_;
};

}  // namespace tessaron::reference
