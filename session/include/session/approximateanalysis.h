#pragma once

// The approximate search of the loaded genome, as the desktop program runs
// it: the four kinds in one search, off the window's thread, stoppable. The
// result keeps the genome it was made from, so that it is known to be stale
// once another genome is loaded.

#include "engine/approximatesearch.h"
#include "engine/genome.h"
#include "engine/searchcontrol.h"

#include <memory>
#include <variant>
#include <vector>

namespace tessaron {

struct ApproximateAnalysis {
    std::shared_ptr<const Genome> genome;
    ApproximateSettings settings;
    std::vector<ApproximateResult> results;  // in kKindOrder
    ApproximateClassCounts counts{};         // pairs per kind and length class

    [[nodiscard]] const ApproximateResult& of(RepeatKind kind) const;
    // Every kind's search was exhaustive.
    [[nodiscard]] bool exhaustive() const;
};

using ApproximateOutcome = std::variant<std::shared_ptr<const ApproximateAnalysis>, SearchFailure>;

// Searches the four kinds of `genome` with `settings`; fails with
// OutOfMemory or Cancelled.
[[nodiscard]] ApproximateOutcome analyseApproximately(std::shared_ptr<const Genome> genome,
                                                      const ApproximateSettings& settings,
                                                      const SearchControl& control = {});

}  // namespace tessaron
