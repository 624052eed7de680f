#include "approximatecommand.h"

#include "engine/repeatkinds.h"
#include "report/approximatereport.h"
#include "report/reports.h"

#include <variant>
#include <vector>

namespace tessaron {

std::optional<SearchFailure> writeApproximateReport(const Options& options, const Genome& genome,
                                                    std::string_view sequenceName,
                                                    const FeatureIndex* features, TableWriter& out,
                                                    std::ostream& notes)
{
    auto found = approximateSearch(genome, kKindOrder, options.approximate);
    if (const auto* failure = std::get_if<SearchFailure>(&found)) {
        return *failure;
    }
    const auto& results = std::get<std::vector<ApproximateResult>>(found);
    for (const ApproximateResult& result : results) {
        if (!result.exhaustive) {
            notes << "tessaron-cli: note: the approximate search is not exhaustive with these settings on a "
                     "sequence this long: it finds every pair that holds an exact match of "
                  << result.seedLength
                  << " letters and has at most twelve mismatches; raise --min or --identity "
                  << "for the complete answer\n";
            break;
        }
    }
    switch (options.report) {
        case ReportKind::Pairs:
            writeApproximatePairsHeader(out, features != nullptr);
            for (const ApproximateResult& result : results) {
                writeApproximatePairs(out, result, features);
            }
            break;
        case ReportKind::Gff:
            writeApproximateGff(out, sequenceName, genome.length(), results, features);
            break;
        case ReportKind::Bed:
            writeApproximateBed(out, sequenceName, results);
            break;
        case ReportKind::Bedpe:
            writeApproximateBedpe(out, sequenceName, results);
            break;
        default:
            writeLayout(out, approximateSummaryLayout(approximateClassCounts(results)));
            break;
    }
    return std::nullopt;
}

}  // namespace tessaron
