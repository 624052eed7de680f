#include "engine/gappedsearch.h"

#include "engine/genome.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <variant>
#include <vector>

namespace tessaron {
namespace {

// With the length and identity filters off and an E-value cut-off of 10,
// random sequences give about as many gapped pairs per kind as the cut-off
// says (the same check as the ungapped search's).
TEST(GappedStatistics, EvaluesAreCalibratedOnRandomSequences)
{
    GappedSettings settings;
    settings.minLength = 1;
    settings.identity = 0.0;
    settings.maxEvalue = 10.0;
    std::array<std::int64_t, 4> counts{};
    constexpr int kSequences = 20;
    for (int seed = 1; seed <= kSequences; ++seed) {
        Genome genome;
        ASSERT_TRUE(
            genome.makeRandom(50'000, 50'000, 50'000, 50'000, 8, 30, static_cast<std::uint32_t>(seed)));
        const auto results = gappedSearch(genome, kKindOrder, settings);
        ASSERT_TRUE(std::holds_alternative<std::vector<GappedResult>>(results));
        for (const GappedResult& result : std::get<std::vector<GappedResult>>(results)) {
            counts[static_cast<std::size_t>(result.kind)] += static_cast<std::int64_t>(result.pairs.size());
        }
    }
    for (std::size_t k = 0; k < 4; ++k) {
        const double average = static_cast<double>(counts[k]) / kSequences;
        EXPECT_GE(average, 5.0) << "kind " << k;
        EXPECT_LE(average, 15.0) << "kind " << k;
    }
}

}  // namespace
}  // namespace tessaron
