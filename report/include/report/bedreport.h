#pragma once

#include "engine/approximatesearch.h"
#include "engine/gappedsearch.h"
#include "engine/microsatellites.h"
#include "engine/repeatsnapshot.h"
#include "report/sortedrows.h"
#include "report/tablewriter.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tessaron {

// Whether BED readers (bedtools, the genome browsers) would take a line that
// begins with `seqid` for a header rather than an interval: it begins with
// "track", "browser" or '#'.
[[nodiscard]] bool seqidStartsBedHeader(std::string_view seqid);

// The repeats of a genome as BED6, one line per copy of every pair, with no
// track or header line: chrom (the GFF3 seqid of the sequence), 0-based start,
// exclusive end, name KIND-LENGTH-R-P as GFF3's repeat_pair, score 0 and
// strand: + but for the second copy of an inverted repeat, which is on -.
class BedReport {
public:
    // Lines to `out` as they come; a copy across the origin ends beyond the
    // sequence's length.
    BedReport(TableWriter& out, std::string_view seqid);
    // Lines to `rows` (a SortedRows sorts them by start); a copy across the
    // origin of a sequence `length` bases long is two lines of the same name
    // inside it, from its start to the end and from 0 to its last base.
    BedReport(RowTarget& rows, std::string_view seqid, std::int64_t length);
    BedReport(const BedReport&) = delete;
    BedReport& operator=(const BedReport&) = delete;

    // The copies of every pair of a snapshot with words, made in batches.
    void write(const RepeatSnapshot& snapshot);

    // One line per microsatellite, named (UNIT)REPEATS, on +.
    void write(std::span<const Microsatellite> list);

    // The copies of the approximate pairs of one kind, named KIND-N as in
    // GFF3, scored 10 x identity rounded (0..1000).
    void write(const ApproximateResult& result);
    // The gapped pairs of one kind, as the approximate ones, each copy at its own length.
    void write(const GappedResult& result);

private:
    // The approximate or gapped pairs of one kind.
    template <typename Result>
    void writePairs(const Result& result);

    void copyLine(std::int64_t start, std::int64_t length, std::string_view name,
                  const PreparedCells& scoreAndStrand);
    void line(std::int64_t start, std::int64_t end, std::string_view name,
              const PreparedCells& scoreAndStrand);

    std::optional<DirectRows> direct_;
    RowTarget& rows_;
    std::int64_t length_ = 0;  // 0: copies are not split at the origin
    PreparedCells chrom_;
    PreparedCells plus_;  // score and strand
    PreparedCells minus_;
};

// The pairs of a genome as BEDPE, one line per pair: chrom1, start1, end1
// (the first copy), chrom2, start2, end2 (the second), name KIND-LENGTH-R-P,
// score 0, strand1 + and strand2 (- for an inverted repeat, else +).
// Coordinates are 0-based, ends exclusive; a copy across the origin ends
// beyond the sequence's length, as in GFF3. Lines go to `rows` by the first
// copy's start.
class BedpeReport {
public:
    BedpeReport(RowTarget& rows, std::string_view seqid);

    void write(const RepeatSnapshot& snapshot);
    // The approximate pairs of one kind, named KIND-N as in GFF3, scored as in BED.
    void write(const ApproximateResult& result);
    // The gapped pairs of one kind, as the approximate ones, each copy at its own length.
    void write(const GappedResult& result);

private:
    template <typename Result>
    void writePairs(const Result& result);

    RowTarget& rows_;
    PreparedCells chrom_;
    PreparedCells plusPlus_;  // score and both strands
    PreparedCells plusMinus_;
};

}  // namespace tessaron
