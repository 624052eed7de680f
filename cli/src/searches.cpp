#include "searches.h"

#include "clifailure.h"
#include "compare/workers.h"

#include <string>

namespace tessaron::cli {

void throwSearchFailure(SearchFailure failure)
{
    switch (failure) {
        case SearchFailure::PairLimit:
            throw Failure{"Too many repeat pairs: a search would hold more than " +
                          std::to_string(Genome::kDefaultPairLimit) +
                          " of them. Try a higher minimum or a lower maximum."};
        case SearchFailure::Cancelled:
        case SearchFailure::OutOfMemory:
            break;
    }
    throw Failure{std::string(kOutOfMemory)};
}

std::string approximatePairLimitMessage(const Genome& genome)
{
    return "Too many approximate pairs: the search would hold more than " +
           std::to_string(approximatePairLimit(genome)) +
           " of them. Try a higher --min or --identity, or a lower --max-mismatches or --evalue.";
}

PreparedSearch prepare(std::shared_ptr<const Genome> genome, SearchMethod method,
                       std::span<const RepeatKind> kinds, const SearchControl& control,
                       const ApproximateSettings& approximate)
{
    PrepareOptions options;
    options.approximate = approximate;
    // A large index is built on two threads, but on one when the process may
    // use no more (0: the engine's own choice).
    options.buildThreads = usableCores() == 1 ? 1 : 0;
    auto prepared = prepareSearch(std::move(genome), method, kinds, control, options);
    if (const auto* failure = std::get_if<SearchFailure>(&prepared)) {
        throwSearchFailure(*failure);
    }
    return std::get<PreparedSearch>(std::move(prepared));
}

std::shared_ptr<const RepeatSnapshot> runSearch(const PreparedSearch& search, RepeatKind kind,
                                                SnapshotDetail detail, const SearchControl& control)
{
    auto result = search.run(kind, detail, control);
    if (auto* snapshot = std::get_if<std::shared_ptr<const RepeatSnapshot>>(&result)) {
        return std::move(*snapshot);
    }
    throwSearchFailure(std::get<SearchFailure>(result));
}

std::shared_ptr<const SuffixIndex> suffixIndexOf(std::shared_ptr<const Genome> genome,
                                                 const SearchControl& control)
{
    return prepare(std::move(genome), SearchMethod::Trie, {}, control).suffixIndex();
}

PairCountsByKind countPairs(const PreparedSearch& search, const SearchControl& control)
{
    PairCountsByKind counts;
    const double share = 1.0 / static_cast<double>(kKindOrder.size());
    for (std::size_t i = 0; i < kKindOrder.size(); ++i) {
        const RepeatKind kind = kKindOrder[i];
        counts[static_cast<std::size_t>(kind)] =
            runSearch(search, kind, SnapshotDetail::Counts,
                      control.part(static_cast<double>(i) * share, share))
                ->pairCounts();
    }
    return counts;
}

ControlSettings controlSettings(const Options& options)
{
    ControlSettings settings;
    settings.replicates = options.controls.value_or(0);
    // The controls of a random genome start after its own seed, so that none
    // of them is the genome itself.
    settings.seed = options.seed.value_or(1) + (options.randomCounts && options.seed ? 1U : 0U);
    settings.threads = options.jobs.value_or(0);
    return settings;
}

}  // namespace tessaron::cli
