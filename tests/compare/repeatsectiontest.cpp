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

// Families by size class (2, 3-5, >=6 copies) and by the length class of
// their representative copy; one below the minimum is in none.
TEST(RepeatSection, FamiliesFallInTheirSizeAndLengthClasses)
{
    const auto family = [](std::size_t copies, std::int64_t representativeLength) {
        RepeatFamily made;
        made.copies.assign(copies, FamilyCopy{0, 35, CopyOrientation::Same});
        made.representative = copies - 1;
        made.copies.back().length = representativeLength;
        return made;
    };
    const std::vector<std::pair<std::size_t, std::size_t>> sizes{{1, 0}, {2, 0}, {3, 1},
                                                                 {5, 1}, {6, 2}, {40, 2}};
    for (const auto& [copies, expected] : sizes) {
        EXPECT_EQ(familySizeClass(copies), expected) << copies;
    }
    const std::vector<RepeatFamily> families{family(2, 29), family(2, 30),   family(3, 49),
                                             family(6, 99), family(7, 1000), family(5, 40)};
    FamilyCountTable expected{};
    expected[0][0] = 1;  // 30, 2 copies
    expected[1][1] = 2;  // 49 and 40, 3 and 5 copies
    expected[3][2] = 1;  // 99, 6 copies
    expected[5][2] = 1;  // 1000, 7 copies
    EXPECT_EQ(familyCountTable(families, 30), expected);
}

TEST(RepeatSection, GappedSearchKeepsACopyWithADeletionWholeAndCountsTheFamilies)
{
    // A word of 45 letters three times (one direct family of three copies)
    // and an inverted pair of 120 whose second copy lacks three letters.
    const std::string word = randomBases(45, 17);
    const std::string inverted = randomBases(120, 18);
    std::string shortened = reverseComplement(inverted);
    shortened.erase(60, 3);
    const std::string bases = randomBases(600, 11) + word + randomBases(600, 12) + inverted +
                              randomBases(600, 13) + word + randomBases(600, 14) + shortened +
                              randomBases(600, 15) + word + randomBases(600, 16);
    Genome genome;
    ASSERT_TRUE(genome.allocate(static_cast<std::int64_t>(bases.size()), 8, 30));
    genome.appendText(bases.c_str());

    LongRepeatOptions options;
    options.gapped = GappedSettings{};
    options.families = true;
    const RepeatSectionResult result = analyseRepeatSection(genome, {}, {}, {}, options);
    ASSERT_TRUE(std::holds_alternative<RepeatSection>(result));
    const RepeatSection& section = std::get<RepeatSection>(result);
    EXPECT_EQ(section.search.name, "gapped search");
    std::array<std::array<std::int64_t, kLengthClassCount>, kRepeatKindCount> pairs{};
    pairs[static_cast<std::size_t>(RepeatKind::Direct)][1] = 3;
    pairs[static_cast<std::size_t>(RepeatKind::Inverted)][4] = 1;
    EXPECT_EQ(section.pairs, pairs);
    FamilyCountTable families{};
    families[1][1] = 1;
    families[4][0] = 1;
    ASSERT_TRUE(section.families.has_value());
    EXPECT_EQ(*section.families, families);
    // Without families asked, there is no table.
    EXPECT_FALSE(std::get<RepeatSection>(analyseRepeatSection(genome)).families.has_value());
}

}  // namespace
}  // namespace tessaron
