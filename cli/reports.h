#pragma once

#include "engine/genome.h"
#include "engine/repeatlist.h"

#include <array>
#include <memory>
#include <ostream>
#include <string_view>

namespace tessaron {

// The four search results, indexed by RepeatKind.
using RepeatLists = std::array<std::unique_ptr<RepeatList>, kRepeatKindCount>;

// "direct", "inverted", "mirror" or "complementary".
[[nodiscard]] std::string_view kindName(RepeatKind kind);

// The reports write tab-separated rows ending in '\n'.

// A header, one row per length with the pairs of the four kinds, then their totals.
void writeSummary(std::ostream& out, const RepeatLists& lists);
// The title, the number of bases and the counts of A, T, C and G in the sequence.
void writeInfo(std::ostream& out, const Genome& genome);
// A header, then every pair: kind, length, the word (read from the first copy)
// and the 1-based starts of both copies; kinds, lengths and lists in order.
void writePairs(std::ostream& out, const Genome& genome, const RepeatLists& lists);

}  // namespace tessaron
