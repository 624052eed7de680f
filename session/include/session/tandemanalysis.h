#pragma once

// The tandem repeat search of the loaded genome, as the desktop program runs
// it: off the window's thread, stoppable. The result keeps the genome it was
// made from, so that it is known to be stale once another genome is loaded.

#include "engine/genome.h"
#include "engine/searchcontrol.h"
#include "engine/tandemrepeats.h"

#include <memory>
#include <variant>

namespace tessaron {

struct TandemAnalysis {
    std::shared_ptr<const Genome> genome;
    TandemSettings settings;
    TandemRepeatList arrays;  // by start, then period
};

using TandemOutcome = std::variant<std::shared_ptr<const TandemAnalysis>, SearchFailure>;

// Searches the tandem arrays of `genome` with `settings` (valid ones: see
// TandemSettings::validate); fails with OutOfMemory or Cancelled.
[[nodiscard]] TandemOutcome analyseTandemRepeats(std::shared_ptr<const Genome> genome,
                                                 const TandemSettings& settings,
                                                 const SearchControl& control = {});

}  // namespace tessaron
