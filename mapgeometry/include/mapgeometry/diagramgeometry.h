#pragma once

// Where the circular map puts things: the circle, the scale, the feature arcs
// with their labels and the legend, in the map's own pixel coordinates (600 x
// 460, y growing downward). Plain numbers only, so that every painter (the
// window, an image file, the tests) draws the same map.

#include "input/feature.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tessaron {

inline constexpr int kMapWidth = 600;
inline constexpr int kMapHeight = 460;
inline constexpr int kMapCentreX = 300;
inline constexpr int kMapCentreY = 230;

// A full turn and the angle of position 0 (the top of the circle), as the map
// has always used them.
inline constexpr double kMapFullTurn = 6.2831853;
inline constexpr double kMapStartAngle = -1.570796325;

inline constexpr int kScaleRadius = 167;  // ticks, repeat dots and chords
inline constexpr int kTrackRadius = 175;  // feature arcs
inline constexpr int kLabelRadius = 190;  // feature label lines end here (or further out)
inline constexpr int kDotHalfSize = 4;    // repeat dots are 8 x 8

// The box of the arcs' circle: centre (300, 230), radius 175.
inline constexpr int kArcLeft = 125;
inline constexpr int kArcTop = 55;
inline constexpr int kArcRight = 475;
inline constexpr int kArcBottom = 405;

struct MapPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const MapPoint&, const MapPoint&) = default;
};

// L: the last base position of the whole-sequence feature heading the list;
// 0 for an empty list.
[[nodiscard]] std::int32_t mapSequenceEnd(const FeatureList& features);

// 6.2831853 / L; 0 when there is no feature list (or L is 0).
[[nodiscard]] double radiansPerBase(const FeatureList& features);

// The pixel of base `position` at radius `radius + extra`.
[[nodiscard]] MapPoint mapPoint(double radiansPerBase, std::int32_t position, int radius, int extra);

// One mark of the scale: a 2 x 2 tick centred on `tick` and its label drawn
// with its baseline at `text`, ending there when `alignRight`, else starting.
struct ScaleMark {
    MapPoint tick;
    MapPoint text;
    bool alignRight = false;
    std::string label;
    friend bool operator==(const ScaleMark&, const ScaleMark&) = default;
};

// "1" at position 0, then "1K", "2K", ... for every thousand below L; a
// longer genome, which would get more than 16 such marks, gets one every
// 2,000, 5,000, 10,000 ... bases ("10K", "1M", "1.5M"), at most 16, and
// none within a quarter of that step before the end, beside the "1".
[[nodiscard]] std::vector<ScaleMark> scaleMarks(double radiansPerBase, std::int32_t sequenceEnd);

// The step of a scale below `sequenceEnd`: the smallest of 1, 2 and 5 times a
// power of ten that is at least `smallest` and leaves at most `most` marks
// after position 0.
[[nodiscard]] std::int64_t scaleStep(std::int64_t sequenceEnd, std::int64_t smallest, std::int64_t most);

// How a scale mark names its position: "15K" and "1.5M" on the map as it
// always was; "15 kb", "1.5 Mb" and "500 bp" on the map for a paper.
enum class ScaleUnits { Short, Paper };
[[nodiscard]] std::string scaleLabel(std::int64_t position, ScaleUnits units = ScaleUnits::Short);

// An arc of the track from the radial through one point counterclockwise (on
// screen) to the radial through another, in degrees as on a mathematician's
// plane: 0 points right, positive turns counterclockwise on the screen.
struct ArcSpan {
    double startDegrees = 0.0;
    double spanDegrees = 0.0;  // in (0, 360]; 360 when both radials coincide
};

// The arc that covers the bases from `start` (point A) clockwise to `end`
// (point B): it runs from B's radial counterclockwise to A's.
[[nodiscard]] ArcSpan trackArc(MapPoint start, MapPoint end);

// The shortest arc drawn, about one pixel of the track.
inline constexpr double kShortestArcDegrees = 0.33;

// The arc of the bases `start` to `end` (clockwise, across position 0 when
// start > end): trackArc between their pixels on the track, unless rounding
// to pixels turns it the wrong way round the circle (both ends on one pixel,
// or the end's pixel a hair counterclockwise of the start's, as happens for a
// short feature of a long genome). Then the arc is taken from the bases
// themselves, at least kShortestArcDegrees long. Only a stretch of a whole
// turn is the whole circle.
[[nodiscard]] ArcSpan featureArc(double radiansPerBase, std::int32_t start, std::int32_t end);

// The stretches a feature is drawn as: its parts, or start..end.
[[nodiscard]] std::vector<FeaturePart> drawnStretches(const Feature& feature);

// How one feature (not the whole-sequence one) is drawn: its arcs on the track
// (one from A to B; one per part of a join whose parts lie apart), a label
// line from A out to `label`, where its name starts (or, when `alignRight`,
// ends) on the baseline.
struct FeatureMark {
    std::size_t feature = 0;  // index in the list
    MapPoint start;           // A
    MapPoint end;             // B
    MapPoint label;           // N
    bool alignRight = false;
    std::vector<ArcSpan> arcs;
};

// The marks of every feature after the first, in list order. Every second
// label is pushed outward so that neighbouring names do not overlap: by 56
// pixels on the sides of the circle, by 30 at the top and bottom.
[[nodiscard]] std::vector<FeatureMark> featureMarks(const FeatureList& features, double radiansPerBase);

// One row of the legend: a bar of the colour (a rectangle drawn with a 4 pixel
// outline) and its text. The rows name what the colours mark: transfer RNAs
// and genes, each on either strand.
struct LegendRow {
    std::uint32_t color = 0;  // 0x00BBGGRR
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    const char* text = "";
    MapPoint textPoint;
};

[[nodiscard]] const std::vector<LegendRow>& legendRows();

// A dot's box for a repeat occurrence at `centre`: (x-4, y-4) to (x+4, y+4).
struct DotBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};
[[nodiscard]] DotBox dotBox(MapPoint centre);

}  // namespace tessaron
