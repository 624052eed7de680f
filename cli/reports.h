#pragma once

#include "engine/genome.h"
#include "engine/repeatlist.h"

#include <array>
#include <memory>
#include <ostream>
#include <string_view>
#include <vector>

namespace tessaron {

// The pair counts of one search: per length slot, and in all.
struct RepeatCounts {
    int minLength = 0;
    std::vector<std::int64_t> perSlot;
    std::int64_t total = 0;
};

// The counts of the four searches, indexed by RepeatKind.
using RepeatCountTable = std::array<RepeatCounts, kRepeatKindCount>;

[[nodiscard]] RepeatCounts countsOf(const RepeatList& list);

// The kinds in the order the searches run and the reports list them.
inline constexpr std::array<RepeatKind, kRepeatKindCount> kKindOrder{
    RepeatKind::Direct, RepeatKind::Inverted, RepeatKind::Mirror, RepeatKind::Complementary};

// "direct", "inverted", "mirror" or "complementary".
[[nodiscard]] std::string_view kindName(RepeatKind kind);

// The reports write tab-separated rows ending in '\n'.

// A header, one row per length with the pairs of the four kinds, then their totals.
void writeSummary(std::ostream& out, const RepeatCountTable& counts);
// The title, the number of bases and the counts of A, T, C and G in the sequence.
void writeInfo(std::ostream& out, const Genome& genome);
// The header of the pairs report.
void writePairsHeader(std::ostream& out);
// Every pair of one search: kind, length, the word (read from the first copy)
// and the 1-based starts of both copies; lengths and lists in order.
void writePairs(std::ostream& out, const Genome& genome, RepeatKind kind, const RepeatList& list);

}  // namespace tessaron
