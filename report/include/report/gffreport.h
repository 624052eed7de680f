#pragma once

#include "engine/approximatesearch.h"
#include "engine/gappedsearch.h"
#include "engine/genome.h"
#include "engine/microsatellites.h"
#include "engine/repeatsnapshot.h"
#include "report/featureindex.h"
#include "report/sortedrows.h"
#include "report/tablewriter.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tessaron {

// The repeats of a genome as GFF3: a "region" line for the circular
// sequence, then one "repeat_region" line per copy of every pair. The two
// copies of a pair share a repeat_pair attribute (KIND-LENGTH-R-P, R the
// repeat's 1-based number among those of its kind and length, P the pair's
// within the repeat) and have copy=1 and copy=2; their IDs are that value with
// ".1" and ".2". Coordinates are 1-based and inclusive; a copy across the
// origin ends beyond the sequence's length, as GFF3 writes circular features.
class GffReport {
public:
    // Writes the header and the region line of a sequence `length` bases
    // long, then every line to `out` as it comes.
    GffReport(TableWriter& out, std::string_view seqid, int length);
    // The region line and every line to `rows` (a SortedRows sorts them by
    // start); no header, which writeGffHeader writes once for every sequence.
    GffReport(RowTarget& rows, std::string_view seqid, int length);
    GffReport(const GffReport&) = delete;
    GffReport& operator=(const GffReport&) = delete;

    // The copies of every pair of a snapshot with words, made in batches.
    void write(const RepeatSnapshot& snapshot);

    // One "microsatellite" line (SO:0000289) on the + strand per
    // microsatellite: ID ssr-K (K its 1-based place in the list), Name as
    // (UNIT)REPEATS, rpt_type=tandem, rpt_unit_seq, repeats, motif_class and,
    // in a compound, compound=C; ends across the origin pass the length.
    void write(std::span<const Microsatellite> list);

    // The approximate pairs of one kind: per pair two "repeat_region" lines
    // (copy=1 and copy=2) sharing repeat_pair=KIND-N (N its 1-based place
    // among the kind's pairs), with rpt_type as for the exact repeats,
    // mismatches, identity and evalue.
    void write(const ApproximateResult& result);
    // The gapped pairs of one kind, as the approximate ones, each copy at its
    // own length, with insertions and deletions.
    void write(const GappedResult& result);

    // From now on each ID begins with `prefix` ("AB012104.1:"), so that IDs
    // stay unique in a file of several sequences.
    void setIdPrefix(std::string_view prefix) { idPrefix_ = prefix; }

    // From now on each copy's line names the features it overlaps in an
    // overlaps= attribute (names comma-separated, or "intergenic"); null
    // stops it. The index must outlive the writes.
    void setFeatures(const FeatureIndex* features) { features_ = features; }

private:
    // The approximate or gapped pairs of one kind.
    template <typename Result>
    void writePairs(const Result& result);

    // One line of a feature of `length` letters from `start`, with the
    // attributes made in attributes_.
    void featureLine(const PreparedCells& head, std::int64_t start, std::int64_t length,
                     const PreparedCells& strand);

    void regionLine(int length);

    std::optional<DirectRows> direct_;
    RowTarget& rows_;
    std::string seqid_;
    // The cells before the coordinates, and those between them and the
    // attributes on each strand.
    PreparedCells head_;
    PreparedCells microsatelliteHead_;
    PreparedCells plus_;
    PreparedCells minus_;
    PreparedCells noStrand_;
    // Reused from line to line: the attributes after the copy's number, made
    // once per word, and the attribute cell of a pair's copies.
    std::string typeAndWord_;
    std::string attributes_;
    const FeatureIndex* features_ = nullptr;
    std::string idPrefix_;
    std::string names_;
};

// A sequence of a GFF3 file: its id (as given to GffReport) and length.
struct GffSequence {
    std::string seqid;
    std::int64_t length = 0;
};

// "##gff-version 3", then a "##sequence-region" line for every sequence of
// a positive length.
void writeGffHeader(TableWriter& out, std::span<const GffSequence> sequences);

// A sequence id as GFF3 allows it: characters outside its set are escaped as
// %XX; an empty name becomes "sequence".
[[nodiscard]] std::string gffSeqid(std::string_view name);

}  // namespace tessaron
