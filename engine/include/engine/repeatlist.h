#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tessaron {

// What the second copy of a repeated word is.
enum class RepeatKind : int {
    Direct = 0,         // the same word
    Inverted = 1,       // the reverse complement
    Mirror = 2,         // the word read backwards
    Complementary = 3,  // the complement of each letter, same direction
};

inline constexpr int kRepeatKindCount = 4;

// One pair of occurrences: 0-based starts; a copy may run over the end of the
// circular sequence into its beginning.
struct RepeatPair {
    std::int32_t first = 0;   // the word itself
    std::int32_t second = 0;  // the same word again, or its transformed word
    friend bool operator==(const RepeatPair&, const RepeatPair&) = default;
};

// One repeated word with all its pairs. The word is not stored: it is the
// `length` letters of the sequence from the first copy of the first pair.
struct Repeat {
    bool transformed = false;  // false for direct repeats
    std::int32_t length = 0;
    std::int32_t pairCount = 0;    // at least 1
    std::uint32_t pairOffset = 0;  // where the pairs start in the owning list
};

// The result of one search: per length slot, the repeats in the order the
// search found them (the words of one length in A < T < C < G order).
// Slot j holds the repeats of length minLength() + j. All counts are pairs.
class RepeatList {
public:
    RepeatList(int minLength, int slotCount);

    [[nodiscard]] int minLength() const { return minLength_; }
    [[nodiscard]] int slotCount() const { return static_cast<int>(slots_.size()); }
    [[nodiscard]] std::int64_t total() const { return total_; }
    [[nodiscard]] std::int64_t pairCount(int slot) const
    {
        return pairCounts_[static_cast<std::size_t>(slot)];
    }
    [[nodiscard]] const std::vector<Repeat>& slot(int slot) const
    {
        return slots_[static_cast<std::size_t>(slot)];
    }
    [[nodiscard]] std::span<const RepeatPair> pairs(const Repeat& repeat) const
    {
        return {pairs_.data() + repeat.pairOffset, static_cast<std::size_t>(repeat.pairCount)};
    }

    // Building, used by the searches: open a repeat, add its pairs, then close
    // it; a repeat closed without pairs is dropped.
    void beginRepeat() { pendingOffset_ = pairs_.size(); }
    void addPair(std::int32_t first, std::int32_t second) { pairs_.push_back({first, second}); }
    [[nodiscard]] std::size_t pendingPairs() const { return pairs_.size() - pendingOffset_; }
    void endRepeat(int length, bool transformed);
    [[nodiscard]] std::size_t storedPairs() const { return pairs_.size(); }

private:
    int minLength_;
    std::int64_t total_ = 0;
    std::vector<std::int64_t> pairCounts_;
    std::vector<std::vector<Repeat>> slots_;
    std::vector<RepeatPair> pairs_;
    std::size_t pendingOffset_ = 0;
};

}  // namespace tessaron
