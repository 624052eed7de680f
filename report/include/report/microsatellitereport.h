#pragma once

#include "compare/batch.h"
#include "compare/genomecomparison.h"
#include "engine/microsatellites.h"
#include "report/featureindex.h"
#include "report/reportlayout.h"
#include "report/tablewriter.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tessaron {

// The microsatellite table: a header line, then one row per microsatellite in
// the order given: start (1-based), unit_length, unit, repeats, length, class,
// compound ("-" when in none), end (1-based, inclusive: start + length - 1,
// beyond the sequence's length for one across the origin, as GFF3 writes
// it). With `features`, a last column, features, names those it overlaps
// ("trnK-UUU / matK", or "intergenic").
void writeMicrosatellites(TableWriter& out, std::span<const Microsatellite> list,
                          const FeatureIndex* features = nullptr);
// The same table in parts, for the records of a file as one table: the
// header, with a first column "seqid" when `withSeqid`, then each record's
// rows, begun with a non-empty `seqid`.
void writeMicrosatellitesHeader(TableWriter& out, bool withFeatures, bool withSeqid);
void writeMicrosatelliteRows(TableWriter& out, std::span<const Microsatellite> list,
                             const FeatureIndex* features, std::string_view seqid);

// "mono", "di", "tri", "tetra", "penta" or "hexa" for unit lengths 1 .. 6.
[[nodiscard]] std::string_view unitLengthName(int unitLength);

struct MicrosatelliteClassCount {
    std::string motifClass;
    int unitLength = 0;
    std::int64_t count = 0;
    std::int64_t inCompounds = 0;
    friend bool operator==(const MicrosatelliteClassCount&, const MicrosatelliteClassCount&) = default;
};

// What a paper's table says of the microsatellites of a genome.
struct MicrosatelliteCounts {
    std::array<std::int64_t, kMaxUnitLength> byUnitLength{};
    std::array<std::int64_t, kMaxUnitLength> inCompoundsByUnitLength{};
    std::vector<MicrosatelliteClassCount> byClass;  // by unit length, then class
    std::int64_t total = 0;
    std::int64_t inCompounds = 0;  // microsatellites that belong to a compound
    int compounds = 0;             // compounds
};

[[nodiscard]] MicrosatelliteCounts countMicrosatellites(std::span<const Microsatellite> list);

// The counts as a sheet, empty caption, three columns (name, microsatellites,
// in compounds): "Microsatellites by unit length:" with a row for each of
// mono .. hexa and a "total" row; an empty row; "Microsatellites by class:"
// with a row per class found; an empty row; "Compounds:" and their number.
[[nodiscard]] SheetLayout microsatelliteSummaryLayout(const MicrosatelliteCounts& counts);

// The counts as a tidy table: seqid, unit_length, class, microsatellites,
// in_compounds, compounds (the genome's, on each of its rows); one row per
// class found, by unit length then class, and for a unit length without any
// one row with an empty class and 0.
void writeMicrosatelliteCountsHeader(TableWriter& out);
void writeMicrosatelliteCountsRows(TableWriter& out, std::string_view seqid,
                                   const MicrosatelliteCounts& counts);

// The settings as a paper states them: "minimum repeats 10, 6, 5, 5, 5, 5
// (units of 1 to 6 letters); compounds within 100 bp".
[[nodiscard]] std::string microsatelliteSettingsText(const MicrosatelliteSettings& settings);

// A comparison of microsatellites, caption "Comparison of microsatellites",
// one row per genome under a header row:
// genome, the counts of mono .. hexa, total, in_compounds, compounds, then
// one column per class found in any genome (by unit length, then class).
[[nodiscard]] SheetLayout microsatelliteComparisonLayout(const MicrosatelliteComparison& comparison);
// The comparison as a tidy table: seqid, genome (as the sheet names it),
// then the columns of writeMicrosatelliteCountsRows from unit_length on.
void writeMicrosatelliteComparisonTable(TableWriter& out, const MicrosatelliteComparison& comparison);

// The tidy table of a batch of microsatellites: file, record, title, length,
// unit_length, class, microsatellites, in_compounds and compounds (the
// genome's, on each of its rows); per genome one row per class found, by unit
// length then class, and for a unit length without any one row with an
// empty class and 0. With `withSeqid` a column seqid follows record, and
// the rows are given the genome's non-empty `seqid`.
void writeMicrosatelliteBatchHeader(TableWriter& out, bool withSeqid = false);
void writeMicrosatelliteBatchRows(TableWriter& out, const BatchGenome& genome, std::string_view seqid = {});

}  // namespace tessaron
