#pragma once

// Counts of long repeats beyond those the approximate search makes itself:
// the gapped pairs per kind and length class, and families of copies per
// length class and number of copies.

#include "engine/approximatesearch.h"
#include "engine/gappedsearch.h"
#include "engine/repeatfamilies.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace tessaron {

// The pairs per kind and length class of their shorter copy, as
// approximateClassCounts counts the approximate pairs (each result's classes
// from its own minimum).
[[nodiscard]] ApproximateClassCounts gappedClassCounts(std::span<const GappedResult> results);

// The classes of a family by its number of copies: 2 (or fewer, when the
// copies of a pair are one), 3-5, 6 and more.
inline constexpr std::array<std::string_view, 3> kFamilySizeClassNames{"2", "3-5", ">=6"};
[[nodiscard]] std::size_t familySizeClass(std::size_t copies);

// Families per length class (kApproximateLengthClasses from `minLength`, of
// the representative copy) and size class; a family whose representative is
// shorter than `minLength` is in none.
using FamilyCountTable =
    std::array<std::array<std::int64_t, kFamilySizeClassNames.size()>, kApproximateLengthClasses.size()>;
[[nodiscard]] FamilyCountTable familyCountTable(std::span<const RepeatFamily> families, int minLength);

}  // namespace tessaron
