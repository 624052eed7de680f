#pragma once

#include "engine/genome.h"
#include "engine/repeatkinds.h"
#include "engine/repeatlist.h"
#include "engine/repeatsnapshot.h"
#include "input/feature.h"
#include "report/featureindex.h"
#include "report/reportlayout.h"
#include "report/tablewriter.h"

#include <string_view>

namespace tessaron {

// A report sheet's cells as rows: every row from the first to the last, each
// with as many cells as the widest row; cells never written are empty.
void writeLayout(TableWriter& out, const SheetLayout& layout);

// The title, the number of bases and the counts of A, T, C and G in the sequence.
void writeInfo(TableWriter& out, const Genome& genome);

// Before the rows of one record of a file of several, in the reports laid
// out as sheets: an empty row unless it is the first, then "seqid" and the
// record's seqid.
void writeRecordHeading(TableWriter& out, std::string_view seqid, bool first);

// The header of the pairs report, with the two feature columns when
// `withFeatures` and a first column "seqid" when `withSeqid`.
void writePairsHeader(TableWriter& out, bool withFeatures = false, bool withSeqid = false);
// Every pair of one search (SnapshotDetail::Words): kind, length, the word
// (read from the first copy) and the 1-based starts of both copies; lengths
// and words in order, the pairs made in batches as they are written. With
// `features`, two more cells name the features each copy overlaps
// ("tRNA-Leu / ND5", or "intergenic"). A non-empty `seqid` is written first.
void writePairs(TableWriter& out, const RepeatSnapshot& snapshot, const FeatureIndex* features = nullptr,
                std::string_view seqid = {});

// A header, then per feature its name, 1-based start and end, and its colour
// as #RRGGBB.
void writeFeatures(TableWriter& out, const FeatureList& features);

// A header, the 1-based starts in the order given, then their number.
void writeMotif(TableWriter& out, const PositionList& starts);

// "#RRGGBB" for a 0x00BBGGRR colour.
[[nodiscard]] std::string htmlColor(std::uint32_t color);

}  // namespace tessaron
