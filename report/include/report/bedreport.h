#pragma once

#include "engine/microsatellites.h"
#include "engine/repeatsnapshot.h"
#include "report/tablewriter.h"

#include <span>
#include <string>
#include <string_view>

namespace tessaron {

// The repeats of a genome as BED6, one line per copy of every pair, with no
// track or header line: chrom (the GFF3 seqid of the sequence), 0-based start,
// exclusive end (beyond the sequence's length for a copy across the origin),
// name KIND-LENGTH-R-P as GFF3's repeat_pair, score 0 and strand: + but for
// the second copy of an inverted repeat, which is on -.
class BedReport {
public:
    BedReport(TableWriter& out, std::string_view seqid);

    // The copies of every pair of a snapshot with words, made in batches.
    void write(const RepeatSnapshot& snapshot);

    // One line per microsatellite, named (UNIT)REPEATS, on +.
    void write(std::span<const Microsatellite> list);

private:
    void copyLine(std::int64_t start, std::int64_t length, std::string_view name,
                  const PreparedCells& scoreAndStrand);

    TableWriter& out_;
    PreparedCells chrom_;
    PreparedCells plus_;  // score and strand
    PreparedCells minus_;
};

}  // namespace tessaron
