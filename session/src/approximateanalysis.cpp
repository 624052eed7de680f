#include "session/approximateanalysis.h"

#include "engine/repeatkinds.h"

#include <algorithm>
#include <new>

namespace tessaron {

const ApproximateResult& ApproximateAnalysis::of(RepeatKind kind) const
{
    return results[static_cast<std::size_t>(kind)];
}

bool ApproximateAnalysis::exhaustive() const
{
    return std::all_of(results.begin(), results.end(),
                       [](const ApproximateResult& result) { return result.exhaustive; });
}

ApproximateOutcome analyseApproximately(std::shared_ptr<const Genome> genome,
                                        const ApproximateSettings& settings, const SearchControl& control)
{
    try {
        auto found = approximateSearch(*genome, kKindOrder, settings, control);
        if (const auto* failure = std::get_if<SearchFailure>(&found)) {
            return *failure;
        }
        auto analysis = std::make_shared<ApproximateAnalysis>();
        analysis->genome = std::move(genome);
        analysis->settings = settings;
        analysis->results = std::move(std::get<std::vector<ApproximateResult>>(found));
        analysis->counts = approximateClassCounts(analysis->results);
        return std::shared_ptr<const ApproximateAnalysis>(std::move(analysis));
    } catch (const std::bad_alloc&) {
        return SearchFailure::OutOfMemory;
    }
}

}  // namespace tessaron
