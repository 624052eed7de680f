// Stopping, progress and the reasons for giving up, of the index build and
// the searches.

#include "engine/genome.h"
#include "engine/repeatsnapshot.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <stop_token>
#include <string>
#include <vector>

namespace tessaron {
namespace {

constexpr RepeatKind kKinds[] = {RepeatKind::Direct, RepeatKind::Inverted, RepeatKind::Mirror,
                                 RepeatKind::Complementary};

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
std::shared_ptr<Genome> largeGenome(int threads)
{
    auto genome = std::make_shared<Genome>();
    const std::string bases = randomBases(200'000, 7);
    EXPECT_TRUE(genome->allocate(static_cast<std::int64_t>(bases.size()), 8, 30));
    genome->appendText(bases.c_str());
    genome->setBuildThreads(threads);
    return genome;
}

TEST(SearchControl, BuildReportsRisingProgressAndEndsAtOne)
{
    for (const int threads : {1, 2}) {
        const auto genome = largeGenome(threads);
        std::vector<double> seen;
        SearchControl control;
        control.progress = [&seen](double fraction) { seen.push_back(fraction); };
        EXPECT_EQ(genome->buildIndex(control), std::nullopt);
        EXPECT_TRUE(genome->isIndexed());
        ASSERT_GE(seen.size(), 3u);
        EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
        EXPECT_GE(seen.front(), 0.0);
        EXPECT_EQ(seen.back(), 1.0);
    }
}

TEST(SearchControl, CancelledBuildLeavesNoIndex)
{
    for (const int threads : {1, 2}) {
        SCOPED_TRACE(threads);
        const auto genome = largeGenome(threads);
        ASSERT_TRUE(genome->buildIndex());
        // Before it starts, and from inside, at its first progress report.
        std::stop_source early;
        early.request_stop();
        EXPECT_EQ(genome->buildIndex(SearchControl{early.get_token(), {}}), SearchFailure::Cancelled);
        EXPECT_FALSE(genome->isIndexed());

        std::stop_source midway;
        SearchControl control{midway.get_token(), [&midway](double) { midway.request_stop(); }};
        EXPECT_EQ(genome->buildIndex(control), SearchFailure::Cancelled);
        EXPECT_FALSE(genome->isIndexed());
        EXPECT_EQ(genome->nodeCount(), 0u);
        EXPECT_TRUE(genome->findWord("ACGT").empty());
        // A later build is whole again.
        EXPECT_EQ(genome->buildIndex(SearchControl{}), std::nullopt);
        EXPECT_EQ(
            genome->baseCount('A') + genome->baseCount('T') + genome->baseCount('C') + genome->baseCount('G'),
            genome->length());
    }
}

TEST(SearchControl, SearchesStopOnRequest)
{
    const auto genome = largeGenome(0);
    ASSERT_TRUE(genome->buildIndex());
    for (const RepeatKind kind : kKinds) {
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
    const auto genome = largeGenome(0);
    ASSERT_TRUE(genome->buildIndex());
    for (const RepeatKind kind : kKinds) {
        SCOPED_TRACE(static_cast<int>(kind));
        const auto stored = genome->searchList(kind);
        const auto& list = *std::get<std::unique_ptr<RepeatList>>(stored);
        const auto words = searchRepeats(genome, kind, SnapshotDetail::Words);
        const auto materialized = materialize(*std::get<std::shared_ptr<const RepeatSnapshot>>(words));
        const auto& again = *std::get<std::unique_ptr<RepeatList>>(materialized);
        EXPECT_EQ(test::describeRepeats(*genome, again), test::describeRepeats(*genome, list));
    }
}

TEST(SearchControl, PairLimitIsToldApartAndSpareTheCounts)
{
    const auto genome = largeGenome(0);
    ASSERT_TRUE(genome->buildIndex());
    const std::shared_ptr<const Genome> shared = genome;
    for (const RepeatKind kind : kKinds) {
        SCOPED_TRACE(static_cast<int>(kind));
        genome->setPairLimit(Genome::kDefaultPairLimit);
        const auto words = searchRepeats(shared, kind, SnapshotDetail::Words);
        const auto& snapshot = *std::get<std::shared_ptr<const RepeatSnapshot>>(words);
        ASSERT_GT(snapshot.total(), 1000);

        genome->setPairLimit(snapshot.total() - 1);
        const auto stored = genome->searchList(kind);
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

}  // namespace
}  // namespace tessaron
