#pragma once

// The command line's microsatellites (--ssr, --report ssr) and the repeat
// section of a genome paper (--report paper). Failures are thrown as
// std::runtime_error, memory running out as std::bad_alloc.

#include "cli/clirun.h"
#include "cli/options.h"
#include "engine/genome.h"
#include "inputrecords.h"
#include "progress.h"
#include "report/tablewriter.h"

#include <string_view>

namespace tessaron::cli {

// Whether the options ask for the microsatellites or the paper section,
// which need no repeat index.
[[nodiscard]] bool usesMicrosatellites(const Options& options);

// The reports of the chosen records: with --ssr the summary, the table,
// GFF3 or BED of their microsatellites (one block per record under its seqid
// when there are several; GFF3 and BED sorted by seqid and start); --report
// paper the section of the first record, its figure drawn by `chartDrawer`
// when --chart names a file.
void writeMicrosatelliteReports(const Options& options, const InputRecords& records, TableWriter& out,
                                Progress& progress, const ChartDrawer& chartDrawer);

// --compare --ssr: one row per genome.
void compareMicrosatellites(const Options& options, TableWriter& out);

// --batch --ssr: the tidy table of every genome, failed files told on
// standard error; the exit status.
[[nodiscard]] int microsatelliteBatch(const Options& options, TableWriter& out);

}  // namespace tessaron::cli
