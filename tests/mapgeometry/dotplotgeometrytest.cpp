// The dot plot's geometry: where each kind's pairs are drawn (diagonals and
// anti-diagonals, both mirror images, cut at the origin), the view's zoom
// and pan, and which segment a click falls on.

#include "mapgeometry/dotplotgeometry.h"

#include <gtest/gtest.h>

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
