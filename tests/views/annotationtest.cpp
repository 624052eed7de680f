// What the annotation reads from the features and how it lays them out:
// types, strands and products, the pieces of a feature across the origin and
// their 3' end, lanes for features that overlap, and the pane's rows under it.

#include "session/annotatedfeatures.h"
#include "views/sequence/annotationlayer.h"
#include "views/sequence/sequenceview.h"

#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tessaron;
using Arrow = AnnotationLayer::Arrow;

namespace {

FeatureList listOf(std::vector<Feature> features)
{
    features.insert(features.begin(), Feature{0, 999, "sequence", kColorSequence});
    return features;
}

}  // namespace

TEST(AnnotatedFeatures, TypeStrandAndProductComeFromTheColourAndTheGeneOfTheSameSpan)
{
    Feature tagged{700, 799, "LT7", kColorGeneDirect};
    tagged.namedByTag = true;
    const FeatureList features = listOf({
        {10, 99, "ND6", kColorGeneComplement},
        {100, 170, "TRNF", kColorGeneDirect},
        {100, 170, "tRNA-Phe", kColorTrnaDirect},
        {200, 399, "RNR1", kColorGeneComplement},
        {200, 399, "12S ribosomal RNA", kColorSequence},
        {500, 600, "ermM", kColorSequence},
        {950, 40, "D-loop", kColorSequence},
        tagged,
    });
    const std::vector<AnnotatedFeature> read = annotateFeatures(features);
    const struct {
        FeatureType type;
        Strand strand;
        const char* product;
    } expected[] = {
        {FeatureType::Gene, Strand::Minus, ""},
        {FeatureType::Gene, Strand::Plus, "tRNA-Phe"},
        {FeatureType::Trna, Strand::Plus, "tRNA-Phe"},
        {FeatureType::Gene, Strand::Minus, "12S ribosomal RNA"},
        {FeatureType::Rrna, Strand::Minus, "12S ribosomal RNA"},  // the strand of its gene
        {FeatureType::OtherRna, Strand::Unknown, "ermM"},
        {FeatureType::DLoop, Strand::Unknown, ""},
        {FeatureType::Gene, Strand::Plus, ""},
    };
    ASSERT_EQ(read.size(), std::size(expected));
    for (std::size_t k = 0; k < read.size(); ++k) {
        EXPECT_EQ(read[k].feature, k + 1);
        EXPECT_EQ(read[k].type, expected[k].type) << k;
        EXPECT_EQ(read[k].strand, expected[k].strand) << k;
        EXPECT_EQ(read[k].product, expected[k].product) << k;
    }
    EXPECT_EQ(read[1].sameSpanAs, 2U);  // TRNF is drawn as tRNA-Phe
    EXPECT_EQ(read[3].sameSpanAs, 4U);
    EXPECT_EQ(read[0].sameSpanAs, SIZE_MAX);
}

TEST(AnnotatedFeatures, AFeatureAcrossTheOriginIsTwoPiecesWithItsEndOnTheRightOne)
{
    const auto feature = [](std::int32_t start, std::int32_t end, Strand strand,
                            std::vector<FeaturePart> parts) {
        AnnotatedFeature made;
        made.start = start;
        made.end = end;
        made.strand = strand;
        made.parts = std::move(parts);
        return made;
    };
    const struct {
        const char* name;
        AnnotatedFeature feature;
        std::vector<Stretch> expected;
    } cases[] = {
        {"plus, inside", feature(10, 20, Strand::Plus, {}), {{10, 20, true, Strand::Plus}}},
        {"plus across the origin",
         feature(990, 9, Strand::Plus, {}),
         {{990, 999, false, Strand::Plus}, {0, 9, true, Strand::Plus}}},
        {"minus across the origin",
         feature(990, 9, Strand::Minus, {}),
         {{990, 999, true, Strand::Minus}, {0, 9, false, Strand::Minus}}},
        {"no strand", feature(990, 9, Strand::Unknown, {}), {{990, 999, false}, {0, 9, false}}},
        {"trans-spliced on minus",
         feature(900, 120, Strand::Minus, {{900, 949, true}, {100, 120, true}}),
         {{900, 949, true, Strand::Minus}, {100, 120, false, Strand::Minus}}},
        // Each part of a gene on both strands in its own strand, ending at its own 3' end.
        {"trans-spliced on both strands",
         feature(100, 500, Strand::Plus, {{100, 120, true}, {400, 500, false}}),
         {{100, 120, true, Strand::Minus}, {400, 500, true, Strand::Plus}}},
        {"both strands, the minus part across the origin",
         feature(980, 500, Strand::Minus, {{980, 5, true}, {400, 500, false}}),
         {{980, 999, true, Strand::Minus}, {0, 5, false, Strand::Minus}, {400, 500, true, Strand::Plus}}},
        {"parts on plus, the last across the origin",
         feature(100, 5, Strand::Plus, {{100, 120}, {980, 5}}),
         {{100, 120, false, Strand::Plus}, {980, 999, false, Strand::Plus}, {0, 5, true, Strand::Plus}}},
        {"beyond the end is clipped", feature(10, 5000, Strand::Plus, {}), {{10, 999, true, Strand::Plus}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(stretchesOf(c.feature, 1000), c.expected) << c.name;
    }
}

TEST(AnnotationLayer, OverlappingFeaturesTakeLanesAndTheRowsMakeRoomForThem)
{
    SequenceView pane;
    pane.resize(400, 300);
    pane.setSequence(std::string(1000, 'A'));
    AnnotationLayer layer(pane);
    layer.setFeatures(listOf({
                          {10, 99, "a", kColorGeneDirect},
                          {50, 150, "b", kColorGeneDirect},     // overlaps a
                          {60, 70, "c", kColorGeneComplement},  // overlaps a and b
                          {65, 90, "d", kColorGeneDirect},      // overlaps all three: the last lane
                          {200, 300, "e", kColorGeneDirect},    // apart: the first lane
                          {980, 20, "f", kColorGeneDirect},     // across the origin, over a's start
                      }),
                      1000);
    const auto laneOf = [&layer](const char* name) {
        for (const Arrow& arrow : layer.arrows()) {
            if (arrow.name == QString::fromLatin1(name)) {
                return arrow.lane;
            }
        }
        return -1;
    };
    EXPECT_EQ(laneOf("a"), 0);
    EXPECT_EQ(laneOf("b"), 1);
    EXPECT_EQ(laneOf("c"), 2);
    EXPECT_EQ(laneOf("d"), AnnotationLayer::kMaxLanes - 1);
    EXPECT_EQ(laneOf("e"), 0);
    EXPECT_EQ(laneOf("f"), 1);
    EXPECT_EQ(layer.laneCount(), 3);

    // Shown, each row is taller by the band, and a point still finds its base.
    const int rowsShown = pane.visibleRowCount();
    layer.setShown(true);
    EXPECT_EQ(pane.rowHeight(), pane.lineHeight() + pane.bandHeight());
    EXPECT_LT(pane.visibleRowCount(), rowsShown);
    const int column = 3;
    const QPoint onText(pane.textLeft() + static_cast<int>((column + 0.5) * pane.characterWidth()),
                        pane.rowTop(2) + pane.bandHeight() + pane.lineHeight() / 2);
    EXPECT_EQ(pane.characterAt(onText), 2 * pane.columns() + column);
    QTest::mouseClick(pane.viewport(), Qt::LeftButton, {},
                      onText - QPoint(static_cast<int>(pane.characterWidth() / 2), 0));
    EXPECT_EQ(pane.caret(), 2 * pane.columns() + column);
    layer.setShown(false);
    EXPECT_EQ(pane.bandHeight(), 0);
    EXPECT_EQ(pane.visibleRowCount(), rowsShown);
}

// A gene is shown by its parts when its span would mislead: parts on both
// strands, out of order, or a span across the origin.
TEST(AnnotatedFeatures, SplitGenesAreShownByTheirParts)
{
    const auto feature = [](std::int32_t start, std::int32_t end, std::vector<FeaturePart> parts) {
        AnnotatedFeature made;
        made.start = start;
        made.end = end;
        made.strand = Strand::Plus;
        made.parts = std::move(parts);
        return made;
    };
    const struct {
        const char* name;
        AnnotatedFeature feature;
        bool byParts;
    } cases[] = {
        {"one stretch", feature(10, 20, {}), false},
        {"introns, plus", feature(10, 90, {{10, 20}, {50, 90}}), false},
        {"introns, minus, listed from either end", feature(10, 90, {{50, 90, true}, {10, 20, true}}), false},
        {"introns, minus, ascending", feature(10, 90, {{10, 20, true}, {50, 90, true}}), false},
        {"minus parts apart around the origin",
         feature(97998, 69723, {{97998, 98792, true}, {69610, 69723, true}}), true},
        {"parts on both strands", feature(69610, 140649, {{69610, 69723, true}, {139855, 140649, false}}),
         true},
        {"out of order", feature(10, 90, {{50, 90}, {10, 20}, {60, 70}}), true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(shownByParts(c.feature), c.byParts) << c.name;
    }
}

// The annotation paints each part of a trans-spliced gene in its own
// strand's colour, with its own arrow head.
TEST(AnnotationLayer, EachPartTakesTheColourOfItsOwnStrand)
{
    SequenceView pane;
    pane.resize(400, 300);
    pane.setSequence(std::string(1000, 'A'));
    AnnotationLayer layer(pane);
    layer.setFeatures(listOf({
                          {100, 700, "rps12", kColorGeneDirect, {{100, 120, true}, {600, 700, false}}},
                          {300, 200, "rps12", kColorGeneComplement, {{300, 350, true}, {150, 200, true}}},
                          {800, 900, "trnK", kColorTrnaComplement, {{800, 820, true}, {880, 900, false}}},
                      }),
                      1000);
    const auto colour = [](std::uint32_t bbggrr) {
        return QColor(static_cast<int>(bbggrr & 0xFFu), static_cast<int>((bbggrr >> 8) & 0xFFu),
                      static_cast<int>((bbggrr >> 16) & 0xFFu));
    };
    const struct {
        std::int32_t from;
        std::uint32_t colour;
        Arrow::Head head;
    } expected[] = {
        {100, kColorGeneComplement, Arrow::Head::Left}, {150, kColorGeneComplement, Arrow::Head::None},
        {300, kColorGeneComplement, Arrow::Head::Left}, {600, kColorGeneDirect, Arrow::Head::Right},
        {800, kColorTrnaComplement, Arrow::Head::Left}, {880, kColorTrnaDirect, Arrow::Head::Right},
    };
    ASSERT_EQ(layer.arrows().size(), std::size(expected));
    for (std::size_t k = 0; k < std::size(expected); ++k) {
        const Arrow& arrow = layer.arrows()[k];
        EXPECT_EQ(arrow.from, expected[k].from) << k;
        EXPECT_EQ(arrow.color, colour(expected[k].colour)) << k;
        EXPECT_EQ(arrow.head, expected[k].head) << k;
    }
}
