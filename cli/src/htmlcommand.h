#pragma once

// --report html: one self-contained HTML page of the first chosen record.

#include "cli/options.h"
#include "inputrecords.h"
#include "progress.h"

#include <ostream>
#include <string>

namespace tessaron::cli {

// Runs the searches the page shows (the exact pairs from 30 bp, the
// approximate and the gapped pairs at their defaults from 30 bp and the
// gapped pairs' families, the microsatellites, the tandem arrays, the
// plastome's parts, the paper section) on the first chosen record and writes
// the page to `out`. `commandLine` is the command that made it, as the page
// states it.
void writeHtmlReport(const Options& options, const InputRecords& records, std::ostream& out,
                     Progress& progress, const std::string& commandLine);

}  // namespace tessaron::cli
