#include "gappedcommand.h"

#include "compare/longrepeatcounts.h"
#include "engine/gappedsearch.h"
#include "engine/repeatfamilies.h"
#include "engine/repeatkinds.h"
#include "pairreports.h"
#include "recordwork.h"
#include "report/gappedreport.h"
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

}  // namespace

void writeGappedReports(const Options& options, const InputRecords& records, TableWriter& out,
                        Progress& progress)
{
    const auto found = [&](const RecordWork& work) { return search(options, work); };
    // --tidy tables have their seqid column whatever the number of records.
    const bool seqidColumn = options.tidy || records.several();
    switch (options.report) {
        case ReportKind::Gff:
        case ReportKind::Bed:
        case ReportKind::Bedpe:
            writePairTracks(records, out, progress, options.report, found);
            return;
        case ReportKind::Pairs:
            forEachRecord(records, progress, [&](const RecordWork& work, bool first) {
                if (first) {
                    writeGappedPairsHeader(out, work.named() != nullptr, seqidColumn);
                }
                for (const GappedResult& result : found(work)) {
                    writeGappedPairs(out, result, work.named(), seqidColumn ? work.seqid() : "");
                }
            });
            return;
        case ReportKind::Families:
            forEachRecord(records, progress, [&](const RecordWork& work, bool first) {
                if (first) {
                    writeFamiliesHeader(out, seqidColumn);
                }
                const std::vector<RepeatFamily> families =
                    repeatFamilies(work.genome()->length(), found(work));
                writeFamilies(out, work.genome()->length(), families, seqidColumn ? work.seqid() : "");
            });
            return;
        default:
            break;
    }
    writeClassSummaries(records, out, progress, options.tidy, options.gapped.minLength,
                        [&](const RecordWork& work) { return gappedClassCounts(found(work)); });
}

}  // namespace tessaron::cli
