// The plastome's ring on the map for a paper: each part named with its
// length at the middle of its arc, cut to its name or left out rather than
// run into a neighbour's text.

#include "mapgeometry/diagramgeometry.h"
#include "mapgeometry/plastomering.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace tessaron {
namespace {

PlastomeStructure partsOf(std::array<std::int64_t, 4> lengths, std::int64_t origin)
{
    PlastomeStructure s;
    s.found = true;
    std::int64_t total = 0;
    for (const std::int64_t l : lengths) {
        total += l;
    }
    s.genomeLength = total;
    std::int64_t at = origin;
    for (std::size_t p = 0; p < 4; ++p) {
        s.regions[p] = {at % total, lengths[p], 0.36};
        at += lengths[p];
        s.junctionAfter[p] = at % total;
    }
    return s;
}

TEST(PlastomeRing, PartsNamedAtTheirMiddlesWithoutOverlap)
{
    LabelMetrics metrics;
    metrics.width = [](const std::string& text) { return 5 * static_cast<int>(text.size()); };
    const double twoPi = 2.0 * std::numbers::pi;
    struct Case {
        std::array<std::int64_t, 4> lengths;
        std::int64_t origin;
        std::vector<std::string> texts;  // by part, "" when left out
    };
    const std::vector<Case> cases{
        // NC_000932: room for every whole text.
        {{84170, 26264, 17780, 26264},
         0,
         {"LSC 84,170 bp", "IRb 26,264 bp", "SSC 17,780 bp", "IRa 26,264 bp"}},
        // A small SSC between the copies: its name alone; the origin inside IRa.
        {{84000, 25000, 2500, 25000}, 120000, {"LSC 84,000 bp", "IRb 25,000 bp", "SSC", "IRa 25,000 bp"}},
        // Short copies about a tiny SSC: the longer parts first, the rest left out.
        {{84000, 3000, 150, 3000}, 5, {"LSC 84,000 bp", "IRb 3,000 bp", "", ""}},
    };
    for (const Case& c : cases) {
        const PlastomeStructure s = partsOf(c.lengths, c.origin);
        const double perBase = twoPi / static_cast<double>(s.genomeLength);
        const std::vector<PlastomeRingText> texts = plastomeRingTexts(s, perBase, metrics);
        std::vector<std::string> byPart(4);
        for (const PlastomeRingText& t : texts) {
            byPart[static_cast<std::size_t>(t.part)] = t.text;
            const PlastomeRegion& r = s.region(t.part);
            const double middle =
                (static_cast<double>(r.start) + static_cast<double>(r.length) / 2.0) * perBase +
                kMapStartAngle;
            EXPECT_NEAR(std::remainder(t.angle - middle, twoPi), 0.0, 1e-9) << t.text;
            EXPECT_NEAR(t.extent, metrics.width(t.text) / kPlastomeTextRadius, 1e-12);
            for (const PlastomeRingText& other : texts) {
                if (&other != &t) {
                    EXPECT_GE(std::abs(std::remainder(t.angle - other.angle, twoPi)),
                              (t.extent + other.extent) / 2.0)
                        << t.text << " over " << other.text;
                }
            }
        }
        EXPECT_EQ(byPart, c.texts);
    }
    EXPECT_TRUE(plastomeRingTexts(PlastomeStructure{}, 0.001, metrics).empty());
}

}  // namespace
}  // namespace tessaron
