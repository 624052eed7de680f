#include "approximatecommand.h"

#include "engine/approximatesearch.h"
#include "engine/repeatkinds.h"
#include "pairreports.h"
#include "recordwork.h"
#include "report/approximatereport.h"
#include "searches.h"

#include <iostream>
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
    const auto found = [&](const RecordWork& work) { return search(options, work, progress, noted); };
    switch (options.report) {
        case ReportKind::Gff:
        case ReportKind::Bed:
        case ReportKind::Bedpe:
            writePairTracks(records, out, progress, options.report, found);
            return;
        case ReportKind::Pairs: {
            const bool seqidColumn = options.tidy || records.several();
            forEachRecord(records, progress, [&](const RecordWork& work, bool first) {
                if (first) {
                    writeApproximatePairsHeader(out, work.named() != nullptr, seqidColumn);
                }
                for (const ApproximateResult& result : found(work)) {
                    writeApproximatePairs(out, result, work.named(), seqidColumn ? work.seqid() : "");
                }
            });
            return;
        }
        default:
            break;
    }
    writeClassSummaries(records, out, progress, options.tidy, options.approximate.minLength,
                        [&](const RecordWork& work) { return approximateClassCounts(found(work)); });
}

}  // namespace tessaron::cli
