#pragma once

#include "engine/searchcontrol.h"

#include <cstdint>
#include <span>
#include <vector>

namespace tessaron::tandem {

// A place where a tandem array of a period may be: the word at `position`
// also occurs `period` letters before it, as did the words at other places
// just before (a run of such pairs at the same distance).
struct Candidate {
    std::int64_t position = 0;
    int period = 0;
    int support = 0;  // words of the run at exactly this distance
};

// How words are matched: their length, the distances that count, the words
// a run needs and the widest gap between two of its words (beyond the word
// length, and never more than the distance).
struct CandidatePass {
    int wordLength = 8;
    int minimumPeriod = 1;
    int maximumPeriod = 2000;
    int hitsNeeded = 3;
    int widestGap = 48;
    int indelSlack = 0;  // a word at distance d +- this counts for d
};

// The candidates of a text of letter codes 0..3 (no gaps), by position: each
// word with the distances to its nearest earlier occurrences; a run of at
// least `hitsNeeded` words at the same distance d (or the slack off it), each within the widest gap
// of the last, spanning at least 0.3 d letters, gives one candidate at its
// first word; by position, then most support. Throws SearchStopped when asked
// to stop.
[[nodiscard]] std::vector<Candidate> findCandidates(std::span<const std::uint8_t> text,
                                                    const CandidatePass& pass, const SearchControl& control);

// How letters are compared along the diagonals: each distance d of
// [minimumPeriod, maximumPeriod], a letter against the one d after it,
// scored +1 or -1; a stretch counts when it climbs to `threshold` or, for
// longer distances, `perHundred` per hundred letters of d.
struct DiagonalPass {
    int minimumPeriod = 1;
    int maximumPeriod = 128;
    int threshold = 9;
    int perHundred = 35;
};

// The candidates of the diagonals: along each distance d the best score of
// a stretch ending at each letter (a running sum floored at 0); where it
// climbs to the threshold, a candidate whose copy of d letters before it is
// compared over the stretch's last d letters (support: the letters of the
// stretch that match). Sees two copies
// too diverged to share many equal words; by position as findCandidates.
// Throws SearchStopped when asked to stop.
[[nodiscard]] std::vector<Candidate> findDiagonalCandidates(std::span<const std::uint8_t> text,
                                                            const DiagonalPass& pass,
                                                            const SearchControl& control);

}  // namespace tessaron::tandem
