#include "mapgeometry/diagramgeometry.h"

#include "featurelists.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace tessaron;
using test::listOfLength;

constexpr std::int32_t kMitoEnd = 16568;  // the human mitochondrion's last base

TEST(DiagramGeometry, TurnsOnceOverTheSequence)
{
    EXPECT_DOUBLE_EQ(radiansPerBase(listOfLength(kMitoEnd)), 6.2831853 / 16568.0);
    EXPECT_EQ(mapSequenceEnd(listOfLength(kMitoEnd)), kMitoEnd);
    EXPECT_EQ(radiansPerBase(FeatureList{}), 0.0);
    EXPECT_EQ(mapSequenceEnd(FeatureList{}), 0);
    EXPECT_EQ(radiansPerBase(listOfLength(0)), 0.0);
}

TEST(DiagramGeometry, PointsAroundTheCircle)
{
    const double perBase = radiansPerBase(listOfLength(kMitoEnd));
    struct Case {
        std::int32_t position;
        int radius;
        int extra;
        MapPoint expected;
    };
    const std::vector<Case> cases{
        {0, 175, 0, {301, 56}},      {0, 167, 0, {301, 64}},      {4142, 175, 0, {476, 231}},
        {8284, 175, 0, {301, 406}},  {12426, 175, 0, {126, 231}}, {0, 190, 30, {301, 11}},
        {4142, 190, 56, {547, 231}}, {12426, 190, 56, {55, 231}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(mapPoint(perBase, c.position, c.radius, c.extra), c.expected)
            << "position " << c.position << " radius " << c.radius << "+" << c.extra;
    }
    // Without a turn every position stays at the top.
    EXPECT_EQ(mapPoint(0.0, 9000, 175, 0), (MapPoint{301, 56}));
}

TEST(DiagramGeometry, TruncatesTowardZeroBeforeAddingOne)
{
    // The rounded constants put position 0 a hair right of the top (x 300.0...,
    // truncated to 300, plus 1) and the last base a hair left of it (299.9...).
    const double perBase = radiansPerBase(listOfLength(kMitoEnd));
    EXPECT_EQ(mapPoint(perBase, 0, 175, 0).x, 301);
    EXPECT_EQ(mapPoint(perBase, kMitoEnd, 175, 0).x, 300);
    EXPECT_EQ(mapPoint(perBase, kMitoEnd - 1, 175, 0).x, 300);
}

TEST(DiagramGeometry, ScaleOfTheMitochondrion)
{
    const std::vector<ScaleMark> marks = scaleMarks(radiansPerBase(listOfLength(kMitoEnd)), kMitoEnd);
    ASSERT_EQ(marks.size(), 17U);
    EXPECT_EQ(marks[0], (ScaleMark{{301, 64}, {301, 74}, false, "1"}));
    EXPECT_EQ(marks[1], (ScaleMark{{362, 75}, {362, 85}, true, "1K"}));
    EXPECT_EQ(marks[4], (ScaleMark{{467, 222}, {467, 232}, true, "4K"}));
    EXPECT_EQ(marks[9], (ScaleMark{{256, 391}, {256, 391}, false, "9K"}));
    EXPECT_EQ(marks[16], (ScaleMark{{265, 67}, {265, 77}, false, "16K"}));
    for (std::size_t k = 1; k < marks.size(); ++k) {
        EXPECT_EQ(marks[k].label, std::to_string(k) + "K");
        EXPECT_EQ(marks[k].alignRight, marks[k].tick.x > 300) << k;
        EXPECT_EQ(marks[k].text.y - marks[k].tick.y, marks[k].tick.y < 230 ? 10 : 0) << k;
        EXPECT_EQ(marks[k].text.x, marks[k].tick.x) << k;
    }
}

TEST(DiagramGeometry, ScaleStopsBelowTheEnd)
{
    for (const std::int32_t end : {1, 999, 1000}) {
        const auto marks = scaleMarks(radiansPerBase(listOfLength(end)), end);
        ASSERT_EQ(marks.size(), 1U) << end;
        EXPECT_EQ(marks[0].label, "1");
    }
    EXPECT_EQ(scaleMarks(radiansPerBase(listOfLength(1001)), 1001).size(), 2U);
    EXPECT_EQ(scaleMarks(radiansPerBase(listOfLength(3000)), 3000).size(), 3U);
    EXPECT_EQ(scaleMarks(0.0, 0).size(), 1U);
}

TEST(DiagramGeometry, ScaleStepsAdaptToTheLength)
{
    struct Case {
        std::int32_t end;
        std::size_t marks;  // with "1"
        const char* second;
        const char* last;
    };
    const std::vector<Case> cases{
        {16568, 17, "1K", "16K"},       // every thousand, as always
        {17001, 9, "2K", "16K"},        // past 17 thousand: every two
        {154477, 16, "10K", "150K"},    // a chloroplast
        {1012799, 10, "100K", "900K"},  // a bacterium: no 1M beside the 1
        {4641651, 10, "500K", "4.5M"},  // a larger one
        {1500, 2, "1K", "1K"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.end);
        const auto marks = scaleMarks(radiansPerBase(listOfLength(c.end)), c.end);
        ASSERT_EQ(marks.size(), c.marks);
        EXPECT_EQ(marks[1].label, c.second);
        EXPECT_EQ(marks.back().label, c.last);
    }
    // For a paper: any step, from 8 to 16 labels, in kb and Mb.
    EXPECT_EQ(scaleStep(5385, 1, 16), 500);
    EXPECT_EQ(scaleLabel(500, ScaleUnits::Paper), "500 bp");
    EXPECT_EQ(scaleLabel(1500, ScaleUnits::Paper), "1.5 kb");
    EXPECT_EQ(scaleLabel(150000, ScaleUnits::Paper), "150 kb");
    EXPECT_EQ(scaleLabel(1200000, ScaleUnits::Paper), "1.2 Mb");
}

TEST(DiagramGeometry, ArcRunsFromEndCounterclockwiseToStart)
{
    // A quarter from the top to the right-hand side: B at 3 o'clock, A at 12.
    const ArcSpan quarter = trackArc({301, 56}, {476, 231});
    EXPECT_NEAR(quarter.startDegrees, 359.7, 0.1);
    EXPECT_NEAR(quarter.spanDegrees, 90.0, 0.7);

    // Across position 0: from just left of the top to just right of it is short.
    const ArcSpan acrossOrigin = trackArc({290, 56}, {310, 56});
    EXPECT_LT(acrossOrigin.spanDegrees, 10.0);
    EXPECT_NEAR(acrossOrigin.startDegrees, 87.0, 1.0);

    // The long way when start comes before end going clockwise past 6 o'clock.
    EXPECT_NEAR(trackArc({301, 56}, {301, 406}).spanDegrees, 180.0, 1.0);
    EXPECT_GT(trackArc({476, 231}, {126, 231}).spanDegrees, 179.0);

    // One pixel: the radials coincide and the whole circle is drawn.
    EXPECT_DOUBLE_EQ(trackArc({301, 56}, {301, 56}).spanDegrees, 360.0);
}

// A 74-base tRNA on a chloroplast-sized genome is a short arc wherever it
// lies, even where both its ends round to one pixel or to pixels the wrong
// way round; a stretch of a whole turn is still the whole circle.
TEST(DiagramGeometry, ShortFeaturesOfALongGenomeAreShortArcs)
{
    constexpr std::int32_t kEnd = 154477;  // 154,478 bases
    const double perBase = radiansPerBase(listOfLength(kEnd));
    const double tRnaDegrees = 73.0 * 360.0 / kEnd;
    for (const std::int32_t start : {40000, 86311, 100000, 119999, 152263, 0, kEnd - 73}) {
        SCOPED_TRACE(start);
        const ArcSpan arc = featureArc(perBase, start, start + 73);
        EXPECT_NEAR(arc.spanDegrees, tRnaDegrees, 1.0);
        // It ends where the tRNA ends: 90 degrees (the top) less the turn to it.
        const double endDegrees = std::fmod(90.0 - (start + 73.0) * 360.0 / kEnd + 720.0, 360.0);
        EXPECT_NEAR(std::remainder(arc.startDegrees - endDegrees, 360.0), 0.0, 1.0);
    }
    EXPECT_NEAR(featureArc(perBase, 5000, 5000).spanDegrees, kShortestArcDegrees, 1e-9);
    EXPECT_NEAR(featureArc(perBase, 0, kEnd).spanDegrees, 360.0, 1.0);
    EXPECT_NEAR(featureArc(perBase, 100, 99).spanDegrees, 360.0, 1.0);
}

// A trans-spliced gene is drawn as its two parts, not as one arc over the
// gap between them.
TEST(DiagramGeometry, AJoinIsDrawnAsItsParts)
{
    const FeatureList list =
        listOfLength(154477, {{97998, 69723, "rps12", kColorGeneComplement, {{97998, 98792}, {69610, 69723}}},
                              {16023, 575, "D-loop", kColorSequence}});
    const auto marks = featureMarks(list, radiansPerBase(list));
    ASSERT_EQ(marks.size(), 2U);
    ASSERT_EQ(marks[0].arcs.size(), 2U);
    EXPECT_NEAR(marks[0].arcs[0].spanDegrees, 794.0 * 360.0 / 154477, 1.0);
    EXPECT_NEAR(marks[0].arcs[1].spanDegrees, 113.0 * 360.0 / 154477, 1.0);
    ASSERT_EQ(marks[1].arcs.size(), 1U);
    EXPECT_EQ(drawnStretches(list[1]), list[1].parts);
    EXPECT_EQ(drawnStretches(list[2]), (std::vector<FeaturePart>{{16023, 575}}));
}

TEST(DiagramGeometry, LabelsAlternateOutward)
{
    // Top, side, side, bottom, top, side, side: D runs 0, 30, 0, 30, ...
    const FeatureList list = listOfLength(kMitoEnd, {
                                                        {10, 60, "a", kColorGeneDirect},
                                                        {4142, 4200, "b", kColorGeneDirect},
                                                        {4300, 4400, "c", kColorTrnaDirect},
                                                        {8284, 8300, "d", kColorGeneComplement},
                                                        {16000, 100, "e", kColorTrnaComplement},
                                                        {12426, 12500, "f", kColorSequence},
                                                        {12600, 12700, "g", 0x123456},
                                                    });
    const double perBase = radiansPerBase(list);
    const std::vector<FeatureMark> marks = featureMarks(list, perBase);
    ASSERT_EQ(marks.size(), 7U);

    const std::vector<int> extras{0, 56, 0, 30, 0, 56, 0};
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const Feature& feature = list[i + 1];
        EXPECT_EQ(marks[i].feature, i + 1);
        EXPECT_EQ(marks[i].start, mapPoint(perBase, feature.start, 175, 0)) << i;
        EXPECT_EQ(marks[i].end, mapPoint(perBase, feature.end, 175, 0)) << i;
        EXPECT_EQ(marks[i].label, mapPoint(perBase, feature.start, 190, extras[i])) << i;
        EXPECT_EQ(marks[i].alignRight, marks[i].label.x < 300) << i;
    }
    EXPECT_EQ(marks[1].label, (MapPoint{547, 231}));
    EXPECT_EQ(marks[3].label, (MapPoint{301, 451}));
    EXPECT_FALSE(marks[1].alignRight);
    EXPECT_TRUE(marks[5].alignRight);
    // The feature across position 0 takes the short arc through the top.
    EXPECT_LT(marks[4].arcs.front().spanDegrees, 30.0);
}

TEST(DiagramGeometry, SideLabelsAtTheFirstSlotStayAt190)
{
    // D is 0 for the first feature: no push even on the side.
    const FeatureList list = listOfLength(kMitoEnd, {{4142, 4200, "side", kColorGeneDirect}});
    const auto marks = featureMarks(list, radiansPerBase(list));
    ASSERT_EQ(marks.size(), 1U);
    EXPECT_EQ(marks[0].label, (MapPoint{491, 231}));
}

TEST(DiagramGeometry, OnlyTheWholeSequenceGivesNoMarks)
{
    EXPECT_TRUE(featureMarks(listOfLength(kMitoEnd), radiansPerBase(listOfLength(kMitoEnd))).empty());
    EXPECT_TRUE(featureMarks(FeatureList{}, 0.0).empty());
}

TEST(DiagramGeometry, LegendAndDots)
{
    const auto& rows = legendRows();
    ASSERT_EQ(rows.size(), 4U);
    EXPECT_EQ(rows[0].color, kColorTrnaDirect);
    EXPECT_EQ(rows[3].color, kColorGeneComplement);
    EXPECT_STREQ(rows[2].text, "gene + strand");
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int top = 5 + 10 * static_cast<int>(i);
        EXPECT_EQ(rows[i].left, 5);
        EXPECT_EQ(rows[i].top, top);
        EXPECT_EQ(rows[i].right, 15);
        EXPECT_EQ(rows[i].bottom, top + 5);
        EXPECT_EQ(rows[i].textPoint, (MapPoint{17, top + 5}));
    }
    const DotBox box = dotBox({301, 64});
    EXPECT_EQ(box.left, 297);
    EXPECT_EQ(box.top, 60);
    EXPECT_EQ(box.right, 305);
    EXPECT_EQ(box.bottom, 68);
}

}  // namespace
