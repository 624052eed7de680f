// The gapped search of several kinds in one call (on two threads for a long
// enough genome): each kind's result as when searched alone, in the order
// asked; a failure of one kind is the search's; a stop ends it.

#include "engine/gappedsearch.h"
#include "engine/genome.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <stop_token>
#include <string>
#include <vector>

namespace tessaron {
namespace {

// Long enough for two threads, with repeats of each kind to find.
Genome genomeWithRepeats()
{
    Genome genome;
    EXPECT_TRUE(genome.makeRandom(30'000, 30'000, 30'000, 30'000, 8, 30, 11));
    std::string sequence(genome.sequence());
    const std::string element = sequence.substr(1'000, 400);
    std::string reversed(element.rbegin(), element.rend());
    std::string complemented = element;
    for (char& letter : complemented) {
        letter = "TGCA"[std::string("ACGT").find(letter)];
    }
    std::string inverted(complemented.rbegin(), complemented.rend());
    std::string gapped = element;
    gapped.erase(100, 3);
    gapped.insert(250, "ACG");
    sequence.replace(20'000, 400, gapped);
    sequence.replace(50'000, 400, inverted);
    sequence.replace(80'000, 400, reversed);
    sequence.replace(100'000, 400, complemented);
    Genome out;
    EXPECT_TRUE(out.allocate(static_cast<std::int64_t>(sequence.size()), 8, 30));
    out.appendText(sequence.c_str());
    return out;
}

TEST(GappedKinds, GiveEachKindsResultInTheOrderAsked)
{
    const Genome genome = genomeWithRepeats();
    const std::vector<RepeatKind> order{RepeatKind::Mirror, RepeatKind::Direct, RepeatKind::Complementary,
                                        RepeatKind::Inverted};
    const auto together = gappedSearch(genome, order, {});
    ASSERT_TRUE(std::holds_alternative<std::vector<GappedResult>>(together));
    const auto& results = std::get<std::vector<GappedResult>>(together);
    ASSERT_EQ(results.size(), order.size());
    for (std::size_t k = 0; k < order.size(); ++k) {
        const auto alone = gappedSearch(genome, order[k], {});
        ASSERT_TRUE(std::holds_alternative<GappedResult>(alone));
        EXPECT_EQ(results[k].kind, order[k]);
        EXPECT_FALSE(results[k].pairs.empty()) << "kind " << k;
        EXPECT_EQ(results[k].pairs, std::get<GappedResult>(alone).pairs) << "kind " << k;
    }
}

TEST(GappedKinds, FailWithTheFirstFailureAndStopWhenAsked)
{
    const Genome genome = genomeWithRepeats();
    GappedSettings few;
    few.pairLimit = 3;
    EXPECT_EQ(std::get<SearchFailure>(gappedSearch(genome, kKindOrder, few)), SearchFailure::PairLimit);

    // A stop asked at the first progress report ends the search soon.
    std::stop_source stop;
    std::vector<double> reports;
    const SearchControl control{stop.get_token(), [&](double fraction) {
                                    reports.push_back(fraction);
                                    stop.request_stop();
                                }};
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_EQ(std::get<SearchFailure>(gappedSearch(genome, kKindOrder, {}, control)),
              SearchFailure::Cancelled);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(20));
    EXPECT_FALSE(reports.empty());

    // Progress only rises, to the whole.
    reports.clear();
    const SearchControl watching{{}, [&](double fraction) { reports.push_back(fraction); }};
    ASSERT_TRUE(
        std::holds_alternative<std::vector<GappedResult>>(gappedSearch(genome, kKindOrder, {}, watching)));
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
    EXPECT_EQ(reports.back(), 1.0);
}

}  // namespace
}  // namespace tessaron
