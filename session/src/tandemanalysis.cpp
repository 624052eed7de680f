#include "session/tandemanalysis.h"

#include <new>
#include <utility>

namespace tessaron {

TandemOutcome analyseTandemRepeats(std::shared_ptr<const Genome> genome, const TandemSettings& settings,
                                   const SearchControl& control)
{
    try {
        TandemRepeatResult found = findTandemRepeats(*genome, settings, control);
        if (const auto* failure = std::get_if<SearchFailure>(&found)) {
            return *failure;
        }
        auto analysis = std::make_shared<TandemAnalysis>();
        analysis->genome = std::move(genome);
        analysis->settings = settings;
        analysis->arrays = std::get<TandemRepeatList>(std::move(found));
        return std::shared_ptr<const TandemAnalysis>(std::move(analysis));
    } catch (const std::bad_alloc&) {
        return SearchFailure::OutOfMemory;
    }
}

}  // namespace tessaron
