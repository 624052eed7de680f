// The map's scale from the bases read, features clipped to them, long repeats
// as bands, and what lies under the mouse.

#include "mapgeometry/mapscene.h"

#include "featurelists.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace tessaron;
using test::listOfLength;

TEST(MapScene, TurnsOnTheBasesReadAndWarnsOnceWhenTheSourceDisagrees)
{
    struct Case {
        std::int32_t sourceEnd;
        std::int64_t basesRead;
        std::int32_t expectedEnd;
        bool warns;
    };
    const std::vector<Case> cases{
        {16568, 16569, 16568, false},  // agrees
        {2147483646, 600, 599, true},  // a wrong, huge length
        {16568, 9000, 8999, true},     // a truncated file
        {599, 0, 599, false},          // nothing read: the source's length
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.basesRead);
        const MapScene scene(listOfLength(c.sourceEnd), c.basesRead);
        EXPECT_EQ(scene.sequenceEnd(), c.expectedEnd);
        EXPECT_DOUBLE_EQ(scene.perBase(), kMapFullTurn / c.expectedEnd);
        EXPECT_EQ(scene.lengthWarning().empty(), !c.warns) << scene.lengthWarning();
        EXPECT_EQ(scene.features().front().end, c.expectedEnd);
    }
    const auto warning = sourceLengthWarning(listOfLength(2147483646), 600);
    ASSERT_TRUE(warning.has_value());
    EXPECT_NE(warning->find("2147483647"), std::string::npos);
    EXPECT_NE(warning->find("600"), std::string::npos);
}

TEST(MapScene, HugeSourceLengthDrawsABoundedScaleQuickly)
{
    const auto before = std::chrono::steady_clock::now();
    const MapScene scene(listOfLength(2147483646), 600);
    EXPECT_EQ(scaleMarks(scene.perBase(), scene.sequenceEnd()).size(), 1U);
    // Even a scale trusted to that length stays small.
    const auto marks = scaleMarks(kMapFullTurn / 2147483646.0, 2147483646);
    EXPECT_EQ(marks.size(), 11U);
    EXPECT_EQ(marks[1].label, "200M");
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(1));
}

TEST(MapScene, FeaturesBeyondTheBasesReadAreClipped)
{
    const FeatureList read = listOfLength(20000, {{100, 200, "inside", kColorGeneDirect},
                                                  {500, 900, "cut", kColorGeneDirect},
                                                  {700, 800, "past", kColorGeneDirect},
                                                  {800, 50, "across", kColorTrnaDirect},
                                                  {300, 120, "wraps inside", kColorTrnaDirect}});
    const FeatureList clipped = clipFeatures(read, 599);
    const FeatureList expected = listOfLength(599, {{100, 200, "inside", kColorGeneDirect},
                                                    {500, 599, "cut", kColorGeneDirect},
                                                    {0, 50, "across", kColorTrnaDirect},
                                                    {300, 120, "wraps inside", kColorTrnaDirect}});
    EXPECT_EQ(clipped, expected);
}

TEST(MapScene, LongRepeatsAreBandsShortOnesDots)
{
    const double perBase = kMapFullTurn / 154477.0;
    EXPECT_FALSE(drawnAsBand(perBase, 30));
    EXPECT_TRUE(drawnAsBand(perBase, 26264));
    EXPECT_FALSE(drawnAsBand(kMapFullTurn / 16568.0, 30));
    EXPECT_TRUE(drawnAsBand(kMapFullTurn / 16568.0, 100));

    // The chloroplast's inverted repeat: both arcs lie on radius 167 over
    // their copies, and the band is a closed outline between them.
    const RepeatPair pair{84170, 128214};
    const auto arc = copyArc(perBase, pair.first, 26264, kScaleRadius);
    ASSERT_GT(arc.size(), 60U);
    for (const MapPointF& point : arc) {
        EXPECT_NEAR(std::hypot(point.x - kMapCircleCentre.x, point.y - kMapCircleCentre.y), kScaleRadius,
                    1e-9);
    }
    const auto outline = bandOutline(perBase, pair, 26264);
    const auto at = [perBase](double position, double radius) {
        const double theta = position * perBase + kMapStartAngle;
        return MapPointF{kMapCircleCentre.x + radius * std::cos(theta),
                         kMapCircleCentre.y + radius * std::sin(theta)};
    };
    EXPECT_TRUE(insideOutline(outline, at(pair.first + 13132, 150)));
    EXPECT_TRUE(insideOutline(outline, at(pair.second + 13132, 150)));
    EXPECT_FALSE(insideOutline(outline, at(20000, 150)));               // away from both copies
    EXPECT_FALSE(insideOutline(outline, at(pair.first + 13132, 175)));  // outside the ring
}

TEST(MapScene, FindsTheFeatureAndThePairUnderAPoint)
{
    MapScene scene(listOfLength(16568, {{1000, 3000, "under", kColorGeneDirect},
                                        {2000, 2500, "over", kColorTrnaDirect},
                                        {16000, 200, "origin", kColorGeneComplement}}),
                   16569);
    const double perBase = scene.perBase();
    const auto at = [perBase](double position, double radius) {
        const double theta = position * perBase + kMapStartAngle;
        return MapPointF{kMapCircleCentre.x + radius * std::cos(theta),
                         kMapCircleCentre.y + radius * std::sin(theta)};
    };
    EXPECT_EQ(scene.featureAt(at(1500, kTrackRadius)), 1U);
    EXPECT_EQ(scene.featureAt(at(2200, kTrackRadius)), 2U);  // drawn last, on top
    EXPECT_EQ(scene.featureAt(at(16400, kTrackRadius)), 3U);
    EXPECT_EQ(scene.featureAt(at(100, kTrackRadius)), 3U);
    EXPECT_FALSE(scene.featureAt(at(8000, kTrackRadius)).has_value());
    EXPECT_FALSE(scene.featureAt(at(1500, 120)).has_value());

    // A short tRNA of a long genome lies under its own place only, and a
    // join's parts under theirs, not under the gap between them.
    const MapScene chloroplast(
        listOfLength(154477,
                     {{152263, 152336, "tRNA-Ile", kColorTrnaDirect},
                      {97998, 69723, "rps12", kColorGeneComplement, {{97998, 98792}, {69610, 69723}}}}),
        154478);
    const double longPerBase = chloroplast.perBase();
    const auto onTrack = [longPerBase](double position) {
        const double theta = position * longPerBase + kMapStartAngle;
        return MapPointF{kMapCircleCentre.x + kTrackRadius * std::cos(theta),
                         kMapCircleCentre.y + kTrackRadius * std::sin(theta)};
    };
    EXPECT_EQ(chloroplast.featureAt(onTrack(152300)), 1U);
    EXPECT_EQ(chloroplast.featureAt(onTrack(98400)), 2U);
    EXPECT_EQ(chloroplast.featureAt(onTrack(69650)), 2U);
    EXPECT_FALSE(chloroplast.featureAt(onTrack(38000)).has_value());
    EXPECT_FALSE(chloroplast.featureAt(onTrack(130000)).has_value());

    const Repeat shortRepeat{true, 12, 2, 0};
    const std::vector<RepeatPair> pairs{{1000, 9000}, {4000, 12000}};
    scene.setRepeat(&shortRepeat, pairs);
    const MapPoint dot = mapPoint(perBase, 9000, kScaleRadius, 0);
    EXPECT_EQ(scene.pairAt({static_cast<double>(dot.x), static_cast<double>(dot.y) + 2}), 0U);
    const MapPoint a = mapPoint(perBase, 4000, kScaleRadius, 0);
    const MapPoint b = mapPoint(perBase, 12000, kScaleRadius, 0);
    EXPECT_EQ(scene.pairAt({(a.x + b.x) / 2.0, (a.y + b.y) / 2.0}), 1U);  // on the chord
    EXPECT_FALSE(scene.pairAt(at(6500, 100)).has_value());
    scene.setRepeat(nullptr, {});
    EXPECT_FALSE(scene.pairAt({(a.x + b.x) / 2.0, (a.y + b.y) / 2.0}).has_value());
}

TEST(MapLayers, NamedListsHideTheirLayersAndComeBack)
{
    const struct {
        const char* names;
        const char* hidden;  // as written back; null when refused
    } lists[] = {
        {"", ""},
        {"approximate", "approximate"},
        {"gc,legend,genes", "genes,gc,legend"},
        {"inverted,,mirror,inverted", "inverted,mirror"},
        {"direct,exact,complementary,microsatellites", "exact,direct,complementary,microsatellites"},
        {"gc,tandem,microsatellites", "microsatellites,tandem,gc"},
        {"gc,rings", nullptr},
        {"Genes", nullptr},
    };
    for (const auto& [names, hidden] : lists) {
        SCOPED_TRACE(names);
        std::string unknown;
        const std::optional<MapLayers> layers = layersHiding(names, &unknown);
        ASSERT_EQ(layers.has_value(), hidden != nullptr);
        if (!layers) {
            EXPECT_FALSE(unknown.empty());
            continue;
        }
        EXPECT_EQ(hiddenLayerNames(*layers), hidden);
        EXPECT_EQ(layersHiding(hiddenLayerNames(*layers)), layers);
        for (const std::string_view name : mapLayerNames()) {
            const bool off =
                ("," + std::string(hidden) + ",").find("," + std::string(name) + ",") != std::string::npos;
            EXPECT_EQ(layerShown(*layers, name), !off) << name;
            MapLayers turned = *layers;
            showLayer(turned, name, off);
            EXPECT_EQ(layerShown(turned, name), off) << name;
        }
    }
    EXPECT_EQ(mapLayerNames().size(), 12U);
}

TEST(MapLayers, BandsAndTheSelectedRepeatFollowTheirKindAndMethod)
{
    MapScene scene(listOfLength(10000), 10000);
    scene.setBands({{10, 5000, 40, 0.9, RepeatKind::Direct},
                    {20, 6000, 40, 0.8, RepeatKind::Inverted},
                    {30, 7000, 40, 0.85, RepeatKind::Inverted}});
    const Repeat repeat{true, 30, 1, 0};
    const std::vector<RepeatPair> pairs{{100, 900}};
    scene.setRepeat(&repeat, pairs);
    scene.setRepeatKind(RepeatKind::Mirror);
    const struct {
        const char* hidden;
        std::size_t bands;
        bool repeat;
    } cases[] = {
        {"", 3, true},       {"approximate", 0, true},     {"inverted", 1, true}, {"direct,mirror", 2, false},
        {"exact", 3, false}, {"gc,legend,genes", 3, true},
    };
    for (const auto& [hidden, bands, shown] : cases) {
        SCOPED_TRACE(hidden);
        scene.setLayers(layersHiding(hidden).value());
        EXPECT_EQ(scene.shownBands().size(), bands);
        EXPECT_EQ(scene.showsRepeat(), shown);
        EXPECT_EQ(scene.bands().size(), 3U);  // kept, only not drawn
    }
    // A repeat of no known kind follows the exact layer alone.
    scene.setRepeatKind(std::nullopt);
    scene.setLayers(layersHiding("direct,inverted,mirror,complementary").value());
    EXPECT_TRUE(scene.showsRepeat());
    scene.setRepeat(nullptr, {});
    EXPECT_FALSE(scene.showsRepeat());
}

// Each tandem array's tick lies on its ring through the middle of its
// letters (across the origin for an array that crosses it); the selected
// one's reaches further both ways; a new list forgets the selection.
TEST(TandemTicks, OneTickAnArrayThroughItsMiddleAndTheSelectedOneLonger)
{
    MapScene scene(listOfLength(10000), 10000);
    const double perBase = scene.perBase();
    const std::vector<MapStretch> arrays{{2400, 200}, {9900, 200}, {0, 10}};
    const std::vector<MapTick> ticks = tandemTicks(perBase, arrays);
    ASSERT_EQ(ticks.size(), arrays.size());
    for (std::size_t i = 0; i < arrays.size(); ++i) {
        SCOPED_TRACE(i);
        const double middle = arrays[i].start + arrays[i].length / 2.0;
        const double angle = middle * perBase + kMapStartAngle;
        for (const auto& [point, radius] :
             {std::pair{ticks[i].inner, kTandemInner}, std::pair{ticks[i].outer, kTandemOuter}}) {
            EXPECT_NEAR(std::hypot(point.x - kMapCircleCentre.x, point.y - kMapCircleCentre.y), radius, 1e-9);
            EXPECT_NEAR(std::atan2(point.y - kMapCircleCentre.y, point.x - kMapCircleCentre.x),
                        std::remainder(angle, kMapFullTurn), 1e-6);
        }
        const MapTick selected = selectedTandemTick(perBase, arrays[i]);
        EXPECT_NEAR(std::hypot(selected.inner.x - kMapCircleCentre.x, selected.inner.y - kMapCircleCentre.y),
                    kTandemInner - kTandemReach, 1e-9);
        EXPECT_NEAR(std::hypot(selected.outer.x - kMapCircleCentre.x, selected.outer.y - kMapCircleCentre.y),
                    kTandemOuter + kTandemReach, 1e-9);
    }
    // Across the origin: straight above the centre, at the top of the circle.
    EXPECT_NEAR(ticks[1].outer.x, kMapCircleCentre.x, 0.1);
    EXPECT_LT(ticks[1].outer.y, kMapCircleCentre.y);
    // Clear of the microsatellites' ring.
    EXPECT_LT(kTandemOuter + kTandemReach, kMicrosatelliteInner);

    scene.setTandemArrays(arrays);
    scene.selectTandemArray(1);
    EXPECT_EQ(scene.selectedTandemArray(), std::optional<std::size_t>(1));
    scene.selectTandemArray(3);
    EXPECT_EQ(scene.selectedTandemArray(), std::nullopt);
    scene.selectTandemArray(2);
    scene.setTandemArrays({{5, 5}});
    EXPECT_EQ(scene.selectedTandemArray(), std::nullopt);
}

// A point on a tandem array's tick, or on the selected one's arc, finds
// that array (the nearest tick of two close ones); inside or outside the
// ring, between ticks or with the layer off, none.
TEST(TandemTicks, TheArrayUnderAPoint)
{
    MapScene scene(listOfLength(10000), 10000);
    const double perBase = scene.perBase();
    // The fourth tick stands 25 bases (under 2 pixels) after the first's.
    scene.setTandemArrays({{2400, 200}, {9900, 200}, {0, 10}, {2520, 10}});
    const auto at = [perBase](double position, double radius) {
        const double angle = position * perBase + kMapStartAngle;
        return MapPointF{kMapCircleCentre.x + radius * std::cos(angle),
                         kMapCircleCentre.y + radius * std::sin(angle)};
    };
    const double ring = (kTandemInner + kTandemOuter) / 2.0;
    struct Case {
        const char* what;
        MapPointF point;
        std::optional<std::size_t> plain;     // nothing selected
        std::optional<std::size_t> selected;  // the first array selected
    };
    const std::vector<Case> cases{
        {"first tick", at(2500, ring), 0, 0},
        {"first tick, a pixel aside", at(2500 - 1.0 / (ring * perBase), kTandemOuter), 0, 0},
        {"across the origin", at(0, ring), 1, 1},
        {"the short one at the origin", at(5, kTandemInner), 2, 2},
        {"the close fourth", at(2525, ring), 3, 3},
        {"the first's arc, far from its tick", at(2410, ring), std::nullopt, 0},
        {"the selected tick's longer end", at(2500, kTandemOuter + kTandemReach), std::nullopt, 0},
        {"inside the ring", at(2500, kTandemInner - 12.0), std::nullopt, std::nullopt},
        {"outside the ring", at(2500, kTandemOuter + 12.0), std::nullopt, std::nullopt},
        {"between ticks", at(5000, ring), std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        scene.selectTandemArray(std::nullopt);
        EXPECT_EQ(scene.tandemArrayAt(c.point), c.plain);
        scene.selectTandemArray(0);
        EXPECT_EQ(scene.tandemArrayAt(c.point), c.selected);
    }
    scene.setLayers(layersHiding("tandem").value());
    EXPECT_EQ(scene.tandemArrayAt(at(2500, ring)), std::nullopt);
    EXPECT_EQ(MapScene(listOfLength(10000), 10000).tandemArrayAt(at(2500, ring)), std::nullopt);
}

}  // namespace
