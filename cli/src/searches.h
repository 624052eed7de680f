#pragma once

// The searches a report runs, their failures turned into cli::Failure.

#include "cli/options.h"
#include "clifailure.h"
#include "compare/controls.h"
#include "engine/genome.h"
#include "engine/repeatkinds.h"
#include "engine/repeatsnapshot.h"
#include "engine/searchcontrol.h"
#include "engine/searchmethod.h"
#include "engine/suffixindex.h"
#include "report/reportlayout.h"

#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace tessaron::cli {

// Throws the Failure that says why a search gave no result.
[[noreturn]] void throwSearchFailure(SearchFailure failure);
// Why the approximate search on the genome gave up with PairLimit, naming the limit.
[[nodiscard]] std::string approximatePairLimitMessage(const Genome& genome);

// What the searches of these kinds need, built once (on the CPUs the
// process may use): each report then runs the search of a kind and releases
// its snapshot before the next.
// `approximate` holds the settings of SearchMethod::Approximate.
[[nodiscard]] PreparedSearch prepare(std::shared_ptr<const Genome> genome, SearchMethod method,
                                     std::span<const RepeatKind> kinds, const SearchControl& control = {},
                                     const ApproximateSettings& approximate = {});

[[nodiscard]] std::shared_ptr<const RepeatSnapshot> runSearch(const PreparedSearch& search, RepeatKind kind,
                                                              SnapshotDetail detail,
                                                              const SearchControl& control = {});

// The suffix index alone (the motif search and the map's repeat read it).
[[nodiscard]] std::shared_ptr<const SuffixIndex> suffixIndexOf(std::shared_ptr<const Genome> genome,
                                                               const SearchControl& control = {});

// The pairs per length of the four kinds.
[[nodiscard]] PairCountsByKind countPairs(const PreparedSearch& search, const SearchControl& control = {});

// The controls --controls, --seed and --jobs ask for.
[[nodiscard]] ControlSettings controlSettings(const Options& options);

}  // namespace tessaron::cli
