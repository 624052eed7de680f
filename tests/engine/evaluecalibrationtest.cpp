#include "engine/approximatesearch.h"
#include "engine/gappedsearch.h"
#include "engine/genome.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <variant>
#include <vector>

namespace tessaron {
namespace {

// The mean number of pairs per kind that search(genome, kinds, settings)
// finds on twenty seeded random sequences of 200 kb, with the length and
// identity filters off and an E-value cut-off of 10.
template <typename Result, typename Settings, typename Search>
std::array<double, kRepeatKindCount> meanPairsPerKind(Search search)
{
    Settings settings;
    settings.minLength = 1;
    settings.identity = 0.0;
    settings.maxEvalue = 10.0;
    std::array<double, kRepeatKindCount> means{};
    constexpr int kSequences = 20;
    for (int seed = 1; seed <= kSequences; ++seed) {
        Genome genome;
        EXPECT_TRUE(
            genome.makeRandom(50'000, 50'000, 50'000, 50'000, 8, 30, static_cast<std::uint32_t>(seed)));
        const auto results = search(genome, kKindOrder, settings);
        if (!std::holds_alternative<std::vector<Result>>(results)) {
            ADD_FAILURE() << "the search failed on seed " << seed;
            return means;
        }
        for (const Result& result : std::get<std::vector<Result>>(results)) {
            means[static_cast<std::size_t>(result.kind)] +=
                static_cast<double>(result.pairs.size()) / kSequences;
        }
    }
    return means;
}

void expectMeansWithin(const std::array<double, kRepeatKindCount>& means, double low, double high)
{
    for (const RepeatKind kind : kKindOrder) {
        EXPECT_GE(means[static_cast<std::size_t>(kind)], low) << kindName(kind);
        EXPECT_LE(means[static_cast<std::size_t>(kind)], high) << kindName(kind);
    }
}

// Random sequences give about as many pairs per kind as the cut-off says:
// the ungapped search within 5..20, the gapped one within 5..15.
TEST(ApproximateStatistics, EvaluesAreCalibratedOnRandomSequences)
{
    expectMeansWithin(
        meanPairsPerKind<ApproximateResult, ApproximateSettings>(
            [](const Genome& genome, std::span<const RepeatKind> kinds, const ApproximateSettings& settings) {
                return approximateSearch(genome, kinds, settings);
            }),
        5.0, 20.0);
}

TEST(GappedStatistics, EvaluesAreCalibratedOnRandomSequences)
{
    expectMeansWithin(
        meanPairsPerKind<GappedResult, GappedSettings>(
            [](const Genome& genome, std::span<const RepeatKind> kinds, const GappedSettings& settings) {
                return gappedSearch(genome, kinds, settings);
            }),
        5.0, 15.0);
}

}  // namespace
}  // namespace tessaron
