#include "gappedcommand.h"

#include "engine/gappedsearch.h"
#include "engine/repeatfamilies.h"
#include "engine/repeatkinds.h"
#include "recordwork.h"
#include "report/approximatereport.h"
#include "report/bedreport.h"
#include "report/gappedreport.h"
#include "report/gffreport.h"
#include "report/reports.h"
#include "report/tidytables.h"
#include "searches.h"

#include <variant>
#include <vector>

namespace tessaron::cli {

namespace {

std::vector<GappedResult> search(const Options& options, const RecordWork& work)
{
    auto found = gappedSearch(*work.genome(), kKindOrder, options.gapped, work.step("gapped repeats"));
    if (const auto* failure = std::get_if<SearchFailure>(&found)) {
        if (*failure == SearchFailure::PairLimit) {
            throw Failure{approximatePairLimitMessage(*work.genome())};
        }
        throwSearchFailure(*failure);
    }
    return std::get<std::vector<GappedResult>>(std::move(found));
}

// The pairs per kind and length class of their shorter copy.
ApproximateClassCounts classCounts(const std::vector<GappedResult>& results)
{
    ApproximateClassCounts counts{};
    for (const GappedResult& result : results) {
        auto& perClass = counts[static_cast<std::size_t>(result.kind)];
        for (const GappedPair& pair : result.pairs) {
            if (const auto lengthClass =
                    approximateLengthClass(pair.shorterLength(), result.settings.minLength)) {
                ++perClass[*lengthClass];
            }
        }
    }
    return counts;
}

}  // namespace

void writeGappedReports(const Options& options, const InputRecords& records, TableWriter& out,
                        Progress& progress)
{
    switch (options.report) {
        case ReportKind::Gff:
        case ReportKind::Bed:
        case ReportKind::Bedpe: {
            const ReportKind report = options.report;
            writeSortedRecords(records, out, progress, report == ReportKind::Gff,
                               [&](const RecordWork& work, RowTarget& rows) {
                                   const auto results = search(options, work);
                                   const int length = work.genome()->length();
                                   if (report == ReportKind::Gff) {
                                       GffReport gff(rows, work.seqid(), length);
                                       gff.setFeatures(work.named());
                                       if (records.several()) {
                                           gff.setIdPrefix(gffSeqid(work.seqid()) + ":");
                                       }
                                       for (const GappedResult& result : results) {
                                           gff.write(result);
                                       }
                                   } else if (report == ReportKind::Bed) {
                                       BedReport bed(rows, work.seqid(), length);
                                       for (const GappedResult& result : results) {
                                           bed.write(result);
                                       }
                                   } else {
                                       BedpeReport bedpe(rows, work.seqid());
                                       for (const GappedResult& result : results) {
                                           bedpe.write(result);
                                       }
                                   }
                               });
            return;
        }
        case ReportKind::Pairs:
            forEachRecord(records, progress, [&](const RecordWork& work, bool first) {
                if (first) {
                    writeGappedPairsHeader(out, work.named() != nullptr, records.several());
                }
                for (const GappedResult& result : search(options, work)) {
                    writeGappedPairs(out, result, work.named(), records.several() ? work.seqid() : "");
                }
            });
            return;
        case ReportKind::Families:
            forEachRecord(records, progress, [&](const RecordWork& work, bool first) {
                if (first) {
                    writeFamiliesHeader(out, records.several());
                }
                const std::vector<GappedResult> results = search(options, work);
                const std::vector<RepeatFamily> families = repeatFamilies(work.genome()->length(), results);
                writeFamilies(out, work.genome()->length(), families, records.several() ? work.seqid() : "");
            });
            return;
        default:
            break;
    }
    if (options.tidy) {
        writeSummaryTableHeader(out);
    }
    const int minLength = options.gapped.minLength;
    forEachRecord(records, progress, [&](const RecordWork& work, bool first) {
        const ApproximateClassCounts counts = classCounts(search(options, work));
        if (options.tidy) {
            writeApproximateSummaryRows(out, work.seqid(), counts, minLength);
            return;
        }
        if (records.several()) {
            writeRecordHeading(out, work.seqid(), first);
        }
        writeLayout(out, approximateSummaryLayout(counts, minLength));
    });
}

}  // namespace tessaron::cli
