#pragma once

#include "engine/genome.h"
#include "engine/microsatellites.h"
#include "engine/searchcontrol.h"

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace tessaron {

// Interrupted microsatellites: perfect runs of a unit of 1 to 6 letters
// joined across single interruptions, on the circular sequence of N letters
// (0-based positions read modulo N).
//
// For a unit length P, one begins with a perfect run (as findMicrosatellites
// defines it, of at least two units and at least kMinimumPiece letters, its
// unit not a power of a shorter word) and goes on to the right while the
// letters follow the unit's pattern, across an interruption: a mismatch (one
// letter differs, the pattern goes on in phase), an insertion (one extra
// letter) or a deletion (one letter of the pattern missing), when at least
// kMinimumPiece letters after it follow the pattern again. Of the three, the
// one followed by the longest piece is taken (mismatch, insertion, deletion
// on a tie). So an interruption has at least kMinimumPiece letters of the
// pattern on either side: at most one per 10 letters. The repeat number is
// floor(length / P); one is reported when it reaches the minimum of the
// perfect microsatellites for P. A perfect run counts too (no interruption).
// One starting inside another of the same unit length is not reported. None
// holds a gap; on a circle without gaps one may cross the origin (its end
// then passes N) and none is longer than N.

inline constexpr int kMinimumPiece = 10;

struct ImperfectMicrosatellite {
    std::int64_t start = 0;  // 0-based, 0 .. N-1
    int unitLength = 0;
    std::string unit;  // the first P letters
    std::int64_t repeats = 0;
    std::int64_t length = 0;  // letters, interruptions included
    std::string motifClass;
    int mismatches = 0;
    int indels = 0;

    [[nodiscard]] std::int64_t end() const { return start + length; }
    friend bool operator==(const ImperfectMicrosatellite&, const ImperfectMicrosatellite&) = default;
};

using ImperfectMicrosatelliteList = std::vector<ImperfectMicrosatellite>;
using ImperfectMicrosatelliteResult = std::variant<ImperfectMicrosatelliteList, SearchFailure>;

// Every interrupted microsatellite, by start then unit length, with the
// minimum repeat numbers of `settings` (the compound distance is not used).
[[nodiscard]] ImperfectMicrosatelliteResult findImperfectMicrosatellites(
    const Genome& genome, const MicrosatelliteSettings& settings = {}, const SearchControl& control = {});

}  // namespace tessaron
