#pragma once

// The gapped search's definition, by brute force: full Smith-Waterman with
// affine gaps (Gotoh) on short sequences.

#include "engine/gappedsearch.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tessaron::reference {

// The letters of S from `start` (circularly), `length` of them.
std::string circularSlice(std::string_view sequence, std::int64_t start, std::int64_t length);

// The second copy as the kind reads it against the first: reversed (mirror,
// inverted) and complemented (inverted, complementary).
std::string asRead(std::string_view copy, RepeatKind kind);

// The best local alignment score of a against b (+1, -X, O + k E); a letter
// other than A, C, G, T is never aligned.
std::int64_t localScore(std::string_view a, std::string_view b, const GappedSettings& settings);

// The best local alignment score of S (read linearly) against the kind's
// reading of S over every diagonal or line, on the half whose first copy lies
// left of the second: direct and complementary columns pair letters i < j,
// inverted and mirror columns pair i with N-1-j where i < N-1-j.
std::int64_t bestScoreOnHalf(std::string_view sequence, RepeatKind kind, const GappedSettings& settings);

// The score of a pair's alignment as its CIGAR spells it, from the letters.
std::int64_t cigarScore(std::string_view sequence, RepeatKind kind, const GappedPair& pair,
                        const GappedSettings& settings);

}  // namespace tessaron::reference
