#pragma once

// The machinery every report of one or more records shares, for the reports
// of repeats and for any other kind (microsatellites, approximate repeats):
// each record loaded in turn with what its reports read, and the sorted
// positional outputs (GFF3, BED, BEDPE) fed by rows from any source.

#include "engine/repeatkinds.h"
#include "engine/repeatsnapshot.h"
#include "engine/searchcontrol.h"
#include "engine/searchmethod.h"
#include "inputrecords.h"
#include "progress.h"
#include "report/featureindex.h"
#include "report/sortedrows.h"
#include "report/tablewriter.h"

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace tessaron::cli {

// One record's genome with what the reports of it read.
class RecordWork {
public:
    RecordWork(LoadedRecord loaded, Progress& progress);

    [[nodiscard]] const std::shared_ptr<Genome>& genome() const { return record_.genome; }
    [[nodiscard]] const FeatureList& features() const { return record_.features; }
    [[nodiscard]] const std::string& seqid() const { return record_.seqid; }
    // The features each copy overlaps, for GenBank input; null otherwise.
    [[nodiscard]] const FeatureIndex* named() const
    {
        return record_.features.empty() ? nullptr : &featureIndex_;
    }

    // A control that shows `what` of this record on the progress line.
    [[nodiscard]] SearchControl step(std::string_view what) const;
    [[nodiscard]] PreparedSearch prepare(SearchMethod method, std::span<const RepeatKind> kinds) const;
    // The search of a kind with its words (for pairs, listings, GFF3, BED).
    [[nodiscard]] std::shared_ptr<const RepeatSnapshot> words(const PreparedSearch& search,
                                                              RepeatKind kind) const;

private:
    LoadedRecord record_;
    Progress& progress_;
    FeatureIndex featureIndex_;
};

// Calls `write(work, first)` for every chosen record in turn, in file
// order; each record is loaded before its call and released after it.
void forEachRecord(const InputRecords& records, Progress& progress,
                   const std::function<void(const RecordWork& work, bool first)>& write);

// What a sorted positional output writes of one record: its rows into
// `rows`, each begun with its start, in any order.
using RecordRows = std::function<void(const RecordWork& work, RowTarget& rows)>;

// A positional output of every record: with `gffHeader` the GFF3 header
// naming every sequence's region first (tabix reads comment lines only
// before the first feature), then the records by seqid, each one's rows
// sorted by start (records of one seqid sorted as one).
void writeSortedRecords(const InputRecords& records, TableWriter& out, Progress& progress, bool gffHeader,
                        const RecordRows& write);

}  // namespace tessaron::cli
