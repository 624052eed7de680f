#pragma once

#include "engine/approximatesearch.h"
#include "engine/gappedsearch.h"
#include "engine/repeatkinds.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace tessaron {

// Families of repeated copies. Two copies (intervals of the circle) are the
// same copy when each covers at least 90 % of the other; a pair of any kind
// links its two copies; a family is a set of copies linked by pairs and
// sameness, by single linkage (connected components).
//
// A copy's orientation is relative to the family's representative: the four
// kinds are the four ways to read a copy (as it is, reverse complement,
// reverse, complement), and they compose as two independent flips (reversed,
// complemented): a direct pair keeps the orientation, an inverted one flips
// both, a mirror one the reading direction, a complementary one the letters.
enum class CopyOrientation { Same, ReverseComplement, Reverse, Complement };

// "+", "-", "reverse", "complement".
[[nodiscard]] std::string_view orientationName(CopyOrientation orientation);

struct FamilyCopy {
    std::int64_t start = 0;   // 0-based; may run over the end into the beginning
    std::int64_t length = 0;  // the longest of the copies made one
    CopyOrientation orientation = CopyOrientation::Same;
    friend bool operator==(const FamilyCopy&, const FamilyCopy&) = default;
};

struct RepeatFamily {
    // Ordered by start; the representative is the copy in most pairs, then
    // the longest, then the first.
    std::vector<FamilyCopy> copies;
    std::size_t representative = 0;
    std::int64_t shortest = 0;
    std::int64_t longest = 0;
    std::array<bool, kRepeatKindCount> kinds{};  // indexed by RepeatKind: present among its pairs
    std::int64_t pairs = 0;
};

// One pair of copies as the families see it.
struct CopyPair {
    RepeatKind kind = RepeatKind::Direct;
    std::int64_t first = 0;
    std::int64_t firstLength = 0;
    std::int64_t second = 0;
    std::int64_t secondLength = 0;
};

// The families of the pairs in a genome of n letters, most copies first, then
// by the representative's start. Numbered from 1 in this order.
[[nodiscard]] std::vector<RepeatFamily> repeatFamilies(std::int64_t n, std::span<const CopyPair> pairs);
[[nodiscard]] std::vector<RepeatFamily> repeatFamilies(std::int64_t n, std::span<const GappedResult> results);
[[nodiscard]] std::vector<RepeatFamily> repeatFamilies(std::int64_t n,
                                                       std::span<const ApproximateResult> results);

}  // namespace tessaron
