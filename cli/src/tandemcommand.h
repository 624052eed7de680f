#pragma once

// The command line's tandem arrays (--tandem, --report tandem) and masked
// sequences (--mask). Failures are thrown as std::runtime_error, memory
// running out as std::bad_alloc.

#include "cli/options.h"
#include "inputrecords.h"
#include "progress.h"
#include "report/tablewriter.h"

#include <ostream>

namespace tessaron::cli {

// Whether the options ask for the tandem arrays or a masked sequence.
[[nodiscard]] bool usesTandemRepeats(const Options& options);

// The reports of the chosen records: the summary, the table, GFF3 or BED of
// their tandem arrays (one block per record under its seqid when there are
// several; GFF3 and BED sorted by seqid and start).
void writeTandemReports(const Options& options, const InputRecords& records, TableWriter& out,
                        Progress& progress);

// --batch --tandem: the tidy table of every genome, failed files told on
// standard error; the exit status.
[[nodiscard]] int tandemBatch(const Options& options, TableWriter& out);

// --compare --tandem: the tidy table of the arrays per genome and period
// class; a file that fails ends the run (std::runtime_error).
void compareTandemRepeats(const Options& options, TableWriter& out);

// --mask: every chosen record as FASTA into `out`, the chosen classes masked.
void writeMaskedRecords(const Options& options, const InputRecords& records, std::ostream& out,
                        Progress& progress);

}  // namespace tessaron::cli
