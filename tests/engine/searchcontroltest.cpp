// Stopping, progress and the reasons for giving up, of the index builds, the
// searches and the one search entry.

#include "engine/genome.h"
#include "engine/repeatsnapshot.h"
#include "engine/searchmethod.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <optional>
#include <random>
#include <stdexcept>
#include <stop_token>
#include <string>
#include <vector>

namespace tessaron {
namespace {

std::string randomBases(int count, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    std::string bases;
    for (int i = 0; i < count; ++i) {
        bases += kAlphabet[rng() % 4];
    }
    return bases;
}

// A genome large enough for the build and the walks to look at the stop
// request several times.
std::shared_ptr<Genome> largeGenome(int count = 200'000)
{
    auto genome = std::make_shared<Genome>();
    const std::string bases = randomBases(count, 7);
    EXPECT_TRUE(genome->allocate(static_cast<std::int64_t>(bases.size()), 8, 30));
    genome->appendText(bases.c_str());
    return genome;
}

// The fractions a step reports, and whether they rise to 1.
struct Progress {
    std::vector<double> seen;
    SearchControl control()
    {
        return SearchControl{{}, [this](double fraction) { seen.push_back(fraction); }};
    }
    void expectRisingToOne(std::size_t atLeast = 3) const
    {
        ASSERT_GE(seen.size(), atLeast);
        EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
        EXPECT_GE(seen.front(), 0.0);
        EXPECT_EQ(seen.back(), 1.0);
    }
};

TEST(SearchControl, BuildReportsRisingProgressAndEndsAtOne)
{
    const std::shared_ptr<const Genome> genome = largeGenome();
    for (const int threads : {1, 2}) {
        Progress progress;
        const auto built = buildIndex(genome, progress.control(), threads);
        ASSERT_TRUE(std::holds_alternative<std::shared_ptr<const SuffixIndex>>(built));
        EXPECT_FALSE(std::get<std::shared_ptr<const SuffixIndex>>(built)->empty());
        progress.expectRisingToOne();
    }
}

TEST(SearchControl, CancelledBuildGivesNoIndex)
{
    const std::shared_ptr<const Genome> genome = largeGenome();
    for (const int threads : {1, 2}) {
        SCOPED_TRACE(threads);
        // Before it starts, and from inside, at its first progress report.
        std::stop_source early;
        early.request_stop();
        EXPECT_EQ(std::get<SearchFailure>(buildIndex(genome, SearchControl{early.get_token(), {}}, threads)),
                  SearchFailure::Cancelled);
        std::stop_source midway;
        SearchControl control{midway.get_token(), [&midway](double) { midway.request_stop(); }};
        EXPECT_EQ(std::get<SearchFailure>(buildIndex(genome, control, threads)), SearchFailure::Cancelled);
        // A later build is whole.
        const auto index = test::indexOf(genome, threads);
        ASSERT_NE(index, nullptr);
        EXPECT_EQ(
            index->baseCount('A') + index->baseCount('T') + index->baseCount('C') + index->baseCount('G'),
            genome->length());
    }
}

TEST(SearchControl, SearchesStopOnRequest)
{
    const auto genome = test::indexOf(largeGenome());
    ASSERT_NE(genome, nullptr);
    for (const RepeatKind kind : test::kAllKinds) {
        SCOPED_TRACE(static_cast<int>(kind));
        for (const SnapshotDetail detail : {SnapshotDetail::Counts, SnapshotDetail::Words}) {
            std::stop_source stop;
            int reports = 0;
            SearchControl control{stop.get_token(), [&](double fraction) {
                                      EXPECT_GE(fraction, 0.0);
                                      EXPECT_LE(fraction, 1.0);
                                      ++reports;
                                      stop.request_stop();
                                  }};
            const auto result = searchRepeats(genome, kind, detail, control);
            ASSERT_TRUE(std::holds_alternative<SearchFailure>(result));
            EXPECT_EQ(std::get<SearchFailure>(result), SearchFailure::Cancelled);
            EXPECT_EQ(reports, 1);
        }
        std::stop_source stop;
        SearchControl control{stop.get_token(), [&stop](double) { stop.request_stop(); }};
        const auto stored = genome->searchList(kind, control);
        ASSERT_TRUE(std::holds_alternative<SearchFailure>(stored));
        EXPECT_EQ(std::get<SearchFailure>(stored), SearchFailure::Cancelled);
    }
}

// A large index is walked in parts on two threads; put together, the words
// and their pairs are those of the one-thread stored search.
TEST(SearchControl, SearchInPartsMatchesTheStoredList)
{
    const auto genome = test::indexOf(largeGenome());
    ASSERT_NE(genome, nullptr);
    for (const RepeatKind kind : test::kAllKinds) {
        SCOPED_TRACE(static_cast<int>(kind));
        const auto stored = genome->searchList(kind);
        const auto& list = *std::get<std::unique_ptr<RepeatList>>(stored);
        const auto words = searchRepeats(genome, kind, SnapshotDetail::Words);
        const auto materialized = materialize(*std::get<std::shared_ptr<const RepeatSnapshot>>(words));
        const auto& again = *std::get<std::unique_ptr<RepeatList>>(materialized);
        EXPECT_EQ(test::describeRepeats(genome->genome(), again),
                  test::describeRepeats(genome->genome(), list));
    }
}

TEST(SearchControl, PairLimitIsToldApartAndSpareTheCounts)
{
    // The limit is the genome's, read by each search.
    const auto genome = largeGenome();
    const auto shared = test::indexOf(genome);
    ASSERT_NE(shared, nullptr);
    for (const RepeatKind kind : test::kAllKinds) {
        SCOPED_TRACE(static_cast<int>(kind));
        genome->setPairLimit(Genome::kDefaultPairLimit);
        const auto words = searchRepeats(shared, kind, SnapshotDetail::Words);
        const auto& snapshot = *std::get<std::shared_ptr<const RepeatSnapshot>>(words);
        ASSERT_GT(snapshot.total(), 1000);

        genome->setPairLimit(snapshot.total() - 1);
        const auto stored = shared->searchList(kind);
        ASSERT_TRUE(std::holds_alternative<SearchFailure>(stored));
        EXPECT_EQ(std::get<SearchFailure>(stored), SearchFailure::PairLimit);
        const auto materialized = materialize(snapshot);
        ASSERT_TRUE(std::holds_alternative<SearchFailure>(materialized));
        EXPECT_EQ(std::get<SearchFailure>(materialized), SearchFailure::PairLimit);
        // Counting stores no pair, so the limit does not apply.
        const auto counted = searchRepeats(shared, kind, SnapshotDetail::Counts);
        ASSERT_TRUE(std::holds_alternative<std::shared_ptr<const RepeatSnapshot>>(counted));
        EXPECT_EQ(std::get<std::shared_ptr<const RepeatSnapshot>>(counted)->total(), snapshot.total());
    }
}

TEST(SearchControl, RunStepTurnsEveryStopIntoItsFailure)
{
    using Result = std::variant<int, SearchFailure>;
    const auto failureOf = [](const SearchControl& control, auto step) {
        const Result result = runStep(control, step);
        return std::holds_alternative<SearchFailure>(result) ? std::optional(std::get<SearchFailure>(result))
                                                             : std::nullopt;
    };
    const SearchControl running;
    EXPECT_EQ(failureOf(running, []() -> Result { return 7; }), std::nullopt);
    EXPECT_EQ(failureOf(running, []() -> Result { throw std::bad_alloc(); }), SearchFailure::OutOfMemory);
    EXPECT_EQ(failureOf(running, []() -> Result { throw std::length_error("vector"); }),
              SearchFailure::OutOfMemory);
    EXPECT_EQ(failureOf(running, []() -> Result { throw SearchStopped{SearchFailure::PairLimit}; }),
              SearchFailure::PairLimit);
    std::stop_source stop;
    stop.request_stop();
    bool ran = false;
    EXPECT_EQ(failureOf(SearchControl{stop.get_token(), {}},
                        [&ran]() -> Result {
                            ran = true;
                            return 7;
                        }),
              SearchFailure::Cancelled);
    EXPECT_FALSE(ran);
}

// Each method through the one entry: the same snapshots as its own search,
// one progress over the whole preparation, and a cancel.
TEST(SearchControl, PreparedSearchRunsEachMethod)
{
    const std::shared_ptr<const Genome> genome = largeGenome(40'000);
    const auto index = test::indexOf(genome);
    ASSERT_NE(index, nullptr);
    for (const SearchMethod method : {SearchMethod::Trie, SearchMethod::Complete}) {
        SCOPED_TRACE(std::string(methodName(method)));
        EXPECT_EQ(methodNamed(methodName(method)), method);
        for (const bool withSuffixIndex : {false, true}) {
            Progress progress;
            auto prepared = prepareSearch(genome, method, test::kAllKinds, progress.control(),
                                          PrepareOptions{withSuffixIndex, 0, nullptr});
            ASSERT_TRUE(std::holds_alternative<PreparedSearch>(prepared));
            progress.expectRisingToOne(1);
            const PreparedSearch& search = std::get<PreparedSearch>(prepared);
            EXPECT_EQ(search.method(), method);
            EXPECT_EQ(search.suffixIndex() != nullptr, withSuffixIndex || method == SearchMethod::Trie);
            for (const RepeatKind kind : {RepeatKind::Direct, RepeatKind::Mirror}) {
                const auto run = search.run(kind, SnapshotDetail::Counts);
                const auto own = method == SearchMethod::Trie
                                     ? searchRepeats(index, kind, SnapshotDetail::Counts)
                                     : completeSearch(genome, kind, SnapshotDetail::Counts);
                EXPECT_EQ(std::get<std::shared_ptr<const RepeatSnapshot>>(run)->pairCounts(),
                          std::get<std::shared_ptr<const RepeatSnapshot>>(own)->pairCounts());
            }
        }
        std::stop_source stop;
        stop.request_stop();
        EXPECT_EQ(std::get<SearchFailure>(prepareSearch(genome, method, test::kAllKinds,
                                                        SearchControl{stop.get_token(), {}},
                                                        PrepareOptions{true, 0, nullptr})),
                  SearchFailure::Cancelled);
    }
    // A suffix index built before is used again, but only for its own genome.
    const auto reused =
        prepareSearch(genome, SearchMethod::Trie, test::kAllKinds, {}, PrepareOptions{false, 0, index});
    EXPECT_EQ(std::get<PreparedSearch>(reused).suffixIndex(), index);
    const std::shared_ptr<const Genome> other = largeGenome(1000);
    const auto rebuilt =
        prepareSearch(other, SearchMethod::Trie, test::kAllKinds, {}, PrepareOptions{false, 0, index});
    EXPECT_NE(std::get<PreparedSearch>(rebuilt).suffixIndex(), index);
    EXPECT_EQ(methodNamed("fuzzy"), std::nullopt);
    // The approximate search needs no index: its entry gives the search's own pairs.
    EXPECT_EQ(methodNamed("approximate"), SearchMethod::Approximate);
    ApproximateSettings settings;
    settings.minLength = 12;
    const auto approximate = prepareSearch(genome, SearchMethod::Approximate, test::kAllKinds, {},
                                           PrepareOptions{false, 0, nullptr, settings});
    const PreparedSearch& prepared = std::get<PreparedSearch>(approximate);
    EXPECT_EQ(prepared.suffixIndex(), nullptr);
    EXPECT_FALSE(methodInfo(SearchMethod::Approximate).findsWords);
    EXPECT_TRUE(std::holds_alternative<SearchFailure>(prepared.run(RepeatKind::Direct)));
    const auto pairs = prepared.approximate(test::kAllKinds);
    const auto own = approximateSearch(*genome, test::kAllKinds, settings);
    ASSERT_EQ(std::get<0>(pairs).size(), std::get<0>(own).size());
    for (std::size_t kind = 0; kind < std::get<0>(own).size(); ++kind) {
        EXPECT_EQ(std::get<0>(pairs)[kind].pairs, std::get<0>(own)[kind].pairs);
    }
    EXPECT_EQ(slotLabel(SearchMethod::Approximate, 12, 5), "1000 and more");
    EXPECT_EQ(slotLabel(SearchMethod::Trie, 12, 5), "17");
}

}  // namespace
}  // namespace tessaron
