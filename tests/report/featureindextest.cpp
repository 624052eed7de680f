#include "report/featureindex.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tessaron
