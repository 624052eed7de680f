#pragma once

#include "engine/genome.h"
#include "engine/repeatsnapshot.h"
#include "report/featureindex.h"
#include "report/tablewriter.h"

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
    // Writes the header and the region line of a sequence `length` bases long.
    GffReport(TableWriter& out, std::string_view seqid, int length);

    // The copies of every pair of a snapshot with words, made in batches.
    void write(const RepeatSnapshot& snapshot);

    // From now on each copy's line names the features it overlaps in an
    // overlaps= attribute (names comma-separated, or "intergenic"); null
    // stops it. The index must outlive the writes.
    void setFeatures(const FeatureIndex* features) { features_ = features; }

private:
    // One copy's line, with the attributes made in attributes_.
    void copyLine(std::int64_t start, int length, const PreparedCells& strand);

    TableWriter& out_;
    std::string seqid_;
    // The cells before the coordinates, and those between them and the
    // attributes on each strand.
    PreparedCells head_;
    PreparedCells plus_;
    PreparedCells minus_;
    PreparedCells noStrand_;
    // Reused from line to line: the attributes after the copy's number, made
    // once per word, and the attribute cell of a pair's copies.
    std::string typeAndWord_;
    std::string attributes_;
    const FeatureIndex* features_ = nullptr;
    std::string names_;
};

// A sequence id as GFF3 allows it: characters outside its set are escaped as
// %XX; an empty name becomes "sequence".
[[nodiscard]] std::string gffSeqid(std::string_view name);

}  // namespace tessaron
