#include "engine/approximatesearch.h"

#include "engine/genome.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <variant>
#include <vector>

namespace tessaron {
namespace {

constexpr RepeatKind kKinds[] = {RepeatKind::Direct, RepeatKind::Inverted, RepeatKind::Mirror,
                                 RepeatKind::Complementary};

// With the length and identity filters off and an E-value cut-off of 10,
// random sequences give about as many pairs per kind as the cut-off says.
TEST(ApproximateStatistics, EvaluesAreCalibratedOnRandomSequences)
{
    ApproximateSettings settings;
    settings.minLength = 1;
    settings.identity = 0.0;
    settings.maxEvalue = 10.0;
    std::array<std::int64_t, 4> counts{};
    constexpr int kSequences = 20;
    for (int seed = 1; seed <= kSequences; ++seed) {
        Genome genome;
        ASSERT_TRUE(
            genome.makeRandom(50'000, 50'000, 50'000, 50'000, 8, 30, static_cast<std::uint32_t>(seed)));
        const auto results = approximateSearch(genome, kKinds, settings);
        ASSERT_TRUE(std::holds_alternative<std::vector<ApproximateResult>>(results));
        for (std::size_t k = 0; k < 4; ++k) {
            counts[k] +=
                static_cast<std::int64_t>(std::get<std::vector<ApproximateResult>>(results)[k].pairs.size());
        }
    }
    for (std::size_t k = 0; k < 4; ++k) {
        const double average = static_cast<double>(counts[k]) / kSequences;
        EXPECT_GE(average, 5.0) << "kind " << k;
        EXPECT_LE(average, 20.0) << "kind " << k;
    }
}

}  // namespace
}  // namespace tessaron
