#pragma once

#include "engine/approximatesearch.h"

#include <cstdint>
#include <vector>

namespace tessaron {

// Whether `mismatches` in `length` lined-up pairs meet the identity, as the
// reported pairs are filtered: 100 (L - m) / L >= identity.
inline bool identityAllows(double identity, std::int64_t length, std::int64_t mismatches)
{
    return 100.0 * static_cast<double>(length - mismatches) / static_cast<double>(length) >= identity;
}

// A seed: the pairs at these offsets from its start all line up equal.
struct SeedShape {
    std::vector<int> offsets;  // ascending, starting at 0
    int span = 0;              // last offset + 1
    bool contiguous = false;   // offsets 0 .. span-1
};

// Which seeds the search looks for and which of them lead to an exact scan
// of their diagonal or line (see seedplan.cpp for why nothing is lost).
struct SeedPlan {
    enum class Filter {
        Blocks,  // a block of some reportable segment could hold the seed
        Window,  // a reportable segment with at most a given number of mismatches could hold it
        None,    // every seed
    };
    std::vector<SeedShape> shapes;
    Filter filter = Filter::None;
    // The least length of a window around a seed holding j mismatches that
    // could be (Window) or hold (Blocks) what is looked for, for
    // j = 0 .. size-1; windows with more mismatches never do. Longer windows
    // with the same mismatches always do.
    std::vector<std::int64_t> minWindow;
    std::int64_t lookRange = 0;  // letters read on either side of a seed
    bool exhaustive = true;
    int seedLength = 0;         // the contiguous seed's length
    double expectedHits = 0.0;  // seed pairs expected in a random sequence
};

// The plan for a genome of `length` letters whose letters line up equal with
// chance p, for settings already in range. `minScore` is the least score a
// reported pair can have (from the E-value cut-off; at least 1). Without
// `forced` a plan that would try too many seed pairs gives way to seeds of a
// practical length (not exhaustive); forced, the exhaustive plan is kept.
[[nodiscard]] SeedPlan planSeeds(const ApproximateSettings& settings, std::int64_t minScore,
                                 std::int64_t length, double p, bool forced);

}  // namespace tessaron
