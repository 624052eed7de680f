#include "report/featureindex.h"

#include "engine/genome.h"
#include "input/genbankreader.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tessaron {
namespace {

TEST(FeatureIndex, NamesTheFeaturesEachStretchOverlaps)
{
    // A genome of 1000 bases; the D-loop crosses the origin.
    const FeatureList features{
        {0, 999, "sequence", kColorSequence},     {99, 199, "ND1", kColorGeneDirect},
        {190, 260, "tRNA-Leu", kColorTrnaDirect}, {189, 259, "TRNL1", kColorGeneDirect},
        {500, 900, "ND5", kColorGeneComplement},  {600, 620, "ND5", kColorGeneDirect},
        {950, 40, "D-loop", kColorSequence},
    };
    const FeatureIndex index(features, 1000);
    const struct {
        std::int64_t start;
        int length;
        const char* names;
    } cases[] = {
        {120, 10, "ND1"},
        {185, 10, "ND1 / tRNA-Leu / TRNL1"},  // file order, not start order
        {199, 1, "ND1 / tRNA-Leu / TRNL1"},   // ends are inclusive
        {200, 10, "tRNA-Leu / TRNL1"},
        {300, 50, "intergenic"},
        {605, 5, "ND5"},  // one name however many features carry it
        {960, 10, "D-loop"},
        {10, 5, "D-loop"},
        {41, 50, "intergenic"},
        {990, 120, "ND1 / D-loop"},  // a copy across the origin
        {0, 1000, "ND1 / tRNA-Leu / TRNL1 / ND5 / D-loop"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(index.describe(c.start, c.length), c.names) << c.start << "+" << c.length;
    }
    EXPECT_FALSE(index.empty());
    EXPECT_TRUE(FeatureIndex(FeatureList{features.front()}, 1000).empty());  // the whole sequence alone
}

TEST(FeatureIndex, AFeatureInPartsCoversItsPartsNotTheGapBetween)
{
    // The chloroplast's trans-spliced rps12: complement(join(97999..98793,
    // 69611..69724)), its parts some 28 kb apart; the gap holds other genes.
    Genome genome;
    const auto features = readGenBank(TESSARON_TEST_DATA "/NC_000932.gb", genome, 8, 30);
    ASSERT_TRUE(features.has_value());
    const FeatureIndex index(*features, genome.length());
    const auto names = [&index](std::int64_t start, int length) {
        const std::vector<std::string_view> found = index.namesAt(start, length);
        return std::find(found.begin(), found.end(), "rps12") != found.end();
    };
    EXPECT_TRUE(names(69620, 20));   // in the first part written second
    EXPECT_TRUE(names(98000, 20));   // in the first part
    EXPECT_TRUE(names(69700, 40));   // overlapping the end of a part
    EXPECT_FALSE(names(80000, 20));  // in the gap
    EXPECT_FALSE(names(69724, 20));  // just after a part (0-based 69724 is base 69725)

    // A part across the origin counts as its two pieces.
    const FeatureList parted{{0, 999, "sequence", kColorSequence},
                             {900, 60, "split", kColorGeneDirect, {{900, 20}, {50, 60}}}};
    const FeatureIndex acrossOrigin(parted, 1000);
    EXPECT_EQ(acrossOrigin.describe(950, 10), "split");
    EXPECT_EQ(acrossOrigin.describe(10, 5), "split");
    EXPECT_EQ(acrossOrigin.describe(30, 10), "intergenic");
}

}  // namespace
}  // namespace tessaron
