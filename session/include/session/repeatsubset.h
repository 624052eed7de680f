#pragma once

// Some of the words of a search's results, as results of their own: what a
// user selected or filtered, to export only those.

#include "engine/repeatsnapshot.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace tessaron {

// Per slot of a snapshot, the places of the words kept among words(slot);
// missing slots keep none.
using WordChoice = std::vector<std::vector<std::uint32_t>>;

// The results of `snapshot` with only the chosen words (in their order there)
// and their pairs, which the original makes; it is kept alive. Places out of
// range are passed over.
[[nodiscard]] std::shared_ptr<const RepeatSnapshot> keepWords(std::shared_ptr<const RepeatSnapshot> snapshot,
                                                              const WordChoice& kept);

}  // namespace tessaron
