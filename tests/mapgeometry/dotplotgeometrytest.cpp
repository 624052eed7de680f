// The dot plot's geometry: where each kind's pairs are drawn (diagonals and
// anti-diagonals, both mirror images, cut at the origin), the view's zoom
// and pan, which segment a click falls on, and the alignment paths of
// gapped pairs.

#include "mapgeometry/dotplotgeometry.h"

#include "engine/genome.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace tessaron {
namespace {

ApproximateResult resultOf(RepeatKind kind, std::vector<ApproximatePair> pairs)
{
    ApproximateResult result;
    result.kind = kind;
    result.pairs = std::move(pairs);
    return result;
}

ApproximatePair pairAt(std::int64_t first, std::int64_t second, std::int64_t length)
{
    ApproximatePair pair;
    pair.first = first;
    pair.second = second;
    pair.length = length;
    return pair;
}

TEST(DotPlotGeometryTest, EachKindLiesOnItsLineInBothHalvesCutAtTheOrigin)
{
    struct Case {
        RepeatKind kind;
        ApproximatePair pair;
        std::vector<std::pair<PlotPoint, PlotPoint>> expected;
    };
    const std::int64_t n = 100;
    const std::vector<Case> cases{
        // (10 + k, 50 + k): down the diagonal, and its mirror image.
        {RepeatKind::Direct, pairAt(10, 50, 5), {{{10, 50}, {14, 54}}, {{50, 10}, {54, 14}}}},
        {RepeatKind::Complementary, pairAt(10, 50, 5), {{{10, 50}, {14, 54}}, {{50, 10}, {54, 14}}}},
        // (10 + k, 54 - k): across it.
        {RepeatKind::Inverted, pairAt(10, 50, 5), {{{10, 54}, {14, 50}}, {{54, 10}, {50, 14}}}},
        {RepeatKind::Mirror, pairAt(10, 50, 5), {{{10, 54}, {14, 50}}, {{54, 10}, {50, 14}}}},
        // The second copy 97..101 runs over the origin: 97..99, then 0..1.
        {RepeatKind::Direct,
         pairAt(20, 97, 5),
         {{{20, 97}, {22, 99}}, {{23, 0}, {24, 1}}, {{97, 20}, {99, 22}}, {{0, 23}, {1, 24}}}},
        // Inverted across the origin: (20 + k, 101 - k) is (20, 1), (21, 0), then (22, 99) ...
        {RepeatKind::Inverted,
         pairAt(20, 97, 5),
         {{{20, 1}, {21, 0}}, {{22, 99}, {24, 97}}, {{1, 20}, {0, 21}}, {{99, 22}, {97, 24}}}},
    };
    for (const Case& c : cases) {
        const std::vector<ApproximateResult> results{resultOf(c.kind, {c.pair})};
        const std::vector<DotPlotSegment> segments = dotPlotSegments(n, results);
        std::vector<std::pair<PlotPoint, PlotPoint>> got;
        for (const DotPlotSegment& segment : segments) {
            EXPECT_EQ(segment.kind, c.kind);
            EXPECT_EQ(segment.pair, 0U);
            got.emplace_back(segment.from, segment.to);
        }
        EXPECT_EQ(got, c.expected) << static_cast<int>(c.kind) << " at " << c.pair.second;
    }
}

GappedPair gappedAt(std::int64_t first, std::int64_t length, std::int64_t second, std::int64_t secondLength,
                    std::string cigar)
{
    GappedPair pair;
    pair.first = first;
    pair.length = length;
    pair.second = second;
    pair.secondLength = secondLength;
    pair.cigar = std::move(cigar);
    return pair;
}

TEST(DotPlotGeometryTest, AGappedPairRunsAlongItsAlignmentPath)
{
    struct Case {
        const char* name;
        RepeatKind kind;
        GappedPair pair;
        // The pieces above the main diagonal (the mirror images follow).
        std::vector<std::pair<PlotPoint, PlotPoint>> expected;
    };
    const std::int64_t n = 100;
    const std::vector<Case> cases{
        // (10, 50) .. (12, 52), the inserted second-copy letter 53 beside 12, then (13, 54) .. (15, 56).
        {"direct, an insertion",
         RepeatKind::Direct,
         gappedAt(10, 6, 50, 7, "2=1X1I3="),
         {{{10, 50}, {12, 52}}, {{12, 53}, {12, 53}}, {{13, 54}, {15, 56}}}},
        // The second copy read from its end: (10, 53), (11, 52); 12 faces
        // nothing, drawn beside 52; then (13, 51), (14, 50).
        {"inverted, a deletion",
         RepeatKind::Inverted,
         gappedAt(10, 5, 50, 4, "2=1D2="),
         {{{10, 53}, {11, 52}}, {{12, 52}, {12, 52}}, {{13, 51}, {14, 50}}}},
        // Two deleted letters run across the origin of the first copy: 99, then 0.
        {"complementary, across the origin",
         RepeatKind::Complementary,
         gappedAt(97, 6, 40, 4, "2=2D2="),
         {{{97, 40}, {98, 41}}, {{99, 41}, {99, 41}}, {{0, 41}, {0, 41}}, {{1, 42}, {2, 43}}}},
        {"mirror, no gap", RepeatKind::Mirror, gappedAt(10, 3, 50, 3, "3="), {{{10, 52}, {12, 50}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GappedResult result;
        result.kind = c.kind;
        result.pairs = {c.pair};
        const std::vector<GappedResult> results{result};
        const std::vector<DotPlotSegment> segments = dotPlotSegments(n, results);
        std::vector<std::pair<PlotPoint, PlotPoint>> expected = c.expected;
        for (const auto& [from, to] : c.expected) {
            expected.emplace_back(PlotPoint{from.y, from.x}, PlotPoint{to.y, to.x});
        }
        std::vector<std::pair<PlotPoint, PlotPoint>> got;
        for (const DotPlotSegment& segment : segments) {
            EXPECT_EQ(segment.kind, c.kind);
            EXPECT_EQ(segment.pair, 0U);
            got.emplace_back(segment.from, segment.to);
        }
        EXPECT_EQ(got, expected);
    }
}

// Every lined-up letter pair of a gapped alignment (alignedColumns) is a
// point of its path, and the path has one point per column, on random
// pairs of every kind, some across the origin.
TEST(DotPlotGeometryTest, EveryColumnOfAGappedAlignmentIsOnePointOfItsPath)
{
    const std::int64_t n = 500;
    std::mt19937 rng(7);
    std::string bases;
    for (std::int64_t k = 0; k < n; ++k) {
        bases += "ACGT"[rng() % 4];
    }
    Genome genome;
    ASSERT_TRUE(genome.allocate(n, 8, 30));
    genome.appendText(bases.c_str());
    for (int trial = 0; trial < 200; ++trial) {
        const auto kind = static_cast<RepeatKind>(trial % 4);
        // Runs of = X I D, never two gap runs in a row, beginning and ending lined up.
        std::string cigar;
        std::int64_t length = 0;
        std::int64_t secondLength = 0;
        const int runs = 1 + 2 * static_cast<int>(rng() % 4);
        for (int r = 0; r < runs; ++r) {
            const auto count = static_cast<std::int64_t>(1 + rng() % 6);
            const char op = r % 2 == 0 ? "=X"[rng() % 2] : "ID"[rng() % 2];
            cigar += std::to_string(count) + op;
            length += op == 'I' ? 0 : count;
            secondLength += op == 'D' ? 0 : count;
        }
        const auto first = static_cast<std::int64_t>(rng() % n);
        const GappedPair pair = gappedAt(first, length, (first + 100 + rng() % 300) % n, secondLength, cigar);
        GappedResult result;
        result.kind = kind;
        result.pairs = {pair};
        const std::vector<GappedResult> results{result};
        std::set<std::pair<std::int64_t, std::int64_t>> points;
        std::int64_t count = 0;
        for (const DotPlotSegment& segment : dotPlotSegments(n, results)) {
            const auto steps = static_cast<std::int64_t>(
                std::max(std::abs(segment.to.x - segment.from.x), std::abs(segment.to.y - segment.from.y)));
            for (std::int64_t k = 0; k <= steps; ++k) {
                const double t = steps > 0 ? static_cast<double>(k) / static_cast<double>(steps) : 0.0;
                points.emplace(std::llround(segment.from.x + t * (segment.to.x - segment.from.x)),
                               std::llround(segment.from.y + t * (segment.to.y - segment.from.y)));
                ++count;
            }
        }
        const std::vector<AlignedColumn> columns = alignedColumns(genome, kind, pair);
        EXPECT_EQ(count, 2 * static_cast<std::int64_t>(columns.size())) << cigar;
        for (const AlignedColumn& column : columns) {
            if (column.first >= 0 && column.second >= 0) {
                EXPECT_TRUE(points.contains({column.first, column.second})) << cigar << " " << column.first;
                EXPECT_TRUE(points.contains({column.second, column.first})) << cigar << " " << column.first;
            }
        }
    }
}

TEST(DotPlotGeometryTest, ZoomKeepsThePointUnderTheMouseAndPanStaysInside)
{
    DotPlotView view(1000);
    const double size = 500;
    EXPECT_EQ(view.toPixels({500, 250}, size), (PlotPoint{250, 125}));
    view.zoomAt({100, 400}, 4.0, size);
    EXPECT_DOUBLE_EQ(view.span(), 250.0);
    const PlotPoint held = view.toPixels({200, 800}, size);
    EXPECT_NEAR(held.x, 100, 1e-9);
    EXPECT_NEAR(held.y, 400, 1e-9);
    view.pan(-1e6, 1e6, size);  // as far as it goes: the right edge, the top
    EXPECT_DOUBLE_EQ(view.left(), 750.0);
    EXPECT_DOUBLE_EQ(view.top(), 0.0);
    view.zoomAt({0, 0}, 1e9, size);
    EXPECT_DOUBLE_EQ(view.span(), DotPlotView::kSmallestSpan);
    view.reset();
    EXPECT_DOUBLE_EQ(view.span(), 1000.0);
}

TEST(DotPlotGeometryTest, AClickFindsTheNearestSegmentWithinTheTolerance)
{
    const std::vector<ApproximateResult> results{
        resultOf(RepeatKind::Direct, {pairAt(100, 600, 200)}),
        resultOf(RepeatKind::Inverted, {pairAt(0, 10, 3), pairAt(300, 500, 100)})};
    const std::vector<DotPlotSegment> segments = dotPlotSegments(1000, results);
    const DotPlotView view(1000);
    // On the inverted pair (300 + k, 599 - k) at k = 50, drawn at a tenth.
    const auto found = segmentAt(segments, view, 100, {35.05, 54.95}, 2.0);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(segments[*found].kind, RepeatKind::Inverted);
    EXPECT_EQ(segments[*found].pair, 1U);
    EXPECT_FALSE(segmentAt(segments, view, 100, {90, 10}, 2.0).has_value());
}

TEST(DotPlotGeometryTest, IdentityColoursRunFromPaleBlueToDarkRed)
{
    EXPECT_EQ(identityColor(50), 0x67A9CFU);
    EXPECT_EQ(identityColor(80), 0x67A9CFU);
    EXPECT_EQ(identityColor(90), 0xE8C547U);
    EXPECT_EQ(identityColor(100), 0xB2182BU);
    EXPECT_NE(identityColor(97.5), identityColor(92.5));
}

}  // namespace
}  // namespace tessaron
