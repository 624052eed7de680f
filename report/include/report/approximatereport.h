#pragma once

// The approximate search's reports: the summary per kind and length class,
// the pairs as a table, GFF3, BED6 and BEDPE.

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
// ("30-39" and its pairs, zeros included), kinds apart by an empty row.
[[nodiscard]] SheetLayout approximateSummaryLayout(const ApproximateClassCounts& counts);

// kind, length, mismatches, first, second (1-based starts), identity,
// evalue, and with `withFeatures` first_features and second_features.
void writeApproximatePairsHeader(TableWriter& out, bool withFeatures = false);
// One row per pair, in the result's order; with `features` the features
// each copy overlaps ("tRNA-Leu / ND5", or "intergenic").
void writeApproximatePairs(TableWriter& out, const ApproximateResult& result,
                           const FeatureIndex* features = nullptr);

// A pair's name in GFF3, BED and BEDPE: KIND-N, N its 1-based place among
// the pairs of its kind.
[[nodiscard]] std::string approximatePairName(RepeatKind kind, std::size_t index);

// The identity as written: two decimals ("93.33"); the E-value with three
// significant digits ("1.2e-05").
[[nodiscard]] std::string identityText(double identity);
[[nodiscard]] std::string evalueText(double evalue);

// GFF3 of the pairs: the header, a "region" line for the circular sequence,
// then per pair two "repeat_region" lines (copy=1 and copy=2) sharing
// repeat_pair=KIND-N, with rpt_type, mismatches, identity and evalue, and
// with `features` overlaps=NAME,NAME (or intergenic). A copy across the
// origin ends beyond the sequence's length.
void writeApproximateGff(TableWriter& out, std::string_view seqid, std::int64_t length,
                         std::span<const ApproximateResult> results, const FeatureIndex* features = nullptr);

// BED6, one line per copy: seqid, 0-based start, exclusive end, KIND-N, the
// score 10 x identity rounded (0..1000) and the strand (+, but - for the
// second copy of an inverted pair).
void writeApproximateBed(TableWriter& out, std::string_view seqid,
                         std::span<const ApproximateResult> results);

// BEDPE, one line per pair: seqid, start, end of the first copy, seqid,
// start, end of the second, KIND-N, the score as in BED, + and the second
// copy's strand.
void writeApproximateBedpe(TableWriter& out, std::string_view seqid,
                           std::span<const ApproximateResult> results);

}  // namespace tessaron
