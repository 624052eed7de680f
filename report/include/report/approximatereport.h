#pragma once

// The approximate search's reports: the summary per kind and length class
// and the pairs as a table. GffReport, BedReport and BedpeReport write its
// pairs as GFF3, BED6 and BEDPE.

#include "engine/approximatesearch.h"
#include "report/featureindex.h"
#include "report/reportlayout.h"
#include "report/tablewriter.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tessaron {

// Per kind a heading ("Direct repeats:" ...) and one row per length class
// ("30-39" and its pairs, zeros included), kinds apart by an empty row; the
// classes named for a search whose minimum is `minLength`.
[[nodiscard]] SheetLayout approximateSummaryLayout(const ApproximateClassCounts& counts,
                                                   int minLength = kApproximateClassesFrom);

// kind, length, mismatches, first, second (1-based starts), identity,
// evalue, and with `withFeatures` first_features and second_features; with
// `withSeqid` a first column seqid.
void writeApproximatePairsHeader(TableWriter& out, bool withFeatures = false, bool withSeqid = false);
// One row per pair, in the result's order; with `features` the features
// each copy overlaps ("tRNA-Leu / ND5", or "intergenic"); a non-empty
// `seqid` fills the first column.
void writeApproximatePairs(TableWriter& out, const ApproximateResult& result,
                           const FeatureIndex* features = nullptr, std::string_view seqid = {});

// A pair's name in GFF3, BED and BEDPE: KIND-N, N its 1-based place among
// the pairs of its kind.
[[nodiscard]] std::string approximatePairName(RepeatKind kind, std::size_t index);

// The identity as written: two decimals ("93.33"); the E-value with three
// significant digits ("1.2e-05").
[[nodiscard]] std::string identityText(double identity);
[[nodiscard]] std::string evalueText(double evalue);

// The score of a pair in BED and BEDPE: 10 x identity rounded (0..1000).
[[nodiscard]] std::int64_t approximateScore(double identity);

// The summary as a tidy table's rows (writeSummaryTableHeader): seqid, kind,
// the length class as repeat_length, pairs; every class, zeros included.
void writeApproximateSummaryRows(TableWriter& out, std::string_view seqid,
                                 const ApproximateClassCounts& counts,
                                 int minLength = kApproximateClassesFrom);

}  // namespace tessaron
