#include "compare/controls.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

namespace tessaron {
namespace {

PreparedSearch indexedRandom(std::int64_t each, std::uint32_t seed, int minimum, int maximum,
                             SearchMethod method = SearchMethod::Trie)
{
    auto genome = std::make_shared<Genome>();
    EXPECT_TRUE(genome->makeRandom(each, each, each, each, minimum, maximum, seed));
    genome->setLengthBounds(minimum, maximum);
    return std::get<PreparedSearch>(prepareSearch(genome, method, kKindOrder));
}

TEST(Controls, AGenomeAgainstItselfHasNoSpreadAndNoZ)
{
    const PreparedSearch genome = indexedRandom(500, 7, 5, 9);
    const auto counts = std::get<KindCounts>(countRepeats(genome));
    const ControlReport report = summarizeControls(counts, {counts}, genome.genome().minLength(), 1);
    for (const RepeatKind kind : kKindOrder) {
        const auto& stats = report.stats[static_cast<std::size_t>(kind)];
        ASSERT_EQ(stats.size(), 5U);
        for (const ControlStats& s : stats) {
            EXPECT_EQ(s.mean, static_cast<double>(s.observed));
            EXPECT_EQ(s.sd, 0.0);
            EXPECT_FALSE(s.z.has_value());
        }
    }
}

TEST(Controls, MeanSampleDeviationAndZ)
{
    KindCounts observed;
    observed[0] = {6, 3};
    const std::vector<KindCounts> controls{{{{2, 3}}}, {{{4, 3}}}};
    const ControlReport report = summarizeControls(observed, controls, 8, 1);
    const ControlStats& varied = report.stats[0][0];
    EXPECT_DOUBLE_EQ(varied.mean, 3.0);
    EXPECT_DOUBLE_EQ(varied.sd, std::sqrt(2.0));
    ASSERT_TRUE(varied.z.has_value());
    EXPECT_DOUBLE_EQ(*varied.z, 3.0 / std::sqrt(2.0));
    EXPECT_FALSE(report.stats[0][1].z.has_value());  // every control alike
}

TEST(Controls, ReproducibleFromTheSeedWhateverTheThreads)
{
    for (const SearchMethod method : {SearchMethod::Trie, SearchMethod::Complete}) {
        SCOPED_TRACE(std::string(methodName(method)));
        const PreparedSearch genome = indexedRandom(400, 3, 6, 10, method);
        const auto run = [&](std::uint32_t seed, int threads) {
            return std::get<ControlReport>(runControls(genome, {9, seed, threads}));
        };
        const ControlReport one = run(11, 1);
        const ControlReport two = run(11, 2);
        const ControlReport other = run(12, 2);
        bool differs = false;
        for (std::size_t kind = 0; kind < one.stats.size(); ++kind) {
            ASSERT_EQ(one.stats[kind].size(), two.stats[kind].size());
            for (std::size_t slot = 0; slot < one.stats[kind].size(); ++slot) {
                EXPECT_EQ(one.stats[kind][slot].mean, two.stats[kind][slot].mean);
                EXPECT_EQ(one.stats[kind][slot].sd, two.stats[kind][slot].sd);
                differs = differs || one.stats[kind][slot].mean != other.stats[kind][slot].mean;
            }
        }
        EXPECT_TRUE(differs);
        EXPECT_EQ(one.replicates, 9);
    }
}

TEST(Controls, ACancelledRunSaysSo)
{
    const PreparedSearch genome = indexedRandom(300, 5, 6, 10);
    std::stop_source stop;
    stop.request_stop();
    const auto result = runControls(genome, {4, 1, 2}, SearchControl{stop.get_token(), {}});
    ASSERT_TRUE(std::holds_alternative<SearchFailure>(result));
    EXPECT_EQ(std::get<SearchFailure>(result), SearchFailure::Cancelled);
}

}  // namespace
}  // namespace tessaron
