#pragma once

#include "engine/approximatesearch.h"

#include <string>
#include <vector>

namespace tessaron::reference {

// The approximate search written straight from its definition and kept slow
// and obvious: every diagonal d = 1 .. N-1 as a circle, every line built by
// walking outward from a centre until the pairs repeat or meet a letter
// paired with itself, and on each the maximal scoring segments found as the
// longest segment with positive prefixes from every start, kept when no
// other such segment contains it. Cubic in the worst case: for sequences of
// a few hundred to a few thousand letters.
//
// `sequence`: upper-case letters, any but A, C, G, T a gap. The E-values use
// `statistics`; the settings are used as given (method and threads ignored).
std::vector<ApproximatePair> approximateSearch(const std::string& sequence, RepeatKind kind,
                                               const ApproximateSettings& settings,
                                               const KarlinAltschul& statistics);

}  // namespace tessaron::reference
