#pragma once

// The command line's approximate search (--approximate): one search of the
// four kinds, then the report the options ask for.

#include "cli/options.h"
#include "engine/genome.h"
#include "engine/searchcontrol.h"
#include "report/featureindex.h"
#include "report/tablewriter.h"

#include <optional>
#include <ostream>
#include <string_view>

namespace tessaron {

// Searches the four kinds with the options' settings and writes the summary
// (pairs per kind and length class), pairs, gff, bed or bedpe report; GFF3,
// BED and BEDPE name the sequence `sequenceName`; with `features` the pairs
// and GFF3 name the features of each copy. When the search could not be
// exhaustive, says so on `notes`. Returns why the search failed, if it did.
[[nodiscard]] std::optional<SearchFailure> writeApproximateReport(const Options& options,
                                                                  const Genome& genome,
                                                                  std::string_view sequenceName,
                                                                  const FeatureIndex* features,
                                                                  TableWriter& out, std::ostream& notes);

}  // namespace tessaron
