#pragma once

#include "compare/batch.h"
#include "compare/genomecomparison.h"
#include "engine/imperfectmicrosatellites.h"
#include "engine/tandemrepeats.h"
#include "report/reportlayout.h"
#include "report/tablewriter.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tessaron {

// The tandem repeat table: a header line, then one row per array in the
// order given: start (1-based), end (1-based, inclusive; beyond the
// sequence's length for one across the origin), period, copies (one
// decimal), consensus, class, percent_matches, percent_indels (of the
// alignment's columns against the consensus), score, alignment (a compact
// CIGAR per copy, commas between copies).
void writeTandemRepeats(TableWriter& out, std::span<const TandemRepeat> list);

// The interrupted microsatellites with the microsatellite table's columns
// (compound always "-") and then mismatches and indels.
void writeImperfectMicrosatellites(TableWriter& out, std::span<const ImperfectMicrosatellite> list);

// GFF3 lines (no header) of the arrays: seqid, "tessaron", tandem_repeat
// (SO:0000705), 1-based start and inclusive end (beyond the length across the
// origin), the score, strand +, phase ".", attributes
// ID=tandem<N>;period=P;copies=C;consensus=SEQ;Ontology_term=SO:0000705,
// N counted from `firstNumber` and the ID after `idPrefix` (a record's
// "SEQID:" when a file holds several).
void writeTandemGff(TableWriter& out, std::string_view seqid, std::span<const TandemRepeat> list,
                    std::int64_t firstNumber = 1, std::string_view idPrefix = {});

// A stretch of a circular sequence: 0-based start, exclusive end, both within
// [0, N]; an array across the origin is two of them.
struct SequenceStretch {
    std::int64_t start = 0;
    std::int64_t end = 0;
    std::string name;
    friend bool operator==(const SequenceStretch&, const SequenceStretch&) = default;
};

// The stretches of arrays and of microsatellites on a circle of `length`
// letters, split at the origin, named "tandem:PxC" (period, copies) and
// "(UNIT)REPEATS".
[[nodiscard]] std::vector<SequenceStretch> tandemStretches(std::span<const TandemRepeat> list,
                                                           std::int64_t length);
[[nodiscard]] std::vector<SequenceStretch> microsatelliteStretches(std::span<const Microsatellite> list,
                                                                   std::int64_t length);

// BED6 lines of stretches: chrom (the GFF3 seqid), start, end, name, score 0, strand +.
void writeStretchesBed(TableWriter& out, std::string_view seqid, std::span<const SequenceStretch> stretches);

// The period classes of a paper's table: 1-6, 7-10, 11-20, 21-50, 51-100, >100.
inline constexpr std::array<std::string_view, 6> kPeriodClassNames{"1-6",   "7-10",   "11-20",
                                                                   "21-50", "51-100", ">100"};
[[nodiscard]] std::size_t periodClass(int period);

struct TandemCounts {
    std::array<std::int64_t, kPeriodClassNames.size()> arrays{};
    std::array<std::int64_t, kPeriodClassNames.size()> letters{};  // letters covered
    std::array<double, kPeriodClassNames.size()> copies{};         // copy numbers summed
    std::int64_t total = 0;
};
[[nodiscard]] TandemCounts countTandemRepeats(std::span<const TandemRepeat> list);

// The counts as a sheet, empty caption, four columns: "Tandem repeats by
// period:" with arrays, bp and mean copies; one row per class and "total".
[[nodiscard]] SheetLayout tandemSummaryLayout(const TandemCounts& counts);

// The copy-number classes of a paper's table: below 3, 3 to 5, 5 to 10, 10
// and more (lower bounds included), and the arrays per period class and
// copy-number class.
inline constexpr std::array<std::string_view, 4> kCopyClassNames{"<3", "3-5", "5-10", ">=10"};
[[nodiscard]] std::size_t copyClass(double copies);
using TandemCopyTable =
    std::array<std::array<std::int64_t, kCopyClassNames.size()>, kPeriodClassNames.size()>;
[[nodiscard]] TandemCopyTable tandemCopyTable(std::span<const TandemRepeat> list);

// The tidy table of --batch --tandem: file, record, title, length,
// period_class, arrays, bp, mean_copies (one decimal; empty for no array),
// one row per period class of every genome.
void writeTandemBatchHeader(TableWriter& out);
void writeTandemBatchRows(TableWriter& out, const BatchGenome& genome);

// The tidy table of --compare --tandem: one header, then per genome (in the
// comparison's order) one row per period class: seqid, genome (its row's
// title), length, period_class, arrays, bp, mean_copies (as the batch's).
void writeTandemComparisonTable(TableWriter& out, const TandemComparison& comparison);

// The settings as a paper states them: "periods 1 to 2000; match +2,
// mismatch -7, indel -7; minimum score 50; at least 1.8 copies".
[[nodiscard]] std::string tandemSettingsText(const TandemSettings& settings);

}  // namespace tessaron
