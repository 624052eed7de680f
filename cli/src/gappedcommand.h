#pragma once

// The command line's gapped search (--approximate --gaps): one search of the
// four kinds per chosen record, then the report the options ask for.

#include "cli/options.h"
#include "inputrecords.h"
#include "progress.h"
#include "report/tablewriter.h"

namespace tessaron::cli {

// Searches the four kinds of every chosen record with the options' gapped
// settings and writes the summary (pairs per kind and length class of the
// shorter copy, as the approximate search's), the pairs (its columns, then
// second_length, insertions, deletions and cigar), GFF3, BED or BEDPE (each
// copy at its own length), or the families table. Throws Failure when a
// search fails.
void writeGappedReports(const Options& options, const InputRecords& records, TableWriter& out,
                        Progress& progress);

}  // namespace tessaron::cli
