// Names beside the map: each stretch named once, never two names over each
// other, over the legend or out of the map, on real genomes and on a crowded
// bacterium-sized record; and the GC rings' values.

#include "engine/genome.h"
#include "input/genbankreader.h"
#include "input/records.h"
#include "mapgeometry/gcprofile.h"
#include "mapgeometry/ringlabels.h"
#include "mapgeometry/tidylabels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace tessaron;

// Names about 7 pixels a letter, boxes 15 high.
LabelMetrics testMetrics()
{
    return {[](const std::string& text) { return static_cast<int>(text.size()) * 7; }, 12, 3};
}

FeatureList readRecord(const char* path)
{
    Genome genome;
    auto features = InputFile::read(path).load(0, genome, 8, 12);
    EXPECT_TRUE(features.has_value()) << path;
    return features.value_or(FeatureList{});
}

// A bacterium-sized record, 1 Mb, crowded: 250 features in clusters, genes
// named by their gene or only by a locus tag, tRNAs listed twice.
FeatureList crowdedRecord()
{
    FeatureList list{{0, 999'999, "sequence", kColorSequence}};
    unsigned seed = 17;
    const auto next = [&seed](unsigned range) {
        seed = seed * 1103515245U + 12345U;
        return (seed >> 8U) % range;
    };
    std::int32_t position = 500;
    while (list.size() < 251) {
        position += static_cast<std::int32_t>(next(6000) + 100);
        const auto length = static_cast<std::int32_t>(next(2000) + 70);
        const bool complement = next(2) == 1;
        const std::int32_t end = std::min(position + length, 999'999);
        if (next(5) == 0) {  // a tRNA gene, then its tRNA
            Feature gene{position, end, "tRNA_" + std::to_string(list.size()), kColorGeneDirect};
            gene.namedByTag = true;
            list.push_back(gene);
            list.push_back({position, end, "tRNA-Leu", complement ? kColorTrnaComplement : kColorTrnaDirect});
        } else {
            Feature gene{position, end, "gene" + std::to_string(list.size()),
                         complement ? kColorGeneComplement : kColorGeneDirect};
            gene.namedByTag = next(3) == 0;
            list.push_back(gene);
        }
        position = end;
    }
    return list;
}

double distanceFromCentre(double x, double y)
{
    return std::hypot(x - kMapCircleCentre.x, y - kMapCircleCentre.y);
}

// Apart, within the bounds, off the legend, outside the ring; the number placed.
std::size_t expectTidyApart(const FeatureList& features, const MapBounds& bounds)
{
    const LabelBox legend = legendBox(testMetrics());
    const std::vector<LabelBox> avoid{legend};
    const auto labels =
        tidyLabels(features, kMapFullTurn / features.front().end, testMetrics(), bounds, avoid);
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const LabelBox& box = labels[i].box;
        EXPECT_EQ(box.right - box.left, testMetrics().width(labels[i].name));
        EXPECT_EQ(labels[i].text.x, box.left);
        EXPECT_GE(box.left, bounds.left);
        EXPECT_LE(box.right, bounds.right);
        EXPECT_GE(box.top, bounds.top);
        EXPECT_LE(box.bottom, bounds.bottom);
        EXPECT_FALSE(box.overlaps(legend)) << labels[i].name;
        const double nearestX = std::clamp<double>(kMapCircleCentre.x, box.left, box.right);
        const double nearestY = std::clamp<double>(kMapCircleCentre.y, box.top, box.bottom);
        EXPECT_GT(distanceFromCentre(nearestX, nearestY), 182.0) << labels[i].name;
        for (std::size_t j = i + 1; j < labels.size(); ++j) {
            EXPECT_FALSE(box.overlaps(labels[j].box)) << labels[i].name << " and " << labels[j].name;
        }
    }
    return labels.size();
}

// Two convex quadrilaterals overlap unless an edge of one separates them.
bool quadsOverlap(const std::array<MapPointF, 4>& a, const std::array<MapPointF, 4>& b)
{
    for (const auto* quad : {&a, &b}) {
        for (std::size_t i = 0; i < 4; ++i) {
            const MapPointF p = (*quad)[i];
            const MapPointF q = (*quad)[(i + 1) % 4];
            const double nx = q.y - p.y;
            const double ny = p.x - q.x;
            const auto project = [&](const std::array<MapPointF, 4>& shape, bool lowest) {
                double value = lowest ? 1e300 : -1e300;
                for (const MapPointF& corner : shape) {
                    const double along = corner.x * nx + corner.y * ny;
                    value = lowest ? std::min(value, along) : std::max(value, along);
                }
                return value;
            };
            if (project(a, false) <= project(b, true) || project(b, false) <= project(a, true)) {
                return false;
            }
        }
    }
    return true;
}

std::size_t expectRingApart(const FeatureList& features)
{
    const RingLayout layout = ringLabels(features, kMapFullTurn / features.front().end, testMetrics(), 179.0);
    for (std::size_t i = 0; i < layout.labels.size(); ++i) {
        const RingLabel& label = layout.labels[i];
        for (const MapPointF& corner : label.box) {
            EXPECT_GT(distanceFromCentre(corner.x, corner.y), 182.0) << label.name;
            EXPECT_TRUE(corner.x > layout.bounds.left && corner.x < layout.bounds.right &&
                        corner.y > layout.bounds.top && corner.y < layout.bounds.bottom)
                << label.name;
        }
        for (std::size_t j = i + 1; j < layout.labels.size(); ++j) {
            EXPECT_FALSE(quadsOverlap(label.box, layout.labels[j].box))
                << label.name << " and " << layout.labels[j].name;
        }
    }
    return layout.labels.size();
}

TEST(MapLabels, EachStretchIsNamedOnceByItsGene)
{
    const FeatureList mito = readRecord(TESSARON_MITO_GENBANK);
    const std::vector<MapName> names = namesOnce(mito);
    // 13 protein genes, 22 tRNAs, 2 rRNAs and the D-loop.
    EXPECT_EQ(names.size(), 38U);
    const auto count = [&names](const std::string& text) {
        return std::count_if(names.begin(), names.end(),
                             [&text](const MapName& name) { return name.name == text; });
    };
    EXPECT_EQ(count("TRNF"), 1);
    EXPECT_EQ(count("tRNA-Phe"), 0);
    const auto trnf =
        std::find_if(names.begin(), names.end(), [](const MapName& name) { return name.name == "TRNF"; });
    EXPECT_EQ(trnf->color, kColorTrnaDirect);  // the tRNA's arc
    EXPECT_EQ(count("D-loop"), 1);
    EXPECT_EQ(count("COX2"), 1);

    // A gene known only by its locus tag lends no name to its tRNA.
    Feature tagged{10, 80, "MGA_RS01", kColorGeneDirect};
    tagged.namedByTag = true;
    const FeatureList twins{
        {0, 999, "sequence", kColorSequence}, tagged, {10, 80, "tRNA-Leu", kColorTrnaDirect}};
    const auto both = namesOnce(twins);
    ASSERT_EQ(both.size(), 1U);
    EXPECT_EQ(both[0].name, "tRNA-Leu");
    EXPECT_FALSE(both[0].tag);
}

TEST(MapLabels, TidyNamesStayApartAndInsideTheMap)
{
    // The mitochondrion at the map's own size: every name, the D-loop and COX2 too.
    const FeatureList mito = readRecord(TESSARON_MITO_GENBANK);
    EXPECT_EQ(expectTidyApart(mito, {}), 38U);

    const FeatureList chloroplast = readRecord(TESSARON_TEST_DATA "/NC_000932.gb");
    const std::size_t small = expectTidyApart(chloroplast, {});
    const std::size_t tall = expectTidyApart(chloroplast, fitBounds({}, 1000, 1400));
    EXPECT_GT(small, 50U);
    EXPECT_GT(tall, small);  // a taller picture has room for more

    // A bacterium: names apart at the map's size and at a paper's.
    const FeatureList bacterium = readRecord(TESSARON_TEST_DATA "/NC_004829.gb.gz");
    EXPECT_GT(expectTidyApart(bacterium, {}), 30U);
    EXPECT_GT(expectTidyApart(bacterium, fitBounds({}, 1200, 1250)), 60U);

    const FeatureList crowded = crowdedRecord();
    ASSERT_EQ(crowded.size(), 251U);
    EXPECT_GT(expectTidyApart(crowded, fitBounds({}, 1200, 1200)), 60U);
}

TEST(MapLabels, NamesAlongTheRingStayApart)
{
    // The mitochondrion: every stretch named once, a tRNA by its gene.
    const FeatureList mito = readRecord(TESSARON_MITO_GENBANK);
    const RingLayout ring = ringLabels(mito, kMapFullTurn / 16568, testMetrics(), 179.0);
    EXPECT_EQ(ring.labels.size(), 38U);
    const auto countNamed = [&ring](const std::string& text) {
        return std::count_if(ring.labels.begin(), ring.labels.end(),
                             [&text](const RingLabel& label) { return label.name == text; });
    };
    EXPECT_EQ(countNamed("TRNF"), 1);
    EXPECT_EQ(countNamed("tRNA-Phe"), 0);
    EXPECT_EQ(expectRingApart(mito), 38U);

    const FeatureList chloroplast = readRecord(TESSARON_TEST_DATA "/NC_000932.gb");
    const std::size_t named = namesOnce(chloroplast).size();
    EXPECT_GT(expectRingApart(chloroplast), named * 8 / 10);
    EXPECT_GT(expectRingApart(readRecord(TESSARON_TEST_DATA "/NC_004829.gb.gz")), 100U);
    const FeatureList crowded = crowdedRecord();
    const std::size_t placed = expectRingApart(crowded);
    EXPECT_GT(placed, 100U);
    // Locus tags give way to names.
    const RingLayout layout = ringLabels(crowded, kMapFullTurn / 999'999, testMetrics(), 179.0);
    const std::size_t tags = static_cast<std::size_t>(
        std::count_if(layout.labels.begin(), layout.labels.end(),
                      [&](const RingLabel& label) { return crowded[label.feature].namedByTag; }));
    EXPECT_LT(tags, placed / 4);
}

TEST(GcProfile, ContentAndSkewPerWindow)
{
    // Windows of 4 every 4 bases, centred on 0, 4 and 8, read around the origin.
    const GcProfile profile = gcProfile("GGGCAATTGGCCN", 4, 4);
    ASSERT_EQ(profile.content.size(), 4U);
    // Centred on 0: bases 11, 12, 0, 1 = C, N, G, G.
    EXPECT_DOUBLE_EQ(profile.content[0], 1.0);
    EXPECT_DOUBLE_EQ(profile.skew[0], 1.0 / 3.0);
    // Centred on 4: bases 2..5 = G C A A.
    EXPECT_DOUBLE_EQ(profile.content[1], 0.5);
    EXPECT_DOUBLE_EQ(profile.skew[1], 0.0);
    // Centred on 8: bases 6..9 = T T G G.
    EXPECT_DOUBLE_EQ(profile.content[2], 0.5);
    EXPECT_DOUBLE_EQ(profile.skew[2], 1.0);
    EXPECT_NEAR(profile.meanContent, 8.0 / 12.0, 1e-12);
    EXPECT_TRUE(gcProfile("").content.empty());
    EXPECT_DOUBLE_EQ(gcProfile("NNNN", 2, 2).skew[0], 0.0);

    EXPECT_EQ(gcWindow(16569), 33);
    EXPECT_EQ(gcWindow(5000), 20);
    EXPECT_EQ(gcWindow(100'000'000), 10'000);
    EXPECT_EQ(gcProfile(std::string(154478, 'A')).content.size(), (154478 + 153) / 154);
}

}  // namespace
