#pragma once

// The gapped search's reports: the pairs table (the approximate search's
// columns, then second_length, insertions, deletions and cigar) and the
// families table.

#include "engine/gappedsearch.h"
#include "engine/repeatfamilies.h"
#include "report/featureindex.h"
#include "report/tablewriter.h"

#include <span>
#include <string>
#include <string_view>

namespace tessaron {

// kind, length, mismatches, first, second (1-based starts), identity,
// evalue, [first_features, second_features,] second_length, insertions,
// deletions, cigar; with `withSeqid` a first column seqid.
void writeGappedPairsHeader(TableWriter& out, bool withFeatures = false, bool withSeqid = false);
// One row per pair, in the result's order, as writeApproximatePairs writes
// the columns they share (mismatches: unequal columns; length: the first
// copy's).
void writeGappedPairs(TableWriter& out, const GappedResult& result, const FeatureIndex* features = nullptr,
                      std::string_view seqid = {});

// The families table, one row per copy: family (1-based), copies,
// representative (start..end, 1-based), min_length, max_length, kinds
// ("direct,inverted"), copy (start..end), strand (+, -, reverse,
// complement: the copy read against the representative); with `withSeqid`
// a first column seqid.
void writeFamiliesHeader(TableWriter& out, bool withSeqid = false);
void writeFamilies(TableWriter& out, std::int64_t genomeLength, std::span<const RepeatFamily> families,
                   std::string_view seqid = {});

// The kinds present among a family's pairs, as the table writes them:
// "direct,inverted".
[[nodiscard]] std::string familyKinds(const RepeatFamily& family);

// A copy as "start..end", 1-based and inclusive; a copy over the origin
// ends past it at end - N ("154400..120").
[[nodiscard]] std::string copyRange(std::int64_t genomeLength, std::int64_t start, std::int64_t length);

}  // namespace tessaron
