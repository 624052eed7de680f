#include "engine/searchmethod.h"

#include <utility>

namespace tessaron {

namespace {

// With both indexes to build, the suffix index takes this share of the
// preparation's progress, the complete index the rest.
constexpr double kSuffixIndexShare = 0.3;

}  // namespace

PreparedSearch::PreparedSearch(SearchMethod method, std::shared_ptr<const Genome> genome,
                               std::shared_ptr<const SuffixIndex> suffixIndex,
                               std::shared_ptr<const CompleteIndex> complete,
                               const ApproximateSettings& approximate)
    : method_(method),
      genome_(std::move(genome)),
      suffixIndex_(std::move(suffixIndex)),
      complete_(std::move(complete)),
      approximate_(approximate)
{
}

SnapshotResult PreparedSearch::run(RepeatKind kind, SnapshotDetail detail, const SearchControl& control) const
{
    switch (method_) {
        case SearchMethod::Trie:
            return searchRepeats(suffixIndex_, kind, detail, control);
        case SearchMethod::Complete:
            return completeSearch(*complete_, kind, detail, control);
        case SearchMethod::Approximate:
            break;
    }
    return SearchFailure::OutOfMemory;
}

ApproximateSearchResults PreparedSearch::approximate(std::span<const RepeatKind> kinds,
                                                     const SearchControl& control) const
{
    return approximateSearch(*genome_, kinds, approximate_, control);
}

std::string slotLabel(SearchMethod method, int minLength, std::size_t slot)
{
    if (methodInfo(method).findsWords) {
        return std::to_string(static_cast<std::int64_t>(minLength) + static_cast<std::int64_t>(slot));
    }
    return slot < kApproximateLengthClasses.size() ? std::string(kApproximateLengthClasses[slot])
                                                   : std::string();
}

PreparedResult prepareSearch(std::shared_ptr<const Genome> genome, SearchMethod method,
                             std::span<const RepeatKind> kinds, const SearchControl& control,
                             const PrepareOptions& options)
{
    const bool needsComplete = method == SearchMethod::Complete;
    const bool needsSuffixIndex = method == SearchMethod::Trie || options.suffixIndex;
    const double suffixShare = needsComplete ? (needsSuffixIndex ? kSuffixIndexShare : 0.0) : 1.0;
    std::shared_ptr<const SuffixIndex> suffixIndex;
    if (needsSuffixIndex && options.builtIndex && options.builtIndex->sharedGenome() == genome) {
        suffixIndex = options.builtIndex;
    } else if (needsSuffixIndex) {
        auto built = buildIndex(genome, control.part(0.0, suffixShare), options.buildThreads);
        if (const auto* failure = std::get_if<SearchFailure>(&built)) {
            return *failure;
        }
        suffixIndex = std::get<std::shared_ptr<const SuffixIndex>>(std::move(built));
    }
    std::shared_ptr<const CompleteIndex> complete;
    if (needsComplete) {
        auto built = buildCompleteIndex(genome, kinds, control.part(suffixShare, 1.0 - suffixShare));
        if (const auto* failure = std::get_if<SearchFailure>(&built)) {
            return *failure;
        }
        complete = std::get<std::shared_ptr<const CompleteIndex>>(std::move(built));
    }
    control.report(1.0);
    return PreparedSearch(method, std::move(genome), std::move(suffixIndex), std::move(complete),
                          options.approximate);
}

}  // namespace tessaron
