#pragma once

// The gapped search of the loaded genome, as the desktop program runs it:
// the four kinds in one search, off the window's thread, stoppable, and the
// families of their copies when asked. Like the approximate search's result
// it keeps the genome it was made from.

#include "engine/approximatesearch.h"
#include "engine/gappedsearch.h"
#include "engine/genome.h"
#include "engine/repeatfamilies.h"
#include "engine/searchcontrol.h"

#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tessaron {

struct GappedAnalysis {
    std::shared_ptr<const Genome> genome;
    GappedSettings settings;
    std::vector<GappedResult> results;  // in kKindOrder
    // The families of the copies of every kind's pairs; none when not asked for.
    std::optional<std::vector<RepeatFamily>> families;
    ApproximateClassCounts counts{};  // pairs per kind and length class of the shorter copy

    [[nodiscard]] const GappedResult& of(RepeatKind kind) const;
};

using GappedOutcome = std::variant<std::shared_ptr<const GappedAnalysis>, SearchFailure>;

// Searches the four kinds of `genome` with `settings` (which must pass
// validate()), and groups the copies into families when `families` is set;
// fails with OutOfMemory, PairLimit or Cancelled.
[[nodiscard]] GappedOutcome analyseWithGaps(std::shared_ptr<const Genome> genome,
                                            const GappedSettings& settings, bool families,
                                            const SearchControl& control = {});

// A gapped pair's two copies written one above the other, a column per
// character: the first copy's letters, a line of marks ('|' equal, 'x'
// unequal, ' ' a gap column) and the second copy's letters as the kind reads
// them (complemented for inverted and complementary pairs, the inverted and
// mirror ones from their end backwards); '-' faces the letters of a gap run.
struct AlignmentRows {
    std::string first;
    std::string marks;
    std::string second;
    // The 1-based position in the genome of each column's letter of either
    // copy, 0 in a gap; as long as the rows.
    std::vector<std::int64_t> firstPositions;
    std::vector<std::int64_t> secondPositions;
};
[[nodiscard]] AlignmentRows alignmentRows(const Genome& genome, RepeatKind kind, const GappedPair& pair);

}  // namespace tessaron
