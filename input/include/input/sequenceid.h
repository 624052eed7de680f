#pragma once

#include "input/records.h"

#include <string>

namespace tessaron {

// A record's id in the outputs (GFF3 and BED seqid, the notebook's
// genome.seqid): ACCESSION.VERSION for GenBank (the ACCESSION, else the
// LOCUS name, when the record has no version), the FASTA id; empty for
// plain text, which the caller names after its file.
[[nodiscard]] std::string sequenceId(const RecordInfo& record);

}  // namespace tessaron
