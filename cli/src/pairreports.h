#pragma once

// What the approximate and the gapped searches write alike: their pairs as
// GFF3, BED or BEDPE, and their summary per kind and length class.

#include "cli/options.h"
#include "engine/approximatesearch.h"
#include "inputrecords.h"
#include "progress.h"
#include "recordwork.h"
#include "report/bedreport.h"
#include "report/gffreport.h"
#include "report/tablewriter.h"

#include <functional>

namespace tessaron::cli {

// The pairs of every chosen record as `report` (GFF3, BED or BEDPE), sorted
// by seqid and start; search(work) gives a record's results of the four
// kinds (ApproximateResult or GappedResult).
template <typename Search>
void writePairTracks(const InputRecords& records, TableWriter& out, Progress& progress, ReportKind report,
                     Search&& search)
{
    writeSortedRecords(records, out, progress, report == ReportKind::Gff,
                       [&](const RecordWork& work, RowTarget& rows) {
                           const auto results = search(work);
                           const int length = work.genome()->length();
                           if (report == ReportKind::Gff) {
                               GffReport gff(rows, work.seqid(), length);
                               gff.setFeatures(work.named());
                               if (records.several()) {
                                   gff.setIdPrefix(gffSeqid(work.seqid()) + ":");
                               }
                               for (const auto& result : results) {
                                   gff.write(result);
                               }
                           } else if (report == ReportKind::Bed) {
                               BedReport bed(rows, work.seqid(), length);
                               for (const auto& result : results) {
                                   bed.write(result);
                               }
                           } else {
                               BedpeReport bedpe(rows, work.seqid());
                               for (const auto& result : results) {
                                   bedpe.write(result);
                               }
                           }
                       });
}

// The summary of every chosen record: pairs per kind and length class of a
// search whose minimum is `minLength`, one block per record under its seqid
// when there are several, or with `tidy` one table.
void writeClassSummaries(const InputRecords& records, TableWriter& out, Progress& progress, bool tidy,
                         int minLength,
                         const std::function<ApproximateClassCounts(const RecordWork& work)>& countsOf);

}  // namespace tessaron::cli
