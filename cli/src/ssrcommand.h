#pragma once

// The command line's microsatellites (--ssr, --report ssr) and the repeat
// section of a genome paper (--report paper). Failures are thrown as
// std::runtime_error, memory running out as std::bad_alloc.

#include "cli/clirun.h"
#include "cli/options.h"
#include "engine/genome.h"
#include "input/feature.h"
#include "report/tablewriter.h"

#include <string_view>

namespace tessaron::cli {

// Whether the options ask for the microsatellites or the paper section,
// which need no repeat index.
[[nodiscard]] bool usesMicrosatellites(const Options& options);

// The report of one loaded genome: with --ssr the summary, the table, GFF3
// or BED of its microsatellites (`sequenceName` the GFF3 and BED seqid);
// --report paper the section, its figure drawn by `chartDrawer` when
// --chart names a file.
void writeMicrosatelliteReport(const Options& options, const Genome& genome, const FeatureList& features,
                               std::string_view sequenceName, TableWriter& out,
                               const ChartDrawer& chartDrawer);

// --compare --ssr: one row per genome.
void compareMicrosatellites(const Options& options, TableWriter& out);

// --batch --ssr: the tidy table of every genome, failed files told on
// standard error; the exit status.
[[nodiscard]] int microsatelliteBatch(const Options& options, TableWriter& out);

}  // namespace tessaron::cli
