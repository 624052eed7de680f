// The repeat section of a genome paper: the length classes' bounds, and long
// repeats planted in a seeded random sequence, one of them with two letters
// changed, landing in their kinds and classes whatever the genome's own
// length settings.

#include "compare/repeatsection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace tessaron {
namespace {

TEST(RepeatSection, LengthClassesAndTheirNames)
{
    const std::vector<std::pair<std::int64_t, std::optional<std::size_t>>> cases{
        {29, std::nullopt}, {30, 0},  {39, 0},   {40, 1},   {59, 2}, {60, 3}, {99, 3},
        {100, 4},           {999, 4}, {1000, 5}, {26264, 5}};
    for (const auto& [length, expected] : cases) {
        EXPECT_EQ(lengthClassOf(length), expected) << length;
    }
    std::vector<std::string> names;
    for (std::size_t k = 0; k < kLengthClassCount; ++k) {
        names.push_back(lengthClassName(k));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"30-39", "40-49", "50-59", "60-99", "100-999", ">=1000"}));
}

std::string randomBases(std::size_t count, std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::string bases;
    for (std::size_t i = 0; i < count; ++i) {
        bases += "ACGT"[random() % 4];
    }
    return bases;
}

std::string reverseComplement(const std::string& word)
{
    std::string out;
    for (auto it = word.rbegin(); it != word.rend(); ++it) {
        out += "TGCA"[std::string("ACGT").find(*it)];
    }
    return out;
}

TEST(RepeatSection, PlantedRepeatsFallInTheirKindsAndClasses)
{
    // The approximate search counts copies that differ at a few letters: the
    // inverted pair's second copy has two letters changed.
    // A direct pair of 45 letters, an inverted pair of 120 and (AG)8, in a
    // genome whose own settings (8 to 30) would cut them short.
    const std::string direct = randomBases(45, 7);
    const std::string inverted = randomBases(120, 8);
    std::string diverged = reverseComplement(inverted);
    for (const std::size_t changed : {40U, 80U}) {
        diverged[changed] = diverged[changed] == 'A' ? 'C' : 'A';
    }
    const std::string bases = randomBases(700, 1) + direct + randomBases(700, 2) + inverted +
                              randomBases(700, 3) + direct + randomBases(700, 4) + diverged +
                              randomBases(300, 5) + "AGAGAGAGAGAGAGAG" + randomBases(300, 6);
    Genome genome;
    ASSERT_TRUE(genome.allocate(static_cast<std::int64_t>(bases.size()), 8, 30));
    genome.appendText(bases.c_str());
    genome.setLengthBounds(8, 30);

    const RepeatSectionResult result = analyseRepeatSection(genome);
    ASSERT_TRUE(std::holds_alternative<RepeatSection>(result));
    const RepeatSection& section = std::get<RepeatSection>(result);
    EXPECT_EQ(section.length, static_cast<std::int64_t>(bases.size()));
    EXPECT_EQ(section.search.name, "approximate search");
    EXPECT_EQ(
        section.search.settings,
        "every maximal scoring pair of 30 bp or more at 90 % identity or more (+1 per equal letter, -2 per "
        "mismatch, no gaps)");
    std::array<std::array<std::int64_t, kLengthClassCount>, kRepeatKindCount> expected{};
    expected[static_cast<std::size_t>(RepeatKind::Direct)][1] = 1;
    expected[static_cast<std::size_t>(RepeatKind::Inverted)][4] = 1;
    EXPECT_EQ(section.pairs, expected);
    const auto planted = std::find_if(section.microsatellites.begin(), section.microsatellites.end(),
                                      [](const Microsatellite& m) { return m.unit == "AG"; });
    ASSERT_NE(planted, section.microsatellites.end());
    EXPECT_EQ(planted->start, static_cast<std::int64_t>(bases.find("AGAGAGAGAGAGAGAG")));
    EXPECT_EQ(planted->repeats, 8);
    // The tandem arrays were searched (the figure's third chart draws them).
    EXPECT_TRUE(section.tandemSearched);
    EXPECT_FALSE(RepeatSection{}.tandemSearched);
}

}  // namespace
}  // namespace tessaron
