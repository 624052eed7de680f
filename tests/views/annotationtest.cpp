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
        {"plus, inside", feature(10, 20, Strand::Plus, {}), {{10, 20, true}}},
        {"plus across the origin", feature(990, 9, Strand::Plus, {}), {{990, 999, false}, {0, 9, true}}},
        {"minus across the origin", feature(990, 9, Strand::Minus, {}), {{990, 999, true}, {0, 9, false}}},
        {"no strand", feature(990, 9, Strand::Unknown, {}), {{990, 999, false}, {0, 9, false}}},
        {"trans-spliced on minus",
         feature(900, 120, Strand::Minus, {{900, 949}, {100, 120}}),
         {{900, 949, true}, {100, 120, false}}},
        {"parts on plus, the last across the origin",
         feature(100, 5, Strand::Plus, {{100, 120}, {980, 5}}),
         {{100, 120, false}, {980, 999, false}, {0, 5, true}}},
        {"beyond the end is clipped", feature(10, 5000, Strand::Plus, {}), {{10, 999, true}}},
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
