#pragma once

// The command line's approximate search (--approximate): one search of the
// four kinds per chosen record, then the report the options ask for.

#include "cli/options.h"
#include "inputrecords.h"
#include "progress.h"
#include "report/tablewriter.h"

namespace tessaron::cli {

// Searches the four kinds of every chosen record with the options' settings
// and writes the summary (pairs per kind and length class; one block per
// record under its seqid when there are several, or with --tidy a table),
// the pairs (a seqid column for several records), or GFF3, BED or BEDPE
// sorted by seqid and start as the exact repeats' are. With GenBank input the
// pairs and GFF3 name the features of each copy. When a search could not be
// exhaustive, says so on standard error, once. Throws Failure when a search
// fails.
void writeApproximateReports(const Options& options, const InputRecords& records, TableWriter& out,
                             Progress& progress);

}  // namespace tessaron::cli
