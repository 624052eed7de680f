#include "session/gappedanalysis.h"

#include "engine/alphabet.h"
#include "engine/repeatkinds.h"

#include <new>

namespace tessaron {

const GappedResult& GappedAnalysis::of(RepeatKind kind) const
{
    return results[static_cast<std::size_t>(kind)];
}

GappedOutcome analyseWithGaps(std::shared_ptr<const Genome> genome, const GappedSettings& settings,
                              bool families, const SearchControl& control)
{
    try {
        auto found = gappedSearch(*genome, kKindOrder, settings, control);
        if (const auto* failure = std::get_if<SearchFailure>(&found)) {
            return *failure;
        }
        auto analysis = std::make_shared<GappedAnalysis>();
        analysis->settings = settings;
        analysis->results = std::move(std::get<std::vector<GappedResult>>(found));
        if (families) {
            analysis->families = repeatFamilies(genome->length(), analysis->results);
        }
        for (const GappedResult& result : analysis->results) {
            auto& perClass = analysis->counts[static_cast<std::size_t>(result.kind)];
            for (const GappedPair& pair : result.pairs) {
                if (const auto lengthClass =
                        approximateLengthClass(pair.shorterLength(), settings.minLength)) {
                    ++perClass[*lengthClass];
                }
            }
        }
        analysis->genome = std::move(genome);
        return std::shared_ptr<const GappedAnalysis>(std::move(analysis));
    } catch (const std::bad_alloc&) {
        return SearchFailure::OutOfMemory;
    }
}

AlignmentRows alignmentRows(const Genome& genome, RepeatKind kind, const GappedPair& pair)
{
    AlignmentRows rows;
    const bool complemented = kind == RepeatKind::Inverted || kind == RepeatKind::Complementary;
    const std::vector<AlignedColumn> columns = alignedColumns(genome, kind, pair);
    rows.first.reserve(columns.size());
    rows.marks.reserve(columns.size());
    rows.second.reserve(columns.size());
    for (const AlignedColumn& column : columns) {
        const bool gap = column.first < 0 || column.second < 0;
        rows.first.push_back(column.first >= 0 ? genome.at(column.first) : '-');
        const char second = column.second >= 0 ? genome.at(column.second) : '-';
        rows.second.push_back(complemented && column.second >= 0 ? complement(second) : second);
        rows.marks.push_back(gap ? ' ' : column.equal ? '|' : 'x');
        rows.firstPositions.push_back(column.first + 1);
        rows.secondPositions.push_back(column.second + 1);
    }
    return rows;
}

}  // namespace tessaron
