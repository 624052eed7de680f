#pragma once

// --report html: one self-contained HTML page of the first chosen record.

#include "cli/options.h"
#include "inputrecords.h"
#include "progress.h"

#include <ostream>
#include <string>
#include <string_view>

namespace tessaron::cli {

// Runs the searches the page shows (the exact pairs from 30 bp, the
// approximate pairs at the defaults from 30 bp, the microsatellites, the
// paper section) on the first chosen record and writes the page to `out`.
// `commandLine` is the command that made it, as the page states it.
void writeHtmlReport(const Options& options, const InputRecords& records, std::ostream& out,
                     Progress& progress, const std::string& commandLine);

// A word as a shell reads it back: quoted when it holds anything but
// letters, digits and a few signs.
[[nodiscard]] std::string shellWord(std::string_view word);

}  // namespace tessaron::cli
