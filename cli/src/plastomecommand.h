#pragma once

// The plastome's four parts on the command line: --plastome (its report,
// GFF3 and BED of the parts, and --batch's table) and --normalize.

#include "cli/clirun.h"
#include "cli/options.h"
#include "engine/plastomestructure.h"
#include "inputrecords.h"
#include "progress.h"
#include "report/tablewriter.h"

#include <vector>

namespace tessaron::cli {

// The settings --plastome-min-ir and --plastome-min-ir-share give.
[[nodiscard]] PlastomeSettings plastomeSettings(const Options& options);

// Whether the options ask for the plastome's parts or its standard form.
[[nodiscard]] bool usesPlastome(const Options& options);

// --plastome of every chosen record (its report, or --report gff or bed),
// or --normalize. Throws Failure when a record cannot be normalised.
void writePlastomeReports(const Options& options, const InputRecords& records, TableWriter& out,
                          Progress& progress);

// The rows of the junction figure: every record of every --compare file,
// in order.
[[nodiscard]] std::vector<JunctionChartRow> junctionChartRows(const Options& options, Progress& progress);

// --batch --plastome: one row per genome of every file, files in parallel
// (-j), written in the order given. Returns the exit status: 1 when a file
// failed (told on standard error), 0 otherwise.
int plastomeBatch(const Options& options, TableWriter& out, Progress& progress);

}  // namespace tessaron::cli
