#include "approximatecommand.h"

#include "engine/approximatesearch.h"
#include "engine/repeatkinds.h"
#include "recordwork.h"
#include "report/approximatereport.h"
#include "report/bedreport.h"
#include "report/gffreport.h"
#include "report/reports.h"
#include "report/tidytables.h"
#include "searches.h"

#include <iostream>
#include <optional>
#include <variant>
#include <vector>

namespace tessaron::cli {

namespace {

// The four kinds' pairs of a record; the first search that is not
// exhaustive is told on standard error.
std::vector<ApproximateResult> search(const Options& options, const RecordWork& work, Progress& progress,
                                      bool& noted)
{
    auto found =
        approximateSearch(*work.genome(), kKindOrder, options.approximate, work.step("approximate repeats"));
    if (const auto* failure = std::get_if<SearchFailure>(&found)) {
        if (*failure == SearchFailure::PairLimit) {
            throw Failure{approximatePairLimitMessage(*work.genome())};
        }
        throwSearchFailure(*failure);
    }
    auto results = std::get<std::vector<ApproximateResult>>(std::move(found));
    for (const ApproximateResult& result : results) {
        if (!result.exhaustive && !noted) {
            noted = true;
            progress.clear();
            std::cerr
                << "tessaron-cli: note: the approximate search is not exhaustive with these settings on a "
                   "sequence this long: it finds every pair that holds an exact match of "
                << result.seedLength
                << " letters and has at most twelve mismatches; raise --min or --identity "
                << "for the complete answer\n";
        }
    }
    return results;
}

}  // namespace

void writeApproximateReports(const Options& options, const InputRecords& records, TableWriter& out,
                             Progress& progress)
{
    bool noted = false;
    switch (options.report) {
        case ReportKind::Gff:
        case ReportKind::Bed:
        case ReportKind::Bedpe: {
            const ReportKind report = options.report;
            writeSortedRecords(records, out, progress, report == ReportKind::Gff,
                               [&](const RecordWork& work, RowTarget& rows) {
                                   const auto results = search(options, work, progress, noted);
                                   const int length = work.genome()->length();
                                   if (report == ReportKind::Gff) {
                                       GffReport gff(rows, work.seqid(), length);
                                       gff.setFeatures(work.named());
                                       if (records.several()) {
                                           gff.setIdPrefix(gffSeqid(work.seqid()) + ":");
                                       }
                                       for (const ApproximateResult& result : results) {
                                           gff.write(result);
                                       }
                                   } else if (report == ReportKind::Bed) {
                                       BedReport bed(rows, work.seqid(), length);
                                       for (const ApproximateResult& result : results) {
                                           bed.write(result);
                                       }
                                   } else {
                                       BedpeReport bedpe(rows, work.seqid());
                                       for (const ApproximateResult& result : results) {
                                           bedpe.write(result);
                                       }
                                   }
                               });
            return;
        }
        case ReportKind::Pairs: {
            const bool seqidColumn = options.tidy || records.several();
            forEachRecord(records, progress, [&](const RecordWork& work, bool first) {
                if (first) {
                    writeApproximatePairsHeader(out, work.named() != nullptr, seqidColumn);
                }
                for (const ApproximateResult& result : search(options, work, progress, noted)) {
                    writeApproximatePairs(out, result, work.named(), seqidColumn ? work.seqid() : "");
                }
            });
            return;
        }
        default:
            break;
    }
    if (options.tidy) {
        writeSummaryTableHeader(out);
    }
    forEachRecord(records, progress, [&](const RecordWork& work, bool first) {
        const ApproximateClassCounts counts = approximateClassCounts(search(options, work, progress, noted));
        if (options.tidy) {
            writeApproximateSummaryRows(out, work.seqid(), counts, options.approximate.minLength);
            return;
        }
        if (records.several()) {
            writeRecordHeading(out, work.seqid(), first);
        }
        writeLayout(out, approximateSummaryLayout(counts, options.approximate.minLength));
    });
}

}  // namespace tessaron::cli
