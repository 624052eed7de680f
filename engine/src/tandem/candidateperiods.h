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
};

// The candidates of a text of letter codes 0..3 (no gaps), by position: for
// each word of `wordLength` letters, the distance to its previous occurrence;
// a run of `hitsNeeded` words at the same distance d, each within d + word
// length of the last, gives one candidate (one per run). Only distances in
// [minimumPeriod, maximumPeriod] count. Throws SearchStopped when asked to stop.
[[nodiscard]] std::vector<Candidate> findCandidates(std::span<const std::uint8_t> text, int wordLength,
                                                    int minimumPeriod, int maximumPeriod, int hitsNeeded,
                                                    const SearchControl& control);

}  // namespace tessaron::tandem
