#pragma once

// The one entry to the repeat searches: the search methods, and one place
// that prepares the index a method needs and runs its search per kind.
//
// Microsatellites are not a method: they are not found per kind, give no
// pairs and need no index, so they have an entry of their own
// (findMicrosatellites in microsatellites.h) that runs on the genome alone.

#include "engine/approximatesearch.h"
#include "engine/completesearch.h"
#include "engine/genome.h"
#include "engine/repeatlist.h"
#include "engine/repeatsnapshot.h"
#include "engine/searchcontrol.h"
#include "engine/suffixindex.h"

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace tessaron {

// How the repeats are found.
enum class SearchMethod {
    Trie,      // the suffix index's searches: words of the minimum to the maximum length
    Complete,  // every maximal pair at its full length (completeSearch)
    // Pairs that agree at most letters (approximateSearch): its result is
    // pairs with mismatches, identity and E-value, not words, and its pairs
    // are counted per length class (kApproximateLengthClasses).
    Approximate,
};

struct MethodInfo {
    SearchMethod method;
    std::string_view name;   // "trie": settings, the command line and Python
    std::string_view title;  // what the desktop offers: "Complete search: ..."
    // Pairs longer than the maximum length are found too (the comparison
    // gives them a column of their own).
    bool findsLonger;
    // The search stores its pairs as it goes, so it may fail with PairLimit.
    bool storesPairs;
    // Its result is words (PreparedSearch::run) counted per length; else
    // approximate pairs (PreparedSearch::approximate) counted per length class.
    bool findsWords;
};

// Indexed by SearchMethod.
inline constexpr std::array<MethodInfo, 3> kMethods{{
    {SearchMethod::Trie, "trie", "Words of the minimum to the maximum length", false, false, true},
    {SearchMethod::Complete, "complete", "Complete search: every maximal repeat at its full length", true,
     true, true},
    {SearchMethod::Approximate, "approximate", "Approximate search: pairs that agree at most letters", true,
     false, false},
}};

[[nodiscard]] constexpr const MethodInfo& methodInfo(SearchMethod method)
{
    return kMethods[static_cast<std::size_t>(method)];
}

[[nodiscard]] constexpr std::string_view methodName(SearchMethod method)
{
    return methodInfo(method).name;
}

// The method of a name ("trie", "complete", "approximate").
[[nodiscard]] constexpr std::optional<SearchMethod> methodNamed(std::string_view name)
{
    for (const MethodInfo& info : kMethods) {
        if (info.name == name) {
            return info.method;
        }
    }
    return std::nullopt;
}

// What a method's count slot `slot` stands for in tables: the length
// minLength + slot ("8") for the methods that find words, the length class
// ("30-39") for the approximate search.
[[nodiscard]] std::string slotLabel(SearchMethod method, int minLength, std::size_t slot);

// The index a method needs, made once for the kinds it will search, and its
// search of each kind. Immutable and shareable between threads; it keeps the
// genome alive. Searching a kind it was not prepared for still gives the
// right result, only more slowly.
class PreparedSearch {
public:
    PreparedSearch(SearchMethod method, std::shared_ptr<const Genome> genome,
                   std::shared_ptr<const SuffixIndex> suffixIndex,
                   std::shared_ptr<const CompleteIndex> complete,
                   const ApproximateSettings& approximate = {});

    [[nodiscard]] SearchMethod method() const { return method_; }
    [[nodiscard]] const Genome& genome() const { return *genome_; }
    [[nodiscard]] const std::shared_ptr<const Genome>& sharedGenome() const { return genome_; }
    // The suffix index when one was built (the trie's searches need it, and
    // PrepareOptions::suffixIndex asks for it whatever the method); else null.
    [[nodiscard]] const std::shared_ptr<const SuffixIndex>& suffixIndex() const { return suffixIndex_; }

    // The search of one kind by a method that finds words: counts alone or
    // the words too; fails with OutOfMemory, PairLimit (a method that stores
    // its pairs) or Cancelled. The approximate method has no words: its run
    // fails with OutOfMemory (callers ask methodInfo(method).findsWords).
    [[nodiscard]] SnapshotResult run(RepeatKind kind, SnapshotDetail detail = SnapshotDetail::Words,
                                     const SearchControl& control = {}) const;

    // The approximate search of these kinds with the prepared settings
    // (whatever the method), one result per kind in the order given.
    [[nodiscard]] ApproximateSearchResults approximate(std::span<const RepeatKind> kinds,
                                                       const SearchControl& control = {}) const;
    [[nodiscard]] const ApproximateSettings& approximateSettings() const { return approximate_; }

private:
    SearchMethod method_;
    std::shared_ptr<const Genome> genome_;
    std::shared_ptr<const SuffixIndex> suffixIndex_;
    std::shared_ptr<const CompleteIndex> complete_;
    ApproximateSettings approximate_;
};

struct PrepareOptions {
    // Build the suffix index even when the method does not search it (the
    // motif search reads it).
    bool suffixIndex = false;
    // Threads that build the suffix index (0: up to two for a large genome).
    int buildThreads = 0;
    // A suffix index of this genome built before (the session keeps one):
    // used instead of building another.
    std::shared_ptr<const SuffixIndex> builtIndex;
    // The settings of the approximate search (which needs no index).
    ApproximateSettings approximate = {};
};

using PreparedResult = std::variant<PreparedSearch, SearchFailure>;

// Builds what `method` needs to search `kinds` of the genome (and what the
// options ask for), stoppable and reporting its progress over the whole
// preparation; fails with OutOfMemory or Cancelled.
[[nodiscard]] PreparedResult prepareSearch(std::shared_ptr<const Genome> genome, SearchMethod method,
                                           std::span<const RepeatKind> kinds,
                                           const SearchControl& control = {},
                                           const PrepareOptions& options = {});

}  // namespace tessaron
