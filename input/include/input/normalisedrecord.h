#pragma once

#include "engine/plastomenormalisation.h"
#include "input/feature.h"
#include "input/genbankfeaturetable.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaron {

// A GenBank location (1-based, as written: ranges, single bases, a^b sites,
// complement, join and order nested in any way, the partial markers < and >)
// moved to where its bases lie after the sequence of `length` bases was
// rearranged into `pieces` (see NormalisedPlastome). A stretch that now lies
// in several places becomes a join of them; a stretch now read on the other
// strand is complemented; the partial markers stay at the feature's ends.
// A location that covers every base once stays 1..length. Nothing for a
// location that cannot be read or names another entry.
[[nodiscard]] std::optional<std::string> moveLocation(std::string_view location,
                                                      const std::vector<SequencePiece>& pieces,
                                                      std::int64_t length);

// The record rewritten for its standard form: the header as it was, every
// feature with its location moved (features whose location cannot be read
// are left out and counted in `dropped`), the qualifiers as written, and the
// new bases after ORIGIN.
[[nodiscard]] std::string writeNormalisedGenBank(const GenBankRecordText& record,
                                                 const NormalisedPlastome& normalised, int& dropped);

// The marker genes of the standard orientation among a record's features:
// genes and RNAs named psbA, trnH (trnH, trnH-GUG), rbcL, ndhF and ycf1
// (case aside), each with its strand. A gene in parts that do not follow
// one another counts as its parts, each on its own strand.
[[nodiscard]] PlastomeMarkers plastomeMarkers(const FeatureList& features);

// A FASTA record: '>' and the header, then the bases 70 to a line.
[[nodiscard]] std::string fastaText(std::string_view header, std::string_view bases);

}  // namespace tessaron
