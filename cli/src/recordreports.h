#pragma once

#include "cli/options.h"
#include "inputrecords.h"
#include "progress.h"
#include "report/tablewriter.h"

namespace tessaron::cli {

// Writes the report the options choose (all but --compare, --batch, --map
// and --chart) for every chosen record: the sheet-like reports one block per
// record under its seqid when there are several, the tables with a seqid
// column, GFF3, BED and BEDPE sorted by seqid and start. Each record is
// loaded, searched and released before the next.
void writeRecordReports(const Options& options, const InputRecords& records, TableWriter& out,
                        Progress& progress);

}  // namespace tessaron::cli
